#include "script/script.h"

#include "app/context/engine.h"
#include "app/context/input.h"
#include "app/log/log.h"
#include "platform/message_box.h"
#include "resources/files/files.h"
#include "script/command.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

using gv::test::TempDir;

std::string lastBoxText;

// Scripts and the engine's file system move the process between folders; each test puts it
// back where it started.
class WorkingDirectoryGuard {
 public:
  WorkingDirectoryGuard() {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer)) directory_ = buffer;
  }
  ~WorkingDirectoryGuard() {
    if (!directory_.empty() && chdir(directory_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << directory_;
  }

 private:
  std::string directory_;
};
void recordBox(const char*, const char* text, gv::platform::BoxIcon) { lastBoxText = text; }

// A script state on the NULL driver; each test runs Lua snippets in it.
class ScriptTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv(kNullDriverVariable, "1", 1);
    gvLogReset();
    gvLogSetLevel(GVLOG_NONE);
    previousBox = gv::platform::setMessageBoxHandler(recordBox);
    L = gvNewScriptState();
    ASSERT_NE(L, nullptr);
  }
  void TearDown() override {
    lua_close(L);
    gvEngineStop();
    gv::platform::setMessageBoxHandler(previousBox);
    gvLogReset();
  }

  // Runs the code; returns "" on success, else the error message without its position.
  std::string run(const std::string& code) {
    if (luaL_loadstring(L, code.c_str()) != LUA_OK || lua_pcall(L, 0, 0, 0) != LUA_OK) {
      std::string message = lua_tostring(L, -1);
      lua_pop(L, 1);
      std::size_t position = message.find(": ");
      return position == std::string::npos ? message : message.substr(position + 2);
    }
    return "";
  }
  // The value of one Lua expression, through tostring.
  std::string eval(const std::string& expression) {
    std::string error = run("result = tostring(" + expression + ")");
    if (!error.empty()) return "error: " + error;
    lua_getglobal(L, "result");
    std::string value = lua_tostring(L, -1);
    lua_pop(L, 1);
    return value;
  }
  void feed(const irr::SEvent& event) { gvEventReceiver().OnEvent(event); }

  WorkingDirectoryGuard workingDirectory;
  lua_State* L = nullptr;
  gv::platform::MessageBoxHandler previousBox = nullptr;
};

TEST_F(ScriptTest, TheLibraryIsAGlobalAndAModule) {
  EXPECT_EQ(eval("require('gv') == gv"), "true");
  EXPECT_EQ(eval("type(gv.Sync)"), "function");
  EXPECT_EQ(eval("package.path:find('\\\\') == nil and package.path:sub(-7)"), "./?.lua");
  // Families that are not in this build are simply absent.
  EXPECT_EQ(run("gv.LoadObject('ship.x', 1)"), "attempt to call field 'LoadObject' (a nil value)");
}

TEST_F(ScriptTest, CommandsNeedSetupFirstUnderTheNameTheyWereCalledBy) {
  struct Case {
    const char* code;
    const char* error;
  } cases[] = {
      {"gv.Timer()", "calling 'Timer' without Setup first"},
      {"local clock = gv.Timer; clock()", "calling 'clock' without Setup first"},
      {"gv.Sync()", "calling 'Sync' without Setup first"},
      {"gv.Run()", "calling 'Run' without Setup first"},
      {"gv.SetObjectSurfaces(1)", "calling 'SetObjectSurfaces' without Setup first"},
      {"gv.ColorBackdrop(0)", "calling 'ColorBackdrop' without Setup first"},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.code), c.error) << c.code;
  // Usable before Setup.
  EXPECT_EQ(eval("gv.IsSetup()"), "false");
  EXPECT_EQ(eval("gv.ScreenModeOption('BPP')"), "0");
  EXPECT_EQ(eval("gv.ScreenModeOption('size')"), "-1");
  EXPECT_EQ(run("gv.MessageBox('before', 'Setup')"), "");
  EXPECT_EQ(lastBoxText, "before Setup");
  EXPECT_EQ(run("gv.Term()"), "");
}

