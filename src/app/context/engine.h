#pragma once
// The engine context: the one running engine of the process (device, window, camera, engine
// manager, entity tables, render settings), its start and stop, and the frame. Main thread
// only.
#include "app/context/manager.h"
#include "script/id_table/id_table.h"

#include <irrlicht.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

using irr::f32;
using irr::s32;

// Start parameters; -1 means "not set" for every integer.
struct SGvSetupParams {
  std::string baseDirectory;  // empty: the data-file search keeps its base directory
  f32 cameraNear = 0.1f;
  f32 cameraFar = 1000.0f;
  s32 width = -1;          // 640
  s32 height = -1;         // 480
  s32 colourDepth = -1;    // 32
  s32 windowed = -1;       // window; 0 is full screen
  s32 windowX = -1;        // -1: the window manager places the window
  s32 windowY = -1;
  s32 vsync = -1;          // on; 0 is off
  s32 framesPerSecond = -1;
  s32 antialias = -1;      // on; 0 is off
  s32 lightPrePass = -1;   // on; 0 is off
  s32 hideMouse = -1;      // shown; nonzero hides the cursor
  s32 shaders = -1;
  s32 stereo = -1;         // 0
};

// What scenes and script commands ask of the renderer; it copies the block every frame.
struct SGvRenderSettings {
  s32 gamma = 0;
  struct { s32 on = 0; f32 intensity = 0, radius = 0, surfaceIntensity = 0; } glow;
  struct { s32 on = 0; f32 focalDistance = 0, fStop = 0; } depthOfField;
  struct { s32 on = 0; f32 focalRangeMin = 0, focalRangeMax = 0, focalRangeFocused = 0, radiusScale = 0; } advancedDepthOfField;
  struct { s32 on = 0; f32 threshold = 0, intensity = 0, tintRed = 0, tintGreen = 0, tintBlue = 0, angleDegrees = 0, attenuation = 0; } lightStreaks;
  struct { s32 on = 0; f32 threshold = 0, intensity = 0; } bloom;
  struct { s32 on = 0; f32 distanceReach = 0, maxDepthDecline = 0, depthAliasingEpsilon = 0, outputMultiplier = 0; } ambientOcclusion;
  struct { s32 on = 0; f32 epsilon = 0; } shadows;
  struct { s32 on = 0; f32 values[3] = {0, 0, 0}; } reserved;
  struct { s32 jitter = 0, location = 0, mode = 0, blending = 0, blendingWeight = 0, velocityLimitOn = 0; f32 velocityLimit = 0; } antiAliasing;
};

struct SGvStereoCamera {
  s32 on = 0;
  f32 separation = 0;
  s32 convergenceOn = 0;
  f32 convergenceDistance = 0;
};

// The eight engine tables, in creation order.
enum EGvEntityTable {
  EGV_IMAGES, EGV_OBJECTS, EGV_LIGHTS, EGV_FX_EMITTERS, EGV_CAMERA_EFFECTS, EGV_EFFECTS,
  EGV_CUBE_MAPS, EGV_RENDERERS, EGV_ENTITY_TABLE_COUNT
};
constexpr s32 kEntityTableCapacity = 1000;

struct SGvEngine {
  s32 ready = 0;
  irr::IrrlichtDevice* device = nullptr;
  irr::video::IVideoDriver* driver = nullptr;
  irr::scene::ISceneManager* sceneManager = nullptr;
  irr::gui::IGUIEnvironment* gui = nullptr;
  irr::gui::IGUIFont* builtInFont = nullptr;
  irr::gui::IGUIInOutFader* fader = nullptr;
  irr::scene::ICameraSceneNode* camera = nullptr;
  std::unique_ptr<CGvManager> manager;
  s32 screenWidth = 0;
  s32 screenHeight = 0;
  s32 colourDepth = 0;
  std::uint8_t antialias = 0;
  s32 stereo = 0;
  std::uint8_t lightPrePass = 0;
  // Clear colour of every frame, 0xAARRGGBB as scripts give it.
  irr::video::SColor backdrop = irr::video::SColor(0);
  SGvRenderSettings renderSettings;
  SGvStereoCamera stereoCamera;
  std::uint8_t reflectionFiltering = 0;
  std::array<std::unique_ptr<IdTable>, EGV_ENTITY_TABLE_COUNT> tables;
};

// Process-wide frame and device state.
struct SGvEngineFlags {
  bool rendering = false;          // between gvBeginRendering and gvEndRendering
  bool deviceLost = false;         // never set on OpenGL (see gvEngineStart)
  bool renderedTextures = false;   // a frame was rendered into a texture
  bool advancedRenderer = false;   // the light pre-pass path is in use
};

// Environment switch: with GAVO_NULL_DRIVER set the engine runs on Irrlicht's NULL driver,
// without a window or display (tests, headless machines).
constexpr const char* kNullDriverVariable = "GAVO_NULL_DRIVER";

// Stops a running engine, then starts one. 0, or -1 after "Setup failed: %s" was reported.
int gvEngineStart(const SGvSetupParams& params);
void gvEngineStop();
bool gvEngineReady();
SGvEngine& gvEngine();
CGvManager* gvManager();
SGvEngineFlags& gvEngineFlags();

// The start parameters with every default applied.
SGvSetupParams gvResolvedSetupParams(const SGvSetupParams& params);
// What the device is created with for resolved parameters.
irr::SIrrlichtCreationParameters gvDeviceParameters(const SGvSetupParams& resolved);

// One frame: render, draw the GUI, present. Also delivers the window's pending events.
void gvSync();
bool gvBeginRendering();
void gvEndRendering(bool present);
// Renders a frame into the texture (clearing it when asked), then targets the screen again.
void gvRenderToTexture(irr::video::ITexture* target, bool clear);
// Milliseconds since the first call in the process; the first call returns 0.
s32 gvTimeMs();
void gvSleep(s32 milliseconds);
// Near equal to far means "no range given": 0.1 and 1000 are used.
void gvSetCameraRange(f32 nearPlane, f32 farPlane);
// Writes the frame last shown on screen to the file, in the format its extension names.
// 0, or -1 with the failure recorded as the last error (value 1).
int gvScreenShot(const char* path);
