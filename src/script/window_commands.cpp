// Window, screen, frame loop, timing and dialog commands.
#include "app/context/engine.h"
#include "app/context/settings.h"
#include "app/log/log.h"
#include "engine/window.h"
#include "platform/file_dialog.h"
#include "script/command.h"

namespace gv::script {
namespace {

irr::IrrlichtDevice* device() { return gvEngine().device; }

int windowAction(lua_State* L, void (*action)(irr::IrrlichtDevice*)) {
  requireSetup(L);
  // Without a window (the NULL driver) there is nothing to act on.
  if (gv::engine::hasWindow(gvEngine().driver)) action(device());
  return finishCommand(L, 0);
}

int HideWindow(lua_State* L) {
  return windowAction(L, [](irr::IrrlichtDevice*) { gv::engine::hideWindow(gvEngine().driver); });
}
int ShowWindow(lua_State* L) {
  return windowAction(L, [](irr::IrrlichtDevice*) { gv::engine::showWindow(gvEngine().driver); });
}
int MaximizeWindow(lua_State* L) {
  return windowAction(L, [](irr::IrrlichtDevice* d) { d->maximizeWindow(); });
}
int MinimizeWindow(lua_State* L) {
  return windowAction(L, [](irr::IrrlichtDevice* d) { d->minimizeWindow(); });
}
int RestoreWindow(lua_State* L) {
  return windowAction(L, [](irr::IrrlichtDevice* d) { d->restoreWindow(); });
}

int pushBoolean(lua_State* L, bool value) {
  lua_pushboolean(L, value);
  return finishCommand(L, 1);
}

int pushInteger(lua_State* L, lua_Integer value) {
  lua_pushinteger(L, value);
  return finishCommand(L, 1);
}

int IsWindowActive(lua_State* L) {
  requireSetup(L);
  return pushBoolean(L, device()->isWindowActive());
}

int WindowMode(lua_State* L) {
  requireSetup(L);
  return pushBoolean(L, device()->isFullscreen());
}

int ScreenWidth(lua_State* L) {
  requireSetup(L);
  return pushInteger(L, gvEngine().driver->getScreenSize().Width);
}

int ScreenHeight(lua_State* L) {
  requireSetup(L);
  return pushInteger(L, gvEngine().driver->getScreenSize().Height);
}

int bitsPerPixel(irr::video::ECOLOR_FORMAT format) {
  switch (format) {
    case irr::video::ECF_A1R5G5B5:
    case irr::video::ECF_R5G6B5:
    case irr::video::ECF_R16F:
      return 16;
    case irr::video::ECF_R8G8B8:
      return 24;
    case irr::video::ECF_A16B16G16R16F:
    case irr::video::ECF_G32R32F:
      return 64;
    default:
      return 32;
  }
}

int ScreenDepth(lua_State* L) {
  requireSetup(L);
  return pushInteger(L, bitsPerPixel(gvEngine().driver->getColorFormat()));
}

// The frame loop collects no pending error: a failure inside a frame is not the script's.
int Sync(lua_State* L) {
  requireSetup(L);
  gvSync();
  return 0;
}

int Run(lua_State* L) {
  requireSetup(L);
  lua_pushboolean(L, device()->run());
  return 1;
}

int Timer(lua_State* L) {
  requireSetup(L);
  return pushInteger(L, gvTimeMs());
}

int Sleep(lua_State* L) {
  requireSetup(L);
  gvSleep(checkInt(L, 1));
  return finishCommand(L, 0);
}

int ScreenShot(lua_State* L) {
  requireSetup(L);
  gvScreenShot(luaL_checkstring(L, 1));
  return finishCommand(L, 0);
}

// Dialogs work before Setup and collect no pending error.
int MessageBox(lua_State* L) {
  gvMessageBox("%s", joinText(L, 1));
  return 0;
}

int FileRequester(lua_State* L) {
  luaL_optstring(L, 1, nullptr);  // accepted for compatibility; the dialog takes nothing from it
  bool chosen = false;
  {
    std::optional<std::string> path = gv::platform::openFileDialog("Open", {});
    if (path) {
      pushString(L, *path);
      chosen = true;
    }
  }
  if (!chosen) lua_pushnil(L);
  return 1;
}

int ScreenModeDialog(lua_State* L) {
  SGvDisplaySettings choice;
  lua_pushboolean(L, gvScreenModeDialog(choice) == 0);
  return 1;
}

int ScreenModeOption(lua_State* L) {
  lua_pushinteger(L, gvScreenModeOption(luaL_checkstring(L, 1)));
  return 1;
}

}  // namespace

const luaL_Reg kWindowCommands[] = {
    {"HideWindow", HideWindow},
    {"ShowWindow", ShowWindow},
    {"MaximizeWindow", MaximizeWindow},
    {"MinimizeWindow", MinimizeWindow},
    {"RestoreWindow", RestoreWindow},
    {"IsWindowActive", IsWindowActive},
    {"WindowMode", WindowMode},
    {"ScreenWidth", ScreenWidth},
    {"ScreenHeight", ScreenHeight},
    {"ScreenDepth", ScreenDepth},
    {"Sync", Sync},
    {"Run", Run},
    {"Timer", Timer},
    {"Sleep", Sleep},
    {"ScreenShot", ScreenShot},
    {"MessageBox", MessageBox},
    {"FileRequester", FileRequester},
    {"ScreenModeDialog", ScreenModeDialog},
    {"ScreenModeOption", ScreenModeOption},
    {nullptr, nullptr},
};

}  // namespace gv::script
