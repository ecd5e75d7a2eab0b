#include "app/context/engine.h"

#include "app/context/input.h"
#include "app/log/log.h"
#include "effects/shaders/shader_cache.h"
#include "engine/device.h"
#include "engine/presented_frame.h"
#include "engine/window.h"
#include "platform/process.h"
#include "resources/files/files.h"
#include "script/music/music.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

SGvEngine engine;
SGvEngineFlags flags;
gv::engine::PresentedFrame presentedFrame;

const char* const kTableFailures[EGV_ENTITY_TABLE_COUNT] = {
    "fails to create image list",         "fails to create object list",
    "fails to create light list",         "fails to create fxemitter list",
    "fails to create camera shader list", "fails to create effect list",
    "fails to create cubemap list",       "fails to create renderer list",
};

bool isSet(s32 value) { return value != -1; }
s32 orDefault(s32 value, s32 fallback) { return isSet(value) ? value : fallback; }
// Switches that are on unless explicitly 0.
s32 onUnlessZero(s32 value) { return value == 0 ? 0 : 1; }

irr::video::E_DRIVER_TYPE driverType() {
  return gv::platform::environmentFlag(kNullDriverVariable) ? irr::video::EDT_NULL : irr::video::EDT_OPENGL;
}

void hideEngineWindow() { gv::engine::hideWindow(engine.driver); }
void showEngineWindow() { gv::engine::showWindow(engine.driver); }

// Where compiled programs are kept. A packaged demo carries them in its archive, whose entries
// are named relative to the package: there the folder is named the same way, and it is only
// read. Loose files keep the folder under the base directory, which is made when missing so
// that the first run already fills it.
void setShaderCacheDirectory() {
  if (gv::isArchiveMounted()) {
    engine.manager->getGPUProgrammingServices()->setCacheDirectory(gv::kShaderCacheDirectory,
                                                                   gv::ESCM_READ);
    return;
  }
  std::string directory = gv::baseDirectory();
  if (!directory.empty() && directory.back() != '/') directory += '/';
  directory += gv::kShaderCacheDirectory;
  std::error_code ignored;  // a read-only installation simply has no cache
  std::filesystem::create_directory(directory, ignored);
  engine.manager->getGPUProgrammingServices()->setCacheDirectory(
      directory, gv::ESCM_READ | gv::ESCM_CHECK_TIMES | gv::ESCM_WRITE);
}

// Engine resources. The renderer, the effect resources and the curl noise join this step as
// their subsystems arrive; everything else has no counterpart here: the libraries the engine
// needs are linked when it is built, so none can be missing at run time, and every x86-64
// processor has SSE.
int loadEngineResources() {
  engine.manager = std::make_unique<CGvManager>(engine.device);
  setShaderCacheDirectory();
  // Direct3D 9 announces device resets and losses; OpenGL contexts are neither reset nor
  // lost, so the driver never raises SGvEngineFlags::deviceLost and nothing is registered.
  return 0;
}

int createEntityTables() {
  for (int table = 0; table < EGV_ENTITY_TABLE_COUNT; ++table) {
    engine.tables[table] = IdTable::create(kEntityTableCapacity);
    if (!engine.tables[table]) {
      gvSetStartupError("%s", kTableFailures[table]);
      return -1;
    }
  }
  return 0;
}

// The window icon: an amber ring on a night-blue disc.
std::vector<std::uint32_t> windowIcon(int size) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
  const float centre = (size - 1) / 2.0f, outer = size / 2.0f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      float r = std::hypot(x - centre, y - centre) / outer;
      std::uint32_t colour = r > 1.0f ? 0x00000000 : r > 0.55f && r < 0.8f ? 0xFFFFA020 : 0xFF001A33;
      pixels[static_cast<std::size_t>(y) * size + x] = colour;
    }
  return pixels;
}

bool addCamera() {
  engine.camera = engine.sceneManager->addCameraSceneNode(nullptr, irr::core::vector3df(0, 0, 0),
                                                          irr::core::vector3df(0, 0, 100), -1, true);
  return engine.camera != nullptr;
}

