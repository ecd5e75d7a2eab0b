// Light commands. The scene-wide colours come first; the light entities join them.
#include "app/context/engine.h"
#include "script/command.h"

namespace gv::script {

void setAmbientColour(std::uint32_t colour) {
  gvEngine().sceneManager->setAmbientLight(irr::video::SColorf(irr::video::SColor(colour | 0xFF000000u)));
}

void setBackdropColour(std::uint32_t colour) { gvEngine().backdrop = irr::video::SColor(colour); }

namespace {

int ColorAmbientLight(lua_State* L) {
  requireSetup(L);
  setAmbientColour(static_cast<std::uint32_t>(luaL_checkunsigned(L, 1)));
  return finishCommand(L, 0);
}

int ColorBackdrop(lua_State* L) {
  requireSetup(L);
  setBackdropColour(static_cast<std::uint32_t>(luaL_checkunsigned(L, 1)));
  return finishCommand(L, 0);
}

}  // namespace

const luaL_Reg kLightCommands[] = {
    {"ColorAmbientLight", ColorAmbientLight},
    {"ColorBackdrop", ColorBackdrop},
    {nullptr, nullptr},
};

}  // namespace gv::script
