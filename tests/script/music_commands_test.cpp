// The music commands as scripts call them, on the NULL driver and SDL's dummy audio driver.
#include "script/script.h"

#include "app/context/engine.h"
#include "app/log/log.h"
#include "script/command.h"
#include "script/music/music.h"

#include <gtest/gtest.h>
#include <cstdlib>

namespace {

const std::string kTrack = GAVO_SOURCE_DIR "/examples/intro/music/intro.mp3";

class MusicCommandsTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv(kNullDriverVariable, "1", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    gvLogReset();
    gvLogSetLevel(GVLOG_NONE);
    gvLogDisableBoxes();
    L = gvNewScriptState();
    ASSERT_NE(L, nullptr);
    lua_pushstring(L, kTrack.c_str());
    lua_setglobal(L, "track");
  }
  void TearDown() override {
    lua_close(L);
    gv::destroyMusicTable();
    gvEngineStop();
    unsetenv("SDL_AUDIODRIVER");
    gvLogReset();
  }
  // "" on success, else the error message without its position.
  std::string run(const std::string& code) {
    if (luaL_loadstring(L, code.c_str()) == LUA_OK && lua_pcall(L, 0, 0, 0) == LUA_OK) return "";
    std::string message = lua_tostring(L, -1);
    lua_pop(L, 1);
    std::size_t position = message.find(": ");
    return position == std::string::npos ? message : message.substr(position + 2);
  }
  std::string eval(const std::string& expression) {
    std::string error = run("result = tostring(" + expression + ")");
    if (!error.empty()) return "error: " + error;
    lua_getglobal(L, "result");
    std::string value = lua_tostring(L, -1);
    lua_pop(L, 1);
    return value;
  }
  lua_State* L = nullptr;
};

TEST_F(MusicCommandsTest, CommandsNeedSetupAndReportAgainstTheirArgument) {
  EXPECT_EQ(run("gv.LoadMusic(track, 1)"), "calling 'LoadMusic' without Setup first");
  ASSERT_EQ(run("gv.Setup(64, 48)"), "");
  struct Case {
    const char* code;
    const char* says;
  } cases[] = {
      {"gv.LoadMusic('missing.mp3', 3)",
       "bad argument #2 to 'LoadMusic' (LoadMusic ID 3 : Cannot load file 'missing.mp3')"},
      {"gv.LoadMusic(track, 50)",
       "bad argument #2 to 'LoadMusic' (invalid Music ID 50 : invalid ID 50 greater or equals than 50)"},
      {"gv.LoadMusic(track)", "bad argument #2 to 'LoadMusic' (number expected, got no value)"},
      {"gv.PlayMusic(7)", "bad argument #1 to 'PlayMusic' (Music ID 7 does not exist. "},
      {"gv.SetMusicPosition(7, 10)", "bad argument #1 to 'SetMusicPosition' (Music ID 7 does not exist. "},
      {"gv.MusicVolume(7)", "bad argument #1 to 'MusicVolume' (Music ID 7 does not exist. "},
      {"gv.DeleteMusic(7)", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.code).substr(0, std::string(c.says).size()), c.says) << c.code;
  EXPECT_EQ(eval("gv.MusicExist(3)"), "false");
}

TEST_F(MusicCommandsTest, LoadingIntoAUsedNumberReplacesTheMusic) {
  ASSERT_EQ(run("gv.Setup(64, 48) gv.LoadMusic(track, 1) gv.PlayMusic(1) gv.SetMusicPosition(1, 5000)"), "");
  EXPECT_GE(std::stoi(eval("gv.GetMusicPosition(1)")), 5000);
  ASSERT_EQ(run("gv.LoadMusic(track, 1)"), "");
  EXPECT_EQ(eval("gv.MusicExist(1)"), "true");
  EXPECT_EQ(eval("gv.GetMusicPosition(1)"), "0") << "a fresh music, not playing";
  ASSERT_EQ(run("gv.SetMusicPosition(1, 12345) gv.SetMusicVolume(1, 75)"), "");
  EXPECT_EQ(eval("gv.GetMusicPosition(1)"), "12345");
  EXPECT_EQ(eval("gv.MusicVolume(1)"), "73");
  ASSERT_EQ(run("gv.PauseMusic(1) gv.ResumeMusic(1) gv.StopMusic(1) gv.DeleteMusic(1)"), "");
  EXPECT_EQ(eval("gv.MusicExist(1)"), "false");
}

}  // namespace
