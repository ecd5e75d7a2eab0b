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
  std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY '" GAVO_EXECUTABLE "' " + arguments + " 2>&1";
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
      {"main.lua", 1, "The script runner is not available in this build"},
      {"city.gscn", 255, "The engine start is not available in this build"},
  };
  for (const Case& c : cases) {
    Result r = runGavo(c.arguments);
    EXPECT_EQ(r.status, c.status) << c.arguments;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << c.arguments << ": " << r.output;
  }
}

}  // namespace
