// Starts the gavo executable as a user would and checks what it says and how it exits.
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
  int status;
  std::string output;  // standard output and standard error together
};

Result runGavo(const std::string& arguments) {
  // Leading NAME=value words set the environment of that run.
  std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u GAVO_NULL_DRIVER ";
  std::size_t start = 0;
  while (arguments.find('=', start) != std::string::npos &&
         arguments.find('=', start) < arguments.find(' ', start)) {
    std::size_t end = arguments.find(' ', start);
    command += arguments.substr(start, end - start + 1);
    start = end + 1;
  }
  command += "'" GAVO_EXECUTABLE "' " + arguments.substr(start) + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Result result{-1, ""};
  if (!pipe) return result;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(GavoCommandLine, NoFileWithoutADisplayPrintsTheUsage) {
  Result r = runGavo("");
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.output.find("Usage: gavo"), std::string::npos);
  EXPECT_NE(r.output.find("-demoexe"), std::string::npos);
}

TEST(GavoCommandLine, UnsupportedFileFormat) {
  Result r = runGavo("x.unknown");
  EXPECT_EQ(r.status, 255);
  EXPECT_NE(r.output.find("File format of 'x.unknown' is not supported"), std::string::npos);
}

TEST(GavoCommandLine, ModesThatThisBuildLacksSaySoAndFail) {
  struct Case {
    const char* arguments;
    int status;
    const char* says;
  } cases[] = {
      {"GAVO_NULL_DRIVER=1 city.gscn", 1, "The scene viewer is not available in this build"},
  };
  for (const Case& c : cases) {
    Result r = runGavo(c.arguments);
    EXPECT_EQ(r.status, c.status) << c.arguments;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << c.arguments << ": " << r.output;
  }
}

TEST(GavoCommandLine, TheEngineNeedsADisplayOrTheNullDriver) {
  gv::test::TempDir dir;
  Result r = runGavo("city.gscn");
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
  Result r = runGavo("GAVO_NULL_DRIVER=1 " + good);
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("320"), std::string::npos) << r.output;

  std::string bad = dir.write("bad.lua", "gv.Setup()\nerror('stopped here')\n");
  r = runGavo("GAVO_NULL_DRIVER=1 " + bad);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("bad.lua:2: stopped here"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("stack traceback:"), std::string::npos) << r.output;

  r = runGavo(dir.file("missing.lua"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("cannot open missing.lua"), std::string::npos) << r.output;
}

}  // namespace
