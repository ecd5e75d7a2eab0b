// Starts the gavo executable as a user would and checks what it says and how it exits.
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using gv::test::CommandResult;
using gv::test::runCommand;

// Starts gavo without a display; `environment` holds NAME=value words for that run.
CommandResult runGavo(const std::string& arguments, const std::string& environment = "") {
  return runCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u GAVO_NULL_DRIVER " + environment + " '" GAVO_EXECUTABLE
                    "' " + arguments + " 2>&1");
}

TEST(GavoCommandLine, NoFileWithoutADisplayPrintsTheUsage) {
  CommandResult r = runGavo("");
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.output.find("Usage: gavo"), std::string::npos);
  EXPECT_NE(r.output.find("-demoexe"), std::string::npos);
}

TEST(GavoCommandLine, UnsupportedFileFormat) {
  CommandResult r = runGavo("x.unknown");
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.output.find("File format of 'x.unknown' is not supported"), std::string::npos);
}

TEST(GavoCommandLine, ModesThatThisBuildLacksSaySoAndFail) {
  CommandResult r = runGavo("city.gscn", "GAVO_NULL_DRIVER=1");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("The scene viewer is not available in this build"), std::string::npos) << r.output;
}

TEST(GavoCommandLine, TheEngineNeedsADisplayOrTheNullDriver) {
  gv::test::TempDir dir;
  CommandResult r = runGavo("city.gscn");
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.output.find("Setup failed: fails to createDevice"), std::string::npos) << r.output;
  // The demo player would ask with the start-up dialog, which nobody can answer here.
  r = runGavo(dir.write("intro.demo.ini", "[Demo]\n"));
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.output.find("The start-up dialog needs a display"), std::string::npos) << r.output;
}

TEST(GavoCommandLine, ScriptsReportTheirErrorsInTheExitStatus) {
  gv::test::TempDir dir;
  std::string good = dir.write("good.lua", "gv.Setup(320, 240) gv.Sync() print(gv.ScreenWidth())");
  CommandResult r = runGavo(good, "GAVO_NULL_DRIVER=1");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("320"), std::string::npos) << r.output;

  std::string bad = dir.write("bad.lua", "gv.Setup()\nerror('stopped here')\n");
  r = runGavo(bad, "GAVO_NULL_DRIVER=1");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("bad.lua:2: stopped here"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("stack traceback:"), std::string::npos) << r.output;

  r = runGavo(dir.file("missing.lua"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("cannot open missing.lua"), std::string::npos) << r.output;
}

}  // namespace
