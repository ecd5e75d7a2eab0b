#include "app/context/startup_dialog.h"

#include "app/log/log.h"
#include "engine/device.h"
#include "engine/window.h"
#include "platform/process.h"

#include <irrlicht.h>

#include <algorithm>
#include <cstdio>
#include <strings.h>
#include <tuple>

namespace {

// The last confirmed dialog; all zero before any.
SGvDisplaySettings keptChoice{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

bool sameSize(const SGvDisplayMode& a, const SGvDisplayMode& b) {
  return a.width == b.width && a.height == b.height && a.depth == b.depth;
}

int findMode(const std::vector<SGvDisplayMode>& modes, s32 width, s32 height, s32 depth) {
  for (std::size_t i = 0; i < modes.size(); ++i)
    if (modes[i].width == width && modes[i].height == height && modes[i].depth == depth) return static_cast<int>(i);
  return -1;
}

bool isRecommended(const SGvDisplayMode& mode) { return mode.width == 1280 && mode.height == 720 && mode.depth == 32; }

}  // namespace

std::vector<SGvDisplayMode> gvDialogModes(const std::vector<SGvDisplayMode>& offered) {
  std::vector<SGvDisplayMode> kept;
  for (const SGvDisplayMode& mode : offered) {
    if (static_cast<int>(kept.size()) == kMaxDialogModes) break;
    if (mode.depth < 32) continue;
    if (std::any_of(kept.begin(), kept.end(), [&](const SGvDisplayMode& k) { return sameSize(k, mode); })) continue;
    kept.push_back(mode);
  }
  std::sort(kept.begin(), kept.end(), [](const SGvDisplayMode& a, const SGvDisplayMode& b) {
    return std::tie(a.width, a.height, a.depth, a.refreshRate) < std::tie(b.width, b.height, b.depth, b.refreshRate);
  });
  return kept;
}

std::string gvDialogModeText(const SGvDisplayMode& mode) {
  char text[64];
  std::snprintf(text, sizeof text, "%4d x %4d%s", mode.width, mode.height, isRecommended(mode) ? " (recommended)" : "");
  return text;
}

int gvDialogPreselection(const std::vector<SGvDisplayMode>& modes, const SGvDisplayMode& desktop) {
  for (int found : {findMode(modes, 1280, 720, 32), findMode(modes, desktop.width, desktop.height, desktop.depth),
                    findMode(modes, 1920, 1080, 32)})
    if (found >= 0) return found;
  return -1;
}

StartupDialogState::StartupDialogState(const std::vector<SGvDisplayMode>& offered, const SGvDisplayMode& desktop)
    : modes_(gvDialogModes(offered)), selected_(gvDialogPreselection(modes_, desktop)) {}

void StartupDialogState::select(int entry) {
  selected_ = entry >= 0 && entry < static_cast<int>(modes_.size()) ? entry : -1;
}

SGvDisplaySettings StartupDialogState::choice() const {
  SGvDisplaySettings c;  // window position, fps, antialias, shaders and stereo stay unset
  const SGvDisplayMode& mode = modes_.at(static_cast<std::size_t>(selected_));
  c.width = mode.width;
  c.height = mode.height;
  c.colourDepth = mode.depth;
  c.windowed = fullScreen_ ? 0 : 1;
  c.vsync = 1;
  c.centred = 0;
  return c;
}

s32 gvScreenModeOption(const char* name) {
  if (!name) return -1;
  const SGvDisplaySettings& k = keptChoice;
  const struct {
    const char* name;
    s32 value;
  } fields[] = {
      {"width", k.width},         {"height", k.height}, {"windowed", k.windowed},
      {"bpp", k.colourDepth},     {"vsync", k.vsync},   {"fps", k.framesPerSecond},
      {"antialias", k.antialias}, {"shaders", k.shaders}, {"stereo", k.stereo},
      {"centered", k.centred},
  };
  for (const auto& field : fields)
    if (strcasecmp(name, field.name) == 0) return field.value;
  return -1;
}

namespace {

using namespace irr;

// Dialog units of the layout, in pixels.
constexpr float kUnitX = 1.75f;
constexpr float kUnitY = 2.0f;
const video::SColor kBlack(255, 0, 0, 0);
const video::SColor kGrey(255, 170, 170, 170);
const video::SColor kOrange(255, 255, 136, 68);

core::rect<s32> area(int x, int y, int width, int height) {
  return core::rect<s32>(static_cast<s32>(x * kUnitX), static_cast<s32>(y * kUnitY),
                         static_cast<s32>((x + width) * kUnitX), static_cast<s32>((y + height) * kUnitY));
}

enum ElementId { kModeList = 1, kFullScreen, kWindowed, kStart };

// Xorg reports a colour depth of 24 for its 32-bit pixel formats.
s32 bitsPerPixel(s32 depth) { return depth == 24 ? 32 : depth; }

SGvDisplayMode desktopMode(video::IVideoModeList* list) {
  if (list && list->getDesktopResolution().Width > 0) {
    core::dimension2d<u32> size = list->getDesktopResolution();
    return {static_cast<s32>(size.Width), static_cast<s32>(size.Height), bitsPerPixel(list->getDesktopDepth()), 0};
  }
  std::optional<gv::engine::ScreenSize> screen = gv::engine::defaultScreenSize();
  if (!screen) return {};
  return {screen->width, screen->height, bitsPerPixel(screen->depth), 0};
}

// Irrlicht lists modes only where the X server offers XF86VidMode (Xwayland and Xvfb do
// not); without them the common sizes that fit the desktop are offered, and the desktop.
std::vector<SGvDisplayMode> offeredModes(video::IVideoModeList* list) {
  std::vector<SGvDisplayMode> modes;
  for (s32 i = 0; list && i < list->getVideoModeCount(); ++i) {
    core::dimension2d<u32> size = list->getVideoModeResolution(i);
    modes.push_back({static_cast<s32>(size.Width), static_cast<s32>(size.Height),
                     bitsPerPixel(list->getVideoModeDepth(i)), 0});
  }
  if (!modes.empty()) return modes;
  SGvDisplayMode desktop = desktopMode(list);
  const s32 common[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1920, 1080}};
  for (const auto& size : common)
    if (size[0] <= desktop.width && size[1] <= desktop.height) modes.push_back({size[0], size[1], desktop.depth, 0});
  if (desktop.width > 0) modes.push_back(desktop);
  return modes;
}

void paintSkin(gui::IGUISkin* skin) {
  for (gui::EGUI_DEFAULT_COLOR c : {gui::EGDC_3D_FACE, gui::EGDC_3D_SHADOW, gui::EGDC_3D_DARK_SHADOW, gui::EGDC_3D_LIGHT,
                                    gui::EGDC_3D_HIGH_LIGHT, gui::EGDC_WINDOW, gui::EGDC_EDITABLE,
                                    gui::EGDC_FOCUSED_EDITABLE, gui::EGDC_GRAY_EDITABLE})
    skin->setColor(c, kBlack);
  for (gui::EGUI_DEFAULT_COLOR c : {gui::EGDC_BUTTON_TEXT, gui::EGDC_HIGH_LIGHT_TEXT, gui::EGDC_WINDOW_SYMBOL})
    skin->setColor(c, kGrey);
  skin->setColor(gui::EGDC_GRAY_TEXT, video::SColor(255, 85, 85, 85));
  skin->setColor(gui::EGDC_HIGH_LIGHT, video::SColor(255, 68, 68, 68));
}

// The dialog window: Irrlicht GUI elements over a StartupDialogState.
class StartupDialog final : public IEventReceiver {
 public:
  explicit StartupDialog(IrrlichtDevice* device)
      : device_(device),
        state_(offeredModes(device->getVideoModeList()), desktopMode(device->getVideoModeList())) {
    build();
  }

