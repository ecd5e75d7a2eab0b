#include "script/command.h"

#include "app/context/engine.h"
#include "app/log/log.h"

#include <cstring>

namespace gv::script {

const char* commandName(lua_State* L) {
  lua_Debug ar;
  if (!lua_getstack(L, 0, &ar) || !lua_getinfo(L, "n", &ar) || !ar.name) return "?";
  return ar.name;
}

void requireSetup(lua_State* L) {
  if (!gvEngineReady()) luaL_error(L, "calling '%s' without Setup first", commandName(L));
}

int finishCommand(lua_State* L, int results) {
  std::int32_t argument = -1;
  const char* message = gvLogLastError(&argument);
  if (!message) return results;
  lua_pushstring(L, message);
  gvLogClearLastError();
  return luaL_argerror(L, argument, lua_tostring(L, -1));
}

bool checkBoolean(lua_State* L, int arg) {
  luaL_checktype(L, arg, LUA_TBOOLEAN);
  return lua_toboolean(L, arg) != 0;
}

bool optionalBoolean(lua_State* L, int arg, bool fallback) {
  return lua_isnone(L, arg) ? fallback : checkBoolean(L, arg);
}

std::int32_t checkInt(lua_State* L, int arg) { return static_cast<std::int32_t>(luaL_checkinteger(L, arg)); }

namespace {

// Checks the table and its length; the entries are read by the caller.
int arrayLength(lua_State* L, int arg, int capacity) {
  luaL_checktype(L, arg, LUA_TTABLE);
  std::size_t length = lua_rawlen(L, arg);
  if (length > static_cast<std::size_t>(capacity))
    luaL_error(L, "Exceed buffer capacity %d>%d", static_cast<int>(length), capacity);
  return static_cast<int>(length);
}

// Pushes entry i of the array; raises when it is not a number.
void pushArrayEntry(lua_State* L, int arg, int i) {
  lua_rawgeti(L, arg, i);
  if (!lua_isnumber(L, -1))
    luaL_error(L, "invalid entry #%d in array argument #%d (expected number, got %s)", i, arg,
               luaL_typename(L, -1));
}

}  // namespace

int readNumberArray(lua_State* L, int arg, float* entries, int capacity) {
  int n = arrayLength(L, arg, capacity);
  for (int i = 1; i <= n; ++i) {
    pushArrayEntry(L, arg, i);
    entries[i - 1] = static_cast<float>(lua_tonumber(L, -1));
    lua_pop(L, 1);
  }
  return n;
}

int readIntegerArray(lua_State* L, int arg, std::int32_t* entries, int capacity) {
  int n = arrayLength(L, arg, capacity);
  for (int i = 1; i <= n; ++i) {
    pushArrayEntry(L, arg, i);
    entries[i - 1] = static_cast<std::int32_t>(lua_tointeger(L, -1));
    lua_pop(L, 1);
  }
  return n;
}

const char* joinText(lua_State* L, int first) {
  static char joined[kGvLogTextMax + 1];
  std::size_t used = 0;
  joined[0] = '\0';
  int last = lua_gettop(L);
  lua_getglobal(L, "tostring");
  for (int arg = first; arg <= last; ++arg) {
    lua_pushvalue(L, -1);
    lua_pushvalue(L, arg);
    lua_call(L, 1, 1);
    std::size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    if (!text) luaL_error(L, "'tostring' must return a string to 'Text'");
    if (arg > first && used < kGvLogTextMax) joined[used++] = ' ';
    std::size_t room = kGvLogTextMax - used;
    std::size_t taken = length < room ? length : room;
    std::memcpy(joined + used, text, taken);
    used += taken;
    joined[used] = '\0';
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
  return joined;
}

void pushString(lua_State* L, const std::string& text) { lua_pushlstring(L, text.data(), text.size()); }

}  // namespace gv::script