TEST_F(ScriptTest, SetupStartsTheEngineWithItsDefaultScene) {
  ASSERT_EQ(run("gv.Setup()"), "");
  EXPECT_EQ(eval("gv.IsSetup()"), "true");
  EXPECT_EQ(eval("gv.ScreenWidth() .. 'x' .. gv.ScreenHeight()"), "640x480");
  EXPECT_EQ(eval("gv.WindowMode()"), "false");
  EXPECT_EQ(gvEngine().colourDepth, 32);
  EXPECT_EQ(gvEngine().backdrop.color, 0x001122u);
  EXPECT_EQ(gvEngine().camera->getPosition(), irr::core::vector3df(0, 0, -5));
  EXPECT_EQ(gvEngine().sceneManager->getAmbientLight().toSColor().color, 0xFF050505u);

  ASSERT_EQ(run("gv.Setup(800, 600)"), "");
  EXPECT_EQ(eval("gv.ScreenWidth() .. 'x' .. gv.ScreenHeight()"), "800x600");
  ASSERT_EQ(run("gv.Setup(800, 600, 32, false)"), "");
  EXPECT_EQ(eval("gv.WindowMode()"), "true");
  EXPECT_EQ(run("gv.Setup(800, 600, 32, 0)"), "bad argument #4 to 'Setup' (boolean expected, got number)");

  ASSERT_EQ(run("gv.Setup() gv.Term()"), "");
  EXPECT_EQ(eval("gv.IsSetup()"), "false");
  EXPECT_FALSE(gvEngineReady());
}

TEST_F(ScriptTest, ArgumentsAreCheckedByType) {
  ASSERT_EQ(run("gv.Setup()"), "");
  struct Case {
    const char* code;
    const char* error;
  } cases[] = {
      {"gv.KeyState('x')", "bad argument #1 to 'KeyState' (number expected, got string)"},
      {"gv.Sleep()", "bad argument #1 to 'Sleep' (number expected, got no value)"},
      {"gv.ColorBackdrop({})", "bad argument #1 to 'ColorBackdrop' (number expected, got table)"},
      {"gv.PathFilename('a.b', 1)", "bad argument #2 to 'PathFilename' (boolean expected, got number)"},
      {"gv.PathFilename('a.b', nil)", "bad argument #2 to 'PathFilename' (boolean expected, got nil)"},
      {"gv.ScreenShot()", "bad argument #1 to 'ScreenShot' (string expected, got no value)"},
      {"gv.FileRequester(3, 4) gv.FileRequester({})",
       "bad argument #1 to 'FileRequester' (string expected, got table)"},
      {"gv.SetObjectRotationXYZ('x')", "bad argument #1 to 'SetObjectRotationXYZ' (number expected, got string)"},
      {"gv.SetObjectSurfaces(1, 2)", "bad argument #-1 to 'SetObjectSurfaces' (the function is not implemented)"},
      {"gv.SetFxEmitterSizeGradient()",
       "bad argument #-1 to 'SetFxEmitterSizeGradient' (the function is not implemented)"},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.code), c.error) << c.code;
  // The shared do-nothing commands accept what they are given.
  EXPECT_EQ(run("gv.SetObjectRotationXYZ(3) gv.SetLightRotationZYX() gv.SetCameraRotationXYZ('any')"), "");
  EXPECT_EQ(run("gv.ColorBackdrop('0x10')"), "");  // numeric strings convert
  EXPECT_EQ(gvEngine().backdrop.color, 0x10u);
}

TEST_F(ScriptTest, PendingErrorsAreRaisedAgainstTheirArgument) {
  ASSERT_EQ(run("gv.Setup()"), "");
  // The NULL driver has no frame buffer.
  EXPECT_EQ(run("gv.ScreenShot('x.png')"), "bad argument #1 to 'ScreenShot' (failed to grab the screen\n)");
  EXPECT_EQ(gvLogLastError(nullptr), nullptr);  // collected

  // An error recorded outside any command goes to the next command that checks.
  gvLogErrorId(3, "left over");
  EXPECT_EQ(run("gv.Sync() gv.Run() gv.MessageBox('x')"), "");
  EXPECT_EQ(run("gv.Timer()"), "bad argument #3 to 'Timer' (left over)");
  EXPECT_EQ(run("gv.Timer()"), "");
}