  bool OnEvent(const SEvent& event) override {
    if (event.EventType == EET_KEY_INPUT_EVENT && event.KeyInput.Key == KEY_ESCAPE && !event.KeyInput.PressedDown) {
      device_->closeDevice();
      return true;
    }
    if (event.EventType != EET_GUI_EVENT) return false;
    s32 id = event.GUIEvent.Caller->getID();
    switch (event.GUIEvent.EventType) {
      case gui::EGET_COMBO_BOX_CHANGED:
        state_.select(modeList_->getSelected());
        break;
      case gui::EGET_CHECKBOX_CHANGED:
        state_.setFullScreen(id == kFullScreen);
        break;
      case gui::EGET_BUTTON_CLICKED:
        if (id == kStart && state_.startEnabled()) {
          confirmed_ = true;
          device_->closeDevice();
        }
        break;
      default:
        return false;
    }
    showState();
    return false;
  }

  // Runs until Start, Escape or the window closes; true for Start.
  bool run() {
    video::IVideoDriver* driver = device_->getVideoDriver();
    while (device_->run()) {
      driver->beginScene(true, true, kBlack);
      device_->getGUIEnvironment()->drawAll();
      driver->endScene();
    }
    return confirmed_;
  }

  SGvDisplaySettings choice() const { return state_.choice(); }

