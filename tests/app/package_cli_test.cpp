// Packages made and played by the real executable: build options, the packaged player,
// -extract and damaged packages.
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using gv::test::CommandResult;
using gv::test::runCommand;
using gv::test::TempDir;

const std::string kExample = GAVO_SOURCE_DIR "/examples/intro";

// Runs a command line in `directory` without a display, on the NULL driver and silent audio.
CommandResult run(const std::string& directory, const std::string& command) {
  return runCommand("cd '" + directory +
                    "' && env -u DISPLAY -u WAYLAND_DISPLAY GAVO_NULL_DRIVER=1 SDL_AUDIODRIVER=dummy "
                    "GAVO_EXAMPLE_SECONDS=1 " + command + " 2>&1");
}

CommandResult build(const TempDir& dir, const std::string& arguments) {
  return run(dir.path(), "'" GAVO_EXECUTABLE "' " + arguments);
}

// A settings file beside the package, so that no start-up dialog is needed.
void writeSettings(const TempDir& dir, const std::string& folder) {
  dir.write(folder + "/gavo-setup.ini", "[Setup]\nwidth=320\nheight=180\nwindowed=1\n");
}

TEST(PackageCommandLine, ADirectoryPackagePlaysItsScriptFromAnotherDirectory) {
  TempDir dir;
  for (const char* option : {"-direxe", "-dirdat"}) {
    fs::create_directories(dir.file("shipped"));
    CommandResult made = build(dir, std::string(option) + " shipped/intro '" + kExample + "'");
    ASSERT_EQ(made.status, 0) << option << ": " << made.output;
    writeSettings(dir, "shipped");
    fs::create_directories(dir.file("elsewhere"));
    CommandResult played = run(dir.file("elsewhere"), "../shipped/intro");
    EXPECT_EQ(played.status, 0) << option << ": " << played.output;
    EXPECT_NE(played.output.find("music played to 1"), std::string::npos) << option << ": " << played.output;
  }
}

TEST(PackageCommandLine, ADemoPackageWaitsForTheDemoPlayerAndHasNothingToExtract) {
  TempDir dir;
  ASSERT_EQ(build(dir, "-demoexe intro '" + kExample + "/intro.demo.ini'").status, 0);
  writeSettings(dir, ".");
  CommandResult played = run(dir.path(), "./intro");
  EXPECT_EQ(played.status, 1);
  EXPECT_NE(played.output.find("The demo player is not available in this build"), std::string::npos) << played.output;
  CommandResult extracted = run(dir.path(), "./intro -extract");
  EXPECT_EQ(extracted.status, 0) << extracted.output;
  EXPECT_FALSE(fs::exists(dir.file("ExeExtract")));
}

TEST(PackageCommandLine, FailuresEndWithANonZeroStatusAndSayWhy) {
  TempDir dir;
  CommandResult missing = build(dir, "-direxe out '" + dir.file("none") + "'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.output.find("Failed to open directory"), std::string::npos) << missing.output;

  CommandResult badDemo = build(dir, "-demoexe out '" + dir.write("broken.demo.ini", "[intro]\n") + "'");
  EXPECT_EQ(badDemo.status, 1);
  EXPECT_NE(badDemo.output.find("Failed to load ini file"), std::string::npos) << badDemo.output;

  ASSERT_EQ(build(dir, "-direxe cut '" + kExample + "'").status, 0);
  fs::resize_file(dir.file("cut"), fs::file_size(dir.file("cut")) - 1);
  ASSERT_EQ(build(dir, "-direxe damaged '" + kExample + "'").status, 0);
  {
    // Garbles the archive's central directory, which ends 22 bytes before the trailer.
    std::fstream file(dir.file("damaged"), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(-32 - 22 - 40, std::ios::end);
    file.write("garbage garbage garbage", 23);
  }
  writeSettings(dir, ".");
  for (const char* package : {"./cut", "./damaged"}) {
    CommandResult damaged = run(dir.path(), package);
    EXPECT_EQ(damaged.status, 1) << package;
    EXPECT_NE(damaged.output.find("Failed to load resources from executable"), std::string::npos)
        << package << ": " << damaged.output;
  }
}

}  // namespace
