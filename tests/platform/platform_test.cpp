#include "platform/debug_channel.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

using gv::test::TempDir;
namespace platform = gv::platform;

// Sets environment variables for one test and restores them afterwards.
class ScopedEnv {
 public:
  void set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
      else unsetenv(it->first.c_str());
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(Process, ExecutablePathIsTheRunningTestBinary) {
  std::string path = platform::executablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_NE(path.find("platform_test"), std::string::npos);
}

TEST(MessageBox, WithoutAPersonToAnswerTheBoxGoesToStandardError) {
  struct Case {
    const char* display;
    const char* noBoxes;
    const char* ci;
  } cases[] = {
      {nullptr, nullptr, nullptr},  // no display at all
      {":77", "1", nullptr},        // a display, but boxes switched off
      {":77", nullptr, "true"},     // a display in CI
  };
  for (const Case& c : cases) {
    ScopedEnv env;
    env.set("DISPLAY", c.display);
    env.set("WAYLAND_DISPLAY", nullptr);
    env.set("GAVO_NO_BOXES", c.noBoxes);
    env.set("CI", c.ci);
    testing::internal::CaptureStderr();
    platform::showMessageBox("Gavo", "Failed to load scene", platform::BoxIcon::Error);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Gavo: Failed to load scene\n");
  }
}

TEST(DebugChannel, DroppedUnlessSwitchedOnThenWrittenVerbatim) {
  ScopedEnv env;
  env.set("GAVO_DEBUG_CHANNEL", nullptr);
  testing::internal::CaptureStderr();
  platform::writeDebugChannel("PLAYSYNC");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  env.set("GAVO_DEBUG_CHANNEL", "1");
  testing::internal::CaptureStderr();
  platform::writeDebugChannel("PLAYSYNC");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "PLAYSYNC");
}

// A stand-in zenity that records its arguments and answers with a canned reply.
class FileDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    env.set("PATH", dir.path().c_str());
    env.set("DISPLAY", ":77");
    existing = dir.write("scenes/city.gscn", "scene");
  }
  void fakeZenity(const std::string& reply, int status) {
    std::string script = "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\" >> '" + dir.file("args") + "'; done\n"
                         "printf '%s\\n' '" + reply + "'\nexit " + std::to_string(status) + "\n";
    std::string path = dir.write("zenity", script);
    chmod(path.c_str(), 0755);
  }
  std::string recordedArguments() {
    std::ifstream in(dir.file("args"));
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  TempDir dir;
  ScopedEnv env;
  std::string existing;
  const std::vector<platform::FileFilter> filters = {{"All supported", "*.gscn;*.x"}, {"All", "*.*"}};
};

TEST_F(FileDialogTest, ReturnsTheChosenExistingFileAndPassesTitleAndFilters) {
  fakeZenity(existing, 0);
  ASSERT_TRUE(platform::fileDialogAvailable());
  EXPECT_EQ(platform::openFileDialog("Open Gavo file", filters), existing);
  EXPECT_EQ(recordedArguments(),
            "--file-selection\n--title=Open Gavo file\n"
            "--file-filter=All supported | *.gscn *.x\n--file-filter=All | *.*\n");
}

TEST_F(FileDialogTest, CancelOrAMissingAnswerIsNoFile) {
  fakeZenity(existing, 1);
  EXPECT_EQ(platform::openFileDialog("Open Gavo file", filters), std::nullopt);
  fakeZenity(dir.file("nowhere.gscn"), 0);
  EXPECT_EQ(platform::openFileDialog("Open Gavo file", filters), std::nullopt);
}

TEST_F(FileDialogTest, NoDisplayMeansNoDialog) {
  fakeZenity(existing, 0);
  env.set("DISPLAY", nullptr);
  env.set("WAYLAND_DISPLAY", nullptr);
  EXPECT_FALSE(platform::fileDialogAvailable());
  EXPECT_EQ(platform::openFileDialog("Open Gavo file", filters), std::nullopt);
}