TEST_F(ScriptTest, ASetupThatFailsRaisesItsReason) {
  unsetenv(kNullDriverVariable);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_EQ(run("gv.Setup()"), "bad argument #-1 to 'Setup' (Setup failed: fails to createDevice)");
  EXPECT_EQ(eval("gv.IsSetup()"), "false");
}

TEST_F(ScriptTest, TextIsJoinedThroughTostring) {
  EXPECT_EQ(run("gv.MessageBox('a', 1, true, nil, 2.5)"), "");
  EXPECT_EQ(lastBoxText, "a 1 true nil 2.5");
  EXPECT_EQ(run("gv.MessageBox(setmetatable({}, {__tostring = function() return 'custom' end}))"), "");
  EXPECT_EQ(lastBoxText, "custom");
  EXPECT_EQ(run("gv.MessageBox(setmetatable({}, {__tostring = function() return {} end}))"),
            "'tostring' must return a string to 'Text'");
  EXPECT_EQ(run("gv.MessageBox(string.rep('x', 1000), string.rep('y', 1000))"), "");
  EXPECT_EQ(lastBoxText.size(), 1023u);
  EXPECT_EQ(lastBoxText.substr(998, 4), "xx y");
}

// A command that reads a 60-entry number array and an integer array of 3, returning counts.
int readArrays(lua_State* L) {
  float numbers[60];
  std::int32_t integers[3];
  int n = gv::script::readNumberArray(L, 1, numbers, 60);
  int m = lua_isnone(L, 2) ? 0 : gv::script::readIntegerArray(L, 2, integers, 3);
  lua_pushinteger(L, n);
  lua_pushnumber(L, n > 0 ? numbers[n - 1] : 0);
  lua_pushinteger(L, m > 0 ? integers[m - 1] : 0);
  return 3;
}

TEST_F(ScriptTest, ArrayArgumentsRespectCapacityAndEntryTypes) {
  lua_register(L, "readArrays", readArrays);
  ASSERT_EQ(run("local t = {} for i = 1, 60 do t[i] = i / 2 end "
                "count, last, int = readArrays(t, {1, '2', 7.9})"),
            "");
  EXPECT_EQ(eval("count .. ' ' .. last .. ' ' .. int"), "60 30 7");
  EXPECT_EQ(run("local t = {} for i = 1, 61 do t[i] = i end readArrays(t)"), "Exceed buffer capacity 61>60");
  EXPECT_EQ(run("readArrays({}, {1, 2, 3, 4})"), "Exceed buffer capacity 4>3");
  EXPECT_EQ(run("readArrays({1, true})"), "invalid entry #2 in array argument #1 (expected number, got boolean)");
  EXPECT_EQ(run("readArrays({}, {1, 'x'})"), "invalid entry #2 in array argument #2 (expected number, got string)");
  EXPECT_EQ(run("readArrays(5)"), "bad argument #1 to 'readArrays' (table expected, got number)");
  EXPECT_EQ(eval("readArrays({})"), "0");
}

irr::SEvent keyEvent(irr::EKEY_CODE key, bool down) {
  irr::SEvent e{};
  e.EventType = irr::EET_KEY_INPUT_EVENT;
  e.KeyInput.Key = key;
  e.KeyInput.PressedDown = down;
  return e;
}

