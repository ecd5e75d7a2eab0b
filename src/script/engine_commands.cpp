// Engine commands: Setup, Term, IsSetup, and the commands the library lists but that do
// nothing or are not implemented.
#include "app/context/engine.h"
#include "script/command.h"

namespace gv::script {
namespace {

// The scene every Setup starts with: the camera five units back and the default colours.
// Light 0 joins it with the light commands.
void buildDefaultScene() {
  gvEngine().camera->setPosition(irr::core::vector3df(0, 0, -5));
  setAmbientColour(0x050505);
  setBackdropColour(0x001122);
}

int Setup(lua_State* L) {
  SGvSetupParams params;
  params.width = static_cast<s32>(luaL_optinteger(L, 1, 640));
  params.height = static_cast<s32>(luaL_optinteger(L, 2, 480));
  params.colourDepth = static_cast<s32>(luaL_optinteger(L, 3, 32));
  params.windowed = optionalBoolean(L, 4, true) ? 1 : 0;
  if (gvEngineStart(params) == 0) buildDefaultScene();
  return finishCommand(L, 0);
}

int Term(lua_State*) {
  endEngine();
  return 0;
}

int IsSetup(lua_State* L) {
  lua_pushboolean(L, gvEngineReady());
  return 1;
}

int notImplemented(lua_State* L) {
  requireSetup(L);
  return luaL_argerror(L, -1, "the function is not implemented");
}

// Rotation orders have no meaning for these entities; the ID is still checked.
int ignoreRotationOrderOfId(lua_State* L) {
  requireSetup(L);
  if (!lua_isnone(L, 1)) checkInt(L, 1);
  return finishCommand(L, 0);
}

int ignoreCameraRotationOrder(lua_State* L) {
  requireSetup(L);
  return finishCommand(L, 0);
}

}  // namespace

void endEngine() { gvEngineStop(); }

const luaL_Reg kEngineCommands[] = {
    {"Setup", Setup},
    {"Term", Term},
    {"IsSetup", IsSetup},
    {"SetCameraEffectParameters", notImplemented},
    {"SetFxEmitterSizeGradient", notImplemented},
    {"SetFxEmitterColorGradient", notImplemented},
    {"SetFxEmitterEffectParameters", notImplemented},
    {"SetObjectSurfaces", notImplemented},
    {"SetLightRotationXYZ", ignoreRotationOrderOfId},
    {"SetLightRotationZYX", ignoreRotationOrderOfId},
    {"SetObjectRotationXYZ", ignoreRotationOrderOfId},
    {"SetObjectRotationZYX", ignoreRotationOrderOfId},
    {"SetCameraRotationXYZ", ignoreCameraRotationOrder},
    {"SetCameraRotationZYX", ignoreCameraRotationOrder},
    {nullptr, nullptr},
};

}  // namespace gv::script
