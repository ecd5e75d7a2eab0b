#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(RunMode, ChosenFromTheFileName) {
  struct Case {
    const char* name;
    RunMode mode;
  } cases[] = {
      {"intro.demo.ini", RunMode::DemoPlayer},
      {"/demos/my.demo.ini.d/x.gscn", RunMode::DemoPlayer},  // ".demo.ini" anywhere
      {"x.demo.ini.bak", RunMode::DemoPlayer},
      {"INTRO.DEMO.INI", RunMode::Unsupported},  // the demo test is case-sensitive
      {"scene.lws.ini", RunMode::SceneViewer},
      {"city.gscn", RunMode::SceneViewer},
      {"CITY.GSCN", RunMode::SceneViewer},
      {"old.gavo", RunMode::SceneViewer},
      {"ship.x", RunMode::ObjectViewer},
      {"ship.LWO", RunMode::ObjectViewer},
      {"ship.obj", RunMode::ObjectViewer},
      {"main.lua", RunMode::ScriptRunner},
      {"main.GLUA", RunMode::ScriptRunner},
      {"README", RunMode::Unsupported},
      {"settings.ini", RunMode::Unsupported},
      {"x.unknown", RunMode::Unsupported},
      {"archive.x.zip", RunMode::Unsupported},  // only the last extension counts
  };
  for (const Case& c : cases) EXPECT_EQ(chooseRunMode(c.name), c.mode) << c.name;
}

CommandLineOptions parse(std::vector<const char*> args) {
  args.insert(args.begin(), "gavo");
  return parseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, DefaultsWithoutOptions) {
  CommandLineOptions o = parse({"city.gscn"});
  EXPECT_EQ(o.viewer.flags, 0x21u);
  EXPECT_EQ(o.display.width, -1);
  EXPECT_EQ(o.display.stereo, -1);
  EXPECT_FLOAT_EQ(o.captureFps, 30.0f);
  EXPECT_FALSE(o.capturePrefix);
  EXPECT_FALSE(o.userLog);
  EXPECT_EQ(o.file, "city.gscn");
}

TEST(CommandLine, ViewerOptionsSetTheirFlagsAndValues) {
  CommandLineOptions o = parse({"-framestart", "120", "-paused", "-ride", "-rideopts", "5", "-ridespeed", "250x",
                                "-nomusic", "-syncupdate", "-noidleinactive", "city.gscn"});
  EXPECT_EQ(o.viewer.flags, 0x01u | 0x04 | 0x08 | 0x10 | 0x40 | 0x80);
  EXPECT_EQ(o.viewer.startFrame, 120);
  EXPECT_EQ(o.viewer.rideOptions, 5);
  EXPECT_EQ(o.viewer.rideSpeed, 250);  // atoi: leading digits
  EXPECT_EQ(o.file, "city.gscn");
}

TEST(CommandLine, DisplayAndCaptureOptions) {
  CommandLineOptions o = parse({"-display", "1280x720", "-windowed", "1", "-windowpos", "100,50", "-vsync", "0",
                                "-stereo", "2", "-cap", "shots/f", "-capfps", "59.94", "-userlog", "a.demo.ini"});
  EXPECT_EQ(o.display.width, 1280);
  EXPECT_EQ(o.display.height, 720);
  EXPECT_EQ(o.display.windowed, 1);
  EXPECT_EQ(o.display.windowX, 100);
  EXPECT_EQ(o.display.windowY, 50);
  EXPECT_EQ(o.display.vsync, 0);
  EXPECT_EQ(o.display.stereo, 2);
  EXPECT_EQ(o.capturePrefix, "shots/f");
  EXPECT_FLOAT_EQ(o.captureFps, 59.94f);
  EXPECT_TRUE(o.userLog);
  EXPECT_EQ(o.file, "a.demo.ini");
}

TEST(CommandLine, ValuesAreConsumedAndPairsNeedBothNumbers) {
  // -display eats "800", which is no WxH, so no override is set and the scene still opens.
  CommandLineOptions o = parse({"-display", "800", "city.gscn", "-windowpos", "7", "-framestart", "abc"});
  EXPECT_EQ(o.display.width, -1);
  EXPECT_EQ(o.display.height, -1);
  EXPECT_EQ(o.display.windowX, -1);
  EXPECT_EQ(o.viewer.flags & 0x08u, 0x08u);
  EXPECT_EQ(o.viewer.startFrame, 0);
  EXPECT_EQ(o.file, "city.gscn");
}

TEST(CommandLine, UnknownOptionsAndFurtherNamesAreIgnored) {
  CommandLineOptions o = parse({"-foo", "first.gscn", "-Paused", "second.gscn", "-console"});
  EXPECT_EQ(o.file, "first.gscn");
  EXPECT_EQ(o.viewer.flags, 0x21u);  // options compare case-sensitively
}

TEST(CommandLine, AValueOptionAtTheEndIsAbsent) {
  for (const char* option : {"-framestart", "-display", "-cap", "-capfps", "-windowpos", "-vsync"}) {
    CommandLineOptions o = parse({"city.gscn", option});
    EXPECT_EQ(o.viewer.flags, 0x21u) << option;
    EXPECT_FALSE(o.capturePrefix) << option;
    EXPECT_FLOAT_EQ(o.captureFps, 30.0f) << option;
    EXPECT_EQ(o.display.vsync, -1) << option;
  }
}

std::optional<BuildRequest> build(std::vector<const char*> args) {
  args.insert(args.begin(), "gavo");
  return recognizeBuildOption(static_cast<int>(args.size()), args.data());
}

TEST(BuildOptions, RecognisedOnlyWithTheirExactArgumentCount) {
  struct Case {
    std::vector<const char*> args;
    std::optional<BuildOption> option;
  } cases[] = {
      {{"-demoexe", "out", "a.demo.ini"}, BuildOption::DemoExe},
      {{"-demodat", "out", "a.gscn"}, BuildOption::DemoDat},
      {{"-direxe", "out", "dir"}, BuildOption::DirExe},
      {{"-dirdat", "out", "dir"}, BuildOption::DirDat},
      {{"-dirlistexe", "out", "list.txt"}, BuildOption::DirListExe},
      {{"-exersc", "out"}, BuildOption::ExeRsc},
      {{"-demoexe", "a.demo.ini"}, std::nullopt},
      {{"-demoexe", "out", "a.demo.ini", "extra"}, std::nullopt},
      {{"-exersc", "out", "extra"}, std::nullopt},
      {{"-exersc"}, std::nullopt},
      {{"out", "-demoexe", "a.demo.ini"}, std::nullopt},  // only as argument 1
      {{"-DEMOEXE", "out", "a.demo.ini"}, std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<BuildRequest> request = build(c.args);
    ASSERT_EQ(request.has_value(), c.option.has_value()) << c.args[0];
    if (!request) continue;
    EXPECT_EQ(request->option, *c.option);
    EXPECT_EQ(request->operands.size(), c.args.size() - 1);
    EXPECT_EQ(request->operands[0], "out");
  }
}

TEST(BuildOptions, ADemoexeWithOneOperandOpensThatFile) {
  std::vector<const char*> args = {"gavo", "-demoexe", "a.gscn"};
  EXPECT_FALSE(recognizeBuildOption(3, args.data()));
  CommandLineOptions o = parseCommandLine(3, args.data());
  EXPECT_EQ(o.file, "a.gscn");
}

}  // namespace