TEST_F(ScriptTest, KeysAndMouseComeFromTheInputRecord) {
  ASSERT_EQ(run("gv.Setup()"), "");
  feed(keyEvent(irr::KEY_ESCAPE, true));
  feed(keyEvent(irr::KEY_SUBTRACT, true));
  EXPECT_EQ(eval("gv.EscapeKey()"), "true");
  EXPECT_EQ(eval("gv.MinusKey()"), "true");
  EXPECT_EQ(eval("gv.PlusKey()"), "false");
  feed(keyEvent(irr::KEY_ESCAPE, false));
  EXPECT_EQ(eval("gv.EscapeKey()"), "false");
  EXPECT_EQ(eval("gv.EscapeKeyEverPressed()"), "true");
  EXPECT_EQ(eval("gv.KeyState(255)"), "true");
  EXPECT_EQ(eval("gv.KeyState(256)"), "false");
  EXPECT_EQ(eval("gv.KeyState(-1)"), "false");

  irr::SEvent wheel{};
  wheel.EventType = irr::EET_MOUSE_INPUT_EVENT;
  wheel.MouseInput.Event = irr::EMIE_MOUSE_WHEEL;
  wheel.MouseInput.X = 12;
  wheel.MouseInput.Y = 34;
  wheel.MouseInput.ButtonStates = irr::EMBSM_RIGHT;
  float before = gvEventReceiver().record().wheel;
  wheel.MouseInput.Wheel = -1.75f - before;
  feed(wheel);
  EXPECT_EQ(eval("gv.MouseZ()"), "-1");  // truncated toward zero
  EXPECT_EQ(eval("gv.MouseClick()"), "2");
  // Without a window the cursor is where the last mouse event put it.
  EXPECT_EQ(eval("gv.MouseX() .. ',' .. gv.MouseY()"), "12,34");
}

TEST_F(ScriptTest, JoystickReadsNeedTheSwitchAndHonourTheDeadZoneAndHat) {
  ASSERT_EQ(run("gv.Setup()"), "");
  irr::SEvent j{};
  j.EventType = irr::EET_JOYSTICK_INPUT_EVENT;
  j.JoystickEvent.ButtonStates = 0x80000002u;
  j.JoystickEvent.Axis[0] = 1500;
  j.JoystickEvent.POV = 4500;
  feed(j);
  EXPECT_EQ(eval("gv.JoystickX()"), "0");  // switched off
  EXPECT_EQ(eval("gv.JoystickFireB()"), "false");
  EXPECT_EQ(eval("gv.JoystickUp()"), "false");
  ASSERT_EQ(run("gv.EnableJoystick()"), "");

  struct AxisCase {
    irr::s16 value;
    const char* reads;
  } axes[] = {{1499, "0"}, {1500, "1500"}, {-1500, "-1500"}, {-1499, "0"}, {32767, "32767"}};
  for (const AxisCase& c : axes) {
    j.JoystickEvent.Axis[0] = c.value;
    feed(j);
    EXPECT_EQ(eval("gv.JoystickX()"), c.reads) << c.value;
  }
  EXPECT_EQ(eval("gv.JoystickFireA()"), "false");
  EXPECT_EQ(eval("gv.JoystickFireB()"), "true");
  EXPECT_EQ(eval("gv.JoystickFireX(31)"), "true");
  EXPECT_EQ(eval("gv.JoystickFireX(32)"), "false");

  struct HatCase {
    irr::u16 hat;
    const char* upRightDownLeft;
  } hats[] = {{4500, "true true false false"},   {9000, "false true false false"},
              {0, "true false false false"},     {31500, "true false false true"},
              {27000, "false false false true"}, {18000, "false false true false"},
              {65535, "false false false false"}};
  for (const HatCase& c : hats) {
    j.JoystickEvent.POV = c.hat;
    feed(j);
    EXPECT_EQ(eval("table.concat({tostring(gv.JoystickUp()), tostring(gv.JoystickRight()), "
                   "tostring(gv.JoystickDown()), tostring(gv.JoystickLeft())}, ' ')"),
              c.upRightDownLeft)
        << c.hat;
  }
  ASSERT_EQ(run("gv.DisableJoystick()"), "");
  EXPECT_EQ(eval("gv.JoystickX()"), "0");
  EXPECT_EQ(eval("gv.JoystickIsPresent()"), "false");
}