// Every step after the device exists; -1 with the start-up error text set.
int prepareDevice(const SGvSetupParams& p) {
  engine.device->setWindowCaption(L"Gavo");
  engine.driver = engine.device->getVideoDriver();
  if (!engine.driver) return gvSetStartupError("fails to getVideoDriver"), -1;
  gv::engine::setWindowIcon(engine.driver, windowIcon(32), 32);
  if (isSet(p.windowX) && isSet(p.windowY)) gv::engine::moveWindow(engine.driver, p.windowX, p.windowY);
  gv::reapplyArchive(engine.device->getFileSystem());
  engine.driver->setTextureCreationFlag(irr::video::ETCF_ALWAYS_32_BIT, true);
  engine.sceneManager = engine.device->getSceneManager();
  if (!engine.sceneManager) return gvSetStartupError("fails to getSceneManager"), -1;
  engine.gui = engine.device->getGUIEnvironment();
  if (!engine.gui) return gvSetStartupError("fails to getGUIEnvironment"), -1;
  engine.builtInFont = engine.gui->getBuiltInFont();
  if (!addCamera()) return gvSetStartupError("fails to create camera"), -1;
  engine.sceneManager->getParameters()->setAttribute(irr::scene::ALLOW_ZWRITE_ON_TRANSPARENT, true);
  if (loadEngineResources() != 0) return gvSetStartupError("%s", gvResourceError()), -1;
  return createEntityTables();
}

void releaseDevice() {
  presentedFrame.release();
  gvLogSetWindowHooks({});
  gv::releaseEngineFiles();
  engine.manager.reset();
  if (engine.device) {
    engine.device->closeDevice();
    engine.device->drop();
  }
  engine = SGvEngine();
  flags.rendering = false;
}

int createDevice(const SGvSetupParams& p) {
  engine = SGvEngine();
  engine.screenWidth = p.width;
  engine.screenHeight = p.height;
  engine.colourDepth = p.colourDepth;
  engine.antialias = static_cast<std::uint8_t>(p.antialias);
  engine.stereo = p.stereo;
  engine.lightPrePass = static_cast<std::uint8_t>(p.lightPrePass);
  engine.reflectionFiltering = 1;

  engine.device = gv::engine::createDevice(gvDeviceParameters(p));
  if (!engine.device) {
    gvSetStartupError("fails to createDevice");
    engine = SGvEngine();
    return -1;
  }
  gvLogSetWindowHooks({hideEngineWindow, showEngineWindow});
  if (prepareDevice(p) != 0) {
    releaseDevice();
    return -1;
  }
  return 0;
}

void renderFrameContent() {
  engine.sceneManager->drawAll();
  engine.gui->drawAll();
}

// Until a renderer manager draws frames, the scene manager does: the screen is cleared to
// the backdrop, then the scene and the GUI are drawn.
void renderFrameToScreen() {
  engine.driver->setRenderTarget(irr::video::ERT_FRAME_BUFFER, true, true, engine.backdrop);
  renderFrameContent();
}

}  // namespace

SGvEngine& gvEngine() { return engine; }
CGvManager* gvManager() { return engine.manager.get(); }
SGvEngineFlags& gvEngineFlags() { return flags; }
bool gvEngineReady() { return engine.ready != 0; }

SGvSetupParams gvResolvedSetupParams(const SGvSetupParams& params) {
  SGvSetupParams p = params;
  p.width = orDefault(p.width, 640);
  p.height = orDefault(p.height, 480);
  p.colourDepth = orDefault(p.colourDepth, 32);
  p.windowed = onUnlessZero(p.windowed);
  p.vsync = onUnlessZero(p.vsync);
  p.antialias = onUnlessZero(p.antialias);
  p.lightPrePass = onUnlessZero(p.lightPrePass);
  p.stereo = orDefault(p.stereo, 0);
  return p;
}

irr::SIrrlichtCreationParameters gvDeviceParameters(const SGvSetupParams& p) {
  irr::SIrrlichtCreationParameters c;
  c.DeviceType = irr::EIDT_BEST;
  c.DriverType = driverType();
  c.WindowSize = irr::core::dimension2d<irr::u32>(static_cast<irr::u32>(p.width), static_cast<irr::u32>(p.height));
  c.Bits = static_cast<irr::u8>(p.colourDepth);
  c.ZBufferBits = 16;
  c.Fullscreen = p.windowed == 0;
  c.Stencilbuffer = true;
  c.Vsync = p.vsync != 0;
  // Multisampling only serves the simple renderer: the light pre-pass anti-aliases itself.
  c.AntiAlias = (p.antialias != 0 && p.lightPrePass == 0) ? 4 : 0;
  c.Doublebuffer = true;
  c.UsePerformanceTimer = true;
  c.EventReceiver = &gvEventReceiver();
  s32 level = gvLogLevel();
  c.LoggingLevel = static_cast<irr::ELOG_LEVEL>(level < 0 ? 0 : (level > irr::ELL_NONE ? irr::ELL_NONE : level));
  return c;
}

