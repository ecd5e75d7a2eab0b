#pragma once
// The calling convention every script command follows, and the command families.
//
// Lua raises errors with longjmp, which skips C++ destructors: a command reads and checks
// its arguments first, calls its back end in expressions whose temporaries end before the
// next error check, and raises only where no object with a destructor is alive.
#include <lua5.2/lua.hpp>

#include <cstdint>
#include <string>

namespace gv::script {

// Raises "calling '%s' without Setup first" unless the engine runs.
void requireSetup(lua_State* L);
// Raises the pending command error against its recorded argument, if a back end left one;
// otherwise returns the number of results.
int finishCommand(lua_State* L, int results);
// The name the script called the running command by, or "?".
const char* commandName(lua_State* L);

// A real boolean argument: anything else, nil included, is an argument error.
bool checkBoolean(lua_State* L, int arg);
// An optional boolean: absent gives the fallback; present must be a real boolean.
bool optionalBoolean(lua_State* L, int arg, bool fallback);
std::int32_t checkInt(lua_State* L, int arg);

// A table of numbers into a caller's buffer of `capacity` entries; returns the count.
int readNumberArray(lua_State* L, int arg, float* entries, int capacity);
int readIntegerArray(lua_State* L, int arg, std::int32_t* entries, int capacity);

// Arguments from `first` to the last, each through the global tostring, joined with single
// spaces into one buffer of at most 1023 characters (longer text is cut).
const char* joinText(lua_State* L, int first);

void pushString(lua_State* L, const std::string& text);

// What Term does: ends the engine if it runs.
void endEngine();

// The scene-wide colours, 0xAARRGGBB: the ambient light (its alpha is always opaque) and
// the backdrop every frame is cleared to (kept as given).
void setAmbientColour(std::uint32_t colour);
void setBackdropColour(std::uint32_t colour);

// The command families. Each list ends with {nullptr, nullptr}.
extern const luaL_Reg kEngineCommands[];
extern const luaL_Reg kInputCommands[];
extern const luaL_Reg kWindowCommands[];
extern const luaL_Reg kFileCommands[];
extern const luaL_Reg kLightCommands[];
extern const luaL_Reg kMusicCommands[];

}  // namespace gv::script