TEST_F(ScriptTest, PathCommandsUseTheFileLayer) {
  TempDir dir;
  dir.write("data/scene.lws.ini", "x");
  ASSERT_EQ(run("gv.Setup()"), "");
  ASSERT_EQ(run("gv.SetDir('" + dir.path() + "')"), "");
  EXPECT_EQ(eval("gv.FileExist('data/scene.lws.ini')"), "true");
  EXPECT_EQ(eval("gv.FileExist('data/missing')"), "false");
  EXPECT_EQ(eval("gv.PathFilename('data/scene.lws.ini', false)"), "scene.lws");
  EXPECT_EQ(eval("gv.PathFilename('data/scene.lws.ini')"), "scene.lws.ini");
  EXPECT_EQ(eval("gv.PathFull('data/scene.lws.ini')"), dir.path() + "/data/scene.lws.ini");
  EXPECT_EQ(eval("gv.GetDir()"), dir.path());
}

TEST_F(ScriptTest, TimingCommands) {
  ASSERT_EQ(run("gv.Setup() t0 = gv.Timer() gv.Sleep(3) t1 = gv.Timer()"), "");
  EXPECT_EQ(eval("t1 - t0 >= 3"), "true");
  EXPECT_EQ(run("gv.Sync() gv.Sync()"), "");
  EXPECT_EQ(eval("gv.Run()"), "true");
}

class RunScriptTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv(kNullDriverVariable, "1", 1);
    gvLogReset();
  }
  void TearDown() override {
    gvEngineStop();
    gvLogReset();
  }
  int runFile(const std::string& name, std::string& errors) {
    testing::internal::CaptureStderr();
    int status = runScript(dir.file(name), false);
    errors = testing::internal::GetCapturedStderr();
    return status;
  }
  WorkingDirectoryGuard workingDirectory;
  TempDir dir;
};

TEST_F(RunScriptTest, AScriptRunsInItsOwnFolderAndLeavesNoEngine) {
  dir.write("scripts/helper.lua", "return {answer = 42}");
  dir.write("scripts/main.lua",
            "local helper = require('helper')\n"
            "gv.Setup(320, 240)\n"
            "assert(helper.answer == 42)\n"
            "assert(gv.FileExist('main.lua'))\n");
  std::string errors;
  EXPECT_EQ(runFile("scripts/main.lua", errors), 0);
  EXPECT_EQ(errors, "");
  EXPECT_FALSE(gvEngineReady());
  EXPECT_EQ(gvLogLevel(), static_cast<std::int32_t>(GVLOG_NONE));
}

TEST_F(RunScriptTest, AnErrorPrintsItsMessageAndTracebackAndEndsTheEngine) {
  dir.write("broken.lua",
            "local function inner() gv.KeyState('no') end\n"
            "gv.Setup()\n"
            "inner()\n");
  std::string errors;
  EXPECT_EQ(runFile("broken.lua", errors), LUA_ERRRUN);
  EXPECT_NE(errors.find("broken.lua:1: bad argument #1 to 'KeyState' (number expected, got string)"), std::string::npos)
      << errors;
  EXPECT_NE(errors.find("stack traceback:"), std::string::npos) << errors;
  EXPECT_NE(errors.find("in function 'inner'"), std::string::npos) << errors;
  EXPECT_FALSE(gvEngineReady());

  dir.write("syntax.lua", "gv.Setup(\n");
  EXPECT_EQ(runFile("syntax.lua", errors), LUA_ERRSYNTAX);
  EXPECT_NE(errors.find("syntax.lua:"), std::string::npos) << errors;

  EXPECT_NE(runFile("missing.lua", errors), 0);
  EXPECT_NE(errors.find("cannot open missing.lua"), std::string::npos) << errors;
}

TEST_F(RunScriptTest, APackagedScriptIsReadThroughTheFileLayer) {
  dir.write("main.lua", "assert(not gv.IsSetup())");
  gv::setDirectory(dir.path());
  std::string errors;
  testing::internal::CaptureStderr();
  EXPECT_EQ(runScript("main.lua", true), 0);
  EXPECT_EQ(runScript("absent.lua", true), -1);
  errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(errors, "cannot load absent.lua\n");
  gv::setDirectory("");
}

}  // namespace
