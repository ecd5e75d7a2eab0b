// Path commands over the file layer: with the engine running they see its file system and
// any mounted package.
#include "resources/files/files.h"
#include "script/command.h"

namespace gv::script {
namespace {

int SetDir(lua_State* L) {
  requireSetup(L);
  gv::setDirectory(luaL_checkstring(L, 1));
  return finishCommand(L, 0);
}

int GetDir(lua_State* L) {
  requireSetup(L);
  pushString(L, gv::getDirectory());
  return finishCommand(L, 1);
}

int FileExist(lua_State* L) {
  requireSetup(L);
  lua_pushboolean(L, gv::fileExists(luaL_checkstring(L, 1)));
  return finishCommand(L, 1);
}

int PathFilename(lua_State* L) {
  requireSetup(L);
  const char* path = luaL_checkstring(L, 1);
  bool keepExtension = optionalBoolean(L, 2, true);
  pushString(L, gv::fileName(path, keepExtension));
  return finishCommand(L, 1);
}

int PathPath(lua_State* L) {
  requireSetup(L);
  pushString(L, gv::directoryPart(luaL_checkstring(L, 1)));
  return finishCommand(L, 1);
}

int PathFull(lua_State* L) {
  requireSetup(L);
  pushString(L, gv::absolutePath(luaL_checkstring(L, 1)));
  return finishCommand(L, 1);
}

}  // namespace

const luaL_Reg kFileCommands[] = {
    {"SetDir", SetDir},       {"GetDir", GetDir},     {"FileExist", FileExist},
    {"PathFilename", PathFilename}, {"PathPath", PathPath}, {"PathFull", PathFull},
    {nullptr, nullptr},
};

}  // namespace gv::script