int gvEngineStart(const SGvSetupParams& params) {
  gvEngineStop();
  if (!params.baseDirectory.empty()) gv::setBaseDirectory(params.baseDirectory);
  SGvSetupParams p = gvResolvedSetupParams(params);
  if (createDevice(p) != 0) {
    gvLogErrorIdBox(-1, "Setup failed: %s", gvStartupError());
    return -1;
  }
  engine.backdrop = irr::video::SColor(0);
  if (isSet(p.hideMouse) && p.hideMouse != 0) engine.device->getCursorControl()->setVisible(false);
  gvSetCameraRange(p.cameraNear, p.cameraFar);
  if (gv::createMusicTable() != 0) {
    gvLogErrorIdBox(-1, "Failed to setup music replay");
    gvEngineStop();
    return -1;
  }
  engine.ready = 1;
  return 0;
}

void gvEngineStop() {
  if (!engine.device) return;
  gv::destroyMusicTable();
  releaseDevice();
}

void gvSync() {
  if (!gvEngineReady()) return;
  engine.device->run();
  if (engine.device->isWindowMinimized()) {
    engine.device->yield();
    return;
  }
  if (flags.deviceLost && flags.renderedTextures) {
    gvLogErrorIdBox(-1, "Graphic Device lost, cannot re-create rendered textures, exiting");
    std::exit(0);
  }
  if (!gvBeginRendering()) return;
  renderFrameToScreen();
  gvEndRendering(true);
}

bool gvBeginRendering() {
  if (flags.rendering) return true;
  if (!engine.driver || !engine.driver->beginScene(false, false, engine.backdrop)) {
    gvLog(GVLOG_WARN, "beginScene failed");
    return false;
  }
  flags.rendering = true;
  return true;
}

void gvEndRendering(bool present) {
  if (!flags.rendering) {
    gvLog(GVLOG_WARN, "endRendering called while not in Rendering");
    return;
  }
  flags.rendering = false;
  // Irrlicht's OpenGL driver presents whenever it ends a scene; a frame that is not to be
  // shown simply stays in the back buffer until the next frame clears it.
  if (!present) return;
  presentedFrame.keep(engine.driver);
  if (!engine.driver->endScene()) gvLog(GVLOG_WARN, "endScene failed");
}

void gvRenderToTexture(irr::video::ITexture* target, bool clear) {
  if (!gvEngineReady()) return;
  if (engine.device->isWindowMinimized()) {
    engine.device->yield();
    return;
  }
  if (!gvBeginRendering()) return;
  engine.driver->setRenderTarget(target, clear, clear, engine.backdrop);
  renderFrameContent();
  engine.driver->setRenderTarget(nullptr, false, false, engine.backdrop);
  flags.renderedTextures = true;
}

s32 gvTimeMs() {
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point origin = Clock::now();
  return static_cast<s32>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - origin).count());
}

void gvSleep(s32 milliseconds) {
  if (milliseconds <= 0) return;
  if (engine.device)
    engine.device->sleep(static_cast<irr::u32>(milliseconds));
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void gvSetCameraRange(f32 nearPlane, f32 farPlane) {
  if (nearPlane == farPlane) {
    nearPlane = 0.1f;
    farPlane = 1000.0f;
  }
  if (!engine.camera) return;
  engine.camera->setNearValue(nearPlane);
  engine.camera->setFarValue(farPlane);
}

int gvScreenShot(const char* path) {
  irr::video::IVideoDriver* driver = engine.driver;
  irr::video::IImage* image = nullptr;
  if (driver)
    image = driver->getDriverType() == irr::video::EDT_OPENGL
                ? presentedFrame.createImage(driver)
                : driver->createScreenShot(irr::video::ECF_R8G8B8, irr::video::ERT_FRAME_BUFFER);
  if (!image) {
    gvLogErrorId(1, "failed to grab the screen\n");
    return -1;
  }
  bool written = driver->writeImageToFile(image, path);
  image->drop();
  if (!written) {
    gvLogErrorId(1, "failed to save screenshot to file '%s'\n", path);
    return -1;
  }
  return 0;
}