 private:
  void build() {
    gui::IGUIEnvironment* gui = device_->getGUIEnvironment();
    paintSkin(gui->getSkin());
    gui::IGUIStaticText* banner = gui->addStaticText(L"G A V O", area(29, 11, 165, 27), false, false);
    banner->setOverrideColor(kOrange);
    banner->setTextAlignment(gui::EGUIA_CENTER, gui::EGUIA_CENTER);
    modeList_ = gui->addComboBox(area(31, 48, 161, 11), nullptr, kModeList);
    for (const SGvDisplayMode& mode : state_.modes()) {
      std::string text = gvDialogModeText(mode);
      modeList_->addItem(core::stringw(text.c_str()).c_str());
    }
    fullScreen_ = gui->addCheckBox(true, area(33, 63, 50, 14), nullptr, kFullScreen, L"Full screen");
    windowed_ = gui->addCheckBox(false, area(33, 76, 49, 14), nullptr, kWindowed, L"Windowed");
    start_ = gui->addButton(area(81, 93, 61, 16), nullptr, kStart, L"Start");
    gui::IGUIStaticText* status =
        gui->addStaticText(core::stringw(gvMissingLibraries().c_str()).c_str(), area(3, 115, 216, 18), false, true);
    status->setOverrideColor(kOrange);
    status->setTextAlignment(gui::EGUIA_CENTER, gui::EGUIA_UPPERLEFT);
    showState();
  }

  // The controls mirror the state: one of the two choices checked, Start only with a mode.
  void showState() {
    modeList_->setSelected(state_.selected());
    fullScreen_->setChecked(state_.fullScreen());
    windowed_->setChecked(!state_.fullScreen());
    start_->setEnabled(state_.startEnabled());
  }

  IrrlichtDevice* device_;
  StartupDialogState state_;
  gui::IGUIComboBox* modeList_ = nullptr;
  gui::IGUICheckBox* fullScreen_ = nullptr;
  gui::IGUICheckBox* windowed_ = nullptr;
  gui::IGUIButton* start_ = nullptr;
  bool confirmed_ = false;
};

bool someoneCanAnswer() {
  return gv::platform::hasDisplay() && !gv::platform::environmentFlag("GAVO_NO_BOXES") &&
         !gv::platform::environmentFlag("CI");
}

}  // namespace

int gvScreenModeDialog(SGvDisplaySettings& choice) {
  if (!someoneCanAnswer()) {
    gvLog(GVLOG_WARN, "The start-up dialog needs a display and a person to answer it");
    return -1;
  }
  SIrrlichtCreationParameters params;
  params.DriverType = video::EDT_OPENGL;
  params.WindowSize = core::dimension2d<u32>(static_cast<u32>(223 * kUnitX), static_cast<u32>(133 * kUnitY));
  params.LoggingLevel = ELL_NONE;
  IrrlichtDevice* device = gv::engine::createDevice(params);
  if (!device) {
    gvLog(GVLOG_WARN, "The start-up dialog cannot open a window");
    return -1;
  }
  device->setWindowCaption(L"Gavo");
  bool confirmed;
  {
    StartupDialog dialog(device);
    device->setEventReceiver(&dialog);
    confirmed = dialog.run();
    device->setEventReceiver(nullptr);
    if (confirmed) choice = keptChoice = dialog.choice();
  }
  device->drop();
  // The running engine's context is current again for its next frame.
  if (gvEngine().driver) gv::engine::makeContextCurrent(gvEngine().driver);
  return confirmed ? 0 : -1;
}
