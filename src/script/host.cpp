#include "script/script.h"

#include "app/log/log.h"
#include "platform/process.h"
#include "resources/files/files.h"
#include "script/command.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <unistd.h>
#include <vector>

namespace {

// Every family's commands; a family joins the library with one line here.
const luaL_Reg* const kFamilies[] = {
    gv::script::kEngineCommands, gv::script::kInputCommands, gv::script::kWindowCommands,
    gv::script::kFileCommands,   gv::script::kLightCommands,  gv::script::kMusicCommands,
};
constexpr int kLibrarySize = 256;

// Modules are searched in the executable's "lua" folder, beside the executable, then in the
// current directory.
std::string modulePath() {
  std::string exe = gv::platform::executablePath();
  std::string dir = exe.substr(0, exe.find_last_of('/'));
  return dir + "/lua/?.lua;" + dir + "/lua/?/init.lua;" + dir + "/?.lua;" + dir + "/?/init.lua;./?.lua";
}

void openCommandLibrary(lua_State* L) {
  lua_createtable(L, 0, kLibrarySize);
  for (const luaL_Reg* family : kFamilies) luaL_setfuncs(L, family, 0);
  lua_pushvalue(L, -1);
  lua_setglobal(L, "gv");
  luaL_getsubtable(L, LUA_REGISTRYINDEX, "_LOADED");
  lua_pushvalue(L, -2);
  lua_setfield(L, -2, "gv");
  lua_pop(L, 2);
}

void setModulePath(lua_State* L) {
  lua_getglobal(L, "package");
  gv::script::pushString(L, modulePath());
  lua_setfield(L, -2, "path");
  lua_pop(L, 1);
}

// The error message with the call stack that led to it.
int addTraceback(lua_State* L) {
  const char* message = lua_tostring(L, 1);
  if (!message) message = lua_pushfstring(L, "(error object is a %s value)", luaL_typename(L, 1));
  luaL_traceback(L, L, message, 1);
  return 1;
}

std::string directoryOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
  std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

// Loads the chunk; on failure the error message is on the stack.
int loadChunk(lua_State* L, const std::string& path, bool fromEngineFiles, bool& unreadable) {
  if (!fromEngineFiles) return luaL_loadfile(L, nameOf(path).c_str());
  std::optional<std::vector<std::uint8_t>> bytes = gv::readWholeFile(path);
  if (!bytes) {
    unreadable = true;
    return -1;
  }
  return luaL_loadbuffer(L, reinterpret_cast<const char*>(bytes->data()), bytes->size(), "mem");
}

}  // namespace

lua_State* gvNewScriptState() {
  lua_State* L = luaL_newstate();
  if (!L) return nullptr;
  luaL_openlibs(L);
  setModulePath(L);
  openCommandLibrary(L);
  return L;
}

int runScript(const std::string& path, bool fromEngineFiles) {
  std::string script = path;
  if (!fromEngineFiles) {
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).string();
    if (error) absolute = path;
    if (chdir(directoryOf(absolute).c_str()) != 0) std::fprintf(stderr, "cannot enter the folder of %s\n", path.c_str());
    script = nameOf(absolute);
  }
  // Failures reach the script as errors; nothing is printed or shown for them.
  gvLogSetLevel(GVLOG_NONE);
  gvLogDisableBoxes();

  lua_State* L = gvNewScriptState();
  if (!L) {
    std::fprintf(stderr, "cannot create a Lua state\n");
    return -1;
  }
  bool unreadable = false;
  int status = loadChunk(L, script, fromEngineFiles, unreadable);
  if (unreadable) {
    std::fprintf(stderr, "cannot load %s\n", path.c_str());
    lua_close(L);
    gv::script::endEngine();
    return -1;
  }
  if (status == LUA_OK) {
    lua_pushcfunction(L, addTraceback);
    lua_insert(L, -2);
    status = lua_pcall(L, 0, LUA_MULTRET, -2);
  }
  if (status != LUA_OK) {
    std::fprintf(stderr, "%s\n", lua_tostring(L, -1));
    lua_pop(L, 1);
  }
  lua_close(L);
  gv::script::endEngine();
  return status;
}
