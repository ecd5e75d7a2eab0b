// Music commands: music by number, loaded through the file layer (so from a package too).
#include "script/command.h"
#include "script/music/music.h"

namespace gv::script {
namespace {

int LoadMusic(lua_State* L) {
  requireSetup(L);
  const char* file = luaL_checkstring(L, 1);
  std::int32_t id = checkInt(L, 2);
  if (musicExists(id)) deleteMusic(id);
  loadMusic(file, id);
  return finishCommand(L, 0);
}

int MusicExist(lua_State* L) {
  requireSetup(L);
  lua_pushboolean(L, musicExists(checkInt(L, 1)));
  return finishCommand(L, 1);
}

int DeleteMusic(lua_State* L) {
  requireSetup(L);
  deleteMusic(checkInt(L, 1));
  return finishCommand(L, 0);
}

// The commands that take the number alone and report a free one.
template <int (*operation)(std::int32_t)>
int onMusic(lua_State* L) {
  requireSetup(L);
  operation(checkInt(L, 1));
  return finishCommand(L, 0);
}

int SetMusicPosition(lua_State* L) {
  requireSetup(L);
  std::int32_t id = checkInt(L, 1);
  setMusicPosition(id, checkInt(L, 2));
  return finishCommand(L, 0);
}

int GetMusicPosition(lua_State* L) {
  requireSetup(L);
  lua_pushinteger(L, getMusicPosition(checkInt(L, 1)));
  return finishCommand(L, 1);
}

int SetMusicVolume(lua_State* L) {
  requireSetup(L);
  std::int32_t id = checkInt(L, 1);
  setMusicVolume(id, checkInt(L, 2));
  return finishCommand(L, 0);
}

int MusicVolume(lua_State* L) {
  requireSetup(L);
  lua_pushinteger(L, getMusicVolume(checkInt(L, 1)));
  return finishCommand(L, 1);
}

}  // namespace

const luaL_Reg kMusicCommands[] = {
    {"LoadMusic", LoadMusic},
    {"MusicExist", MusicExist},
    {"DeleteMusic", DeleteMusic},
    {"PlayMusic", onMusic<playMusic>},
    {"StopMusic", onMusic<stopMusic>},
    {"PauseMusic", onMusic<pauseMusic>},
    {"ResumeMusic", onMusic<resumeMusic>},
    {"SetMusicPosition", SetMusicPosition},
    {"GetMusicPosition", GetMusicPosition},
    {"SetMusicVolume", SetMusicVolume},
    {"MusicVolume", MusicVolume},
    {nullptr, nullptr},
};

}  // namespace gv::script
