#include "app/entry.h"

#include "app/log/log.h"
#include "platform/message_box.h"
#include "resources/container/appended_container.h"
#include "resources/files/files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>

namespace {

using gv::test::TempDir;

void ignoreBox(const char*, const char*, gv::platform::BoxIcon) {}

// Runs the entry point with owners that record what they were asked to do.
class EntryTest : public testing::Test {
 protected:
  void SetUp() override {
    gvLogReset();
    previousBox = gv::platform::setMessageBoxHandler(ignoreBox);
    // Without a display no file dialog can open.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    executable = dir.write("bin/gavo", "ELF");
  }
  void TearDown() override {
    gv::platform::setMessageBoxHandler(previousBox);
    gvLogReset();
  }

  ModeOwners recordingOwners(int result = 0) {
    ModeOwners o;
    o.conversionRun = [this, result](const std::optional<std::string>& f, const SGvViewerOptions& v) {
      calls.push_back("convert " + f.value_or("<ask>") + " flags=" + std::to_string(v.flags));
      return result;
    };
    o.build = [this, result](const BuildRequest& b, const StartupRecord&) {
      calls.push_back(std::string("build ") + buildOptionName(b.option) + " " + b.operands.back());
      return result;
    };
    o.extract = [this, result](const std::string& exe) { calls.push_back("extract " + exe); return result; };
    o.packagedPlayer = [this, result](const std::string& exe) { calls.push_back("package " + exe); return result; };
    o.startEngine = [this](const EngineStartRequest& r) {
      calls.push_back("start " + r.settingsFile + " dialog=" + std::to_string(r.dialogAllowed) +
                      " width=" + std::to_string(r.display.width));
      return engineStartResult;
    };
    o.stopEngine = [this] { calls.push_back("stop"); };
    o.objectViewer = [this, result](const std::string& f) { calls.push_back("object " + f); return result; };
    o.sceneViewer = [this, result](const std::string& f, const SGvViewerOptions& v) {
      calls.push_back("scene " + f + " flags=" + std::to_string(v.flags));
      return result;
    };
    o.demoPlayer = [this, result](const std::string& f) { calls.push_back("demo " + f); return result; };
    o.demoCapture = [this, result](const std::string& f, const std::string& prefix, float fps) {
      calls.push_back("capture " + f + " " + prefix + " " + std::to_string(static_cast<int>(fps)));
      return result;
    };
    o.scriptRunner = [this, result](const std::string& f, bool packaged) {
      calls.push_back("script " + f + " packaged=" + std::to_string(packaged) + " base=" + gv::baseDirectory());
      return result;
    };
    return o;
  }

  int run(std::vector<const char*> args, const ModeOwners& owners) {
    args.insert(args.begin(), "gavo");
    StartupRecord record;
    record.executablePath = executable;
    record.executableDirectory = dir.file("bin/");
    record.argc = static_cast<int>(args.size());
    record.argv = args.data();
    testing::internal::CaptureStdout();
    int status = gvRunCommandLine(record, owners);
    output = testing::internal::GetCapturedStdout();
    return status;
  }

  TempDir dir;
  std::string executable;
  std::vector<std::string> calls;
  std::string output;
  int engineStartResult = 0;
  gv::platform::MessageBoxHandler previousBox = nullptr;
};

TEST_F(EntryTest, EachFileKindReachesItsOwner) {
  struct Case {
    std::vector<const char*> args;
    std::vector<std::string> calls;
  } cases[] = {
      {{"ship.x"}, {"start gavo-setup.ini dialog=0 width=-1", "object ship.x", "stop"}},
      {{"-display", "640x480", "-paused", "city.GSCN"},
       {"start gavo-setup.ini dialog=0 width=640", "scene city.GSCN flags=37", "stop"}},
      {{"intro.demo.ini"}, {"start gavo-setup.ini dialog=1 width=-1", "demo intro.demo.ini", "stop"}},
      {{"-cap", "f", "-capfps", "0", "intro.demo.ini"},
       {"start gavo-setup.ini dialog=1 width=-1", "capture intro.demo.ini f 30", "stop"}},
      {{"-cap", "f", "-capfps", "60", "intro.demo.ini"},
       {"start gavo-setup.ini dialog=1 width=-1", "capture intro.demo.ini f 60", "stop"}},
      {{"main.lua"}, {"script main.lua packaged=0 base=" + dir.file("bin/")}},
      {{"-binary"}, {"convert <ask> flags=35"}},
      {{"-binary", "city.gscn", "more"}, {"convert city.gscn flags=35"}},
      {{"-demoexe", "out", "intro.demo.ini"}, {"build -demoexe intro.demo.ini"}},
      {{"-exersc", "out"}, {"build -exersc out"}},
  };
  for (const Case& c : cases) {
    calls.clear();
    EXPECT_EQ(run(c.args, recordingOwners()), GV_EXIT_OK) << c.args.back();
    EXPECT_EQ(calls, c.calls) << c.args.back();
  }
}

TEST_F(EntryTest, UnsupportedFileIsReportedAndEndsWithMinusOne) {
  EXPECT_EQ(run({"x.unknown"}, recordingOwners()), GV_EXIT_STARTUP);
  EXPECT_EQ(output, "ERROR : File format of 'x.unknown' is not supported\n\n");
  EXPECT_TRUE(calls.empty());
}

TEST_F(EntryTest, NoFileAndNoDialogPrintsTheUsage) {
  EXPECT_EQ(run({"-paused"}, recordingOwners()), GV_EXIT_STARTUP);
  EXPECT_NE(output.find("Usage: gavo"), std::string::npos);
  EXPECT_TRUE(calls.empty());
}

TEST_F(EntryTest, FailuresAreReportedInTheExitStatus) {
  EXPECT_EQ(run({"ship.x"}, recordingOwners(-1)), GV_EXIT_MODE_FAILED);
  EXPECT_EQ(calls.back(), "stop");  // the engine still stops after a failed mode
  EXPECT_EQ(run({"-demoexe", "out", "intro.demo.ini"}, recordingOwners(-1)), GV_EXIT_MODE_FAILED);
  EXPECT_EQ(run({"main.lua"}, recordingOwners(1)), GV_EXIT_MODE_FAILED);

  calls.clear();
  engineStartResult = -1;
  EXPECT_EQ(run({"ship.x"}, recordingOwners()), GV_EXIT_STARTUP);
  EXPECT_EQ(calls, std::vector<std::string>{"start gavo-setup.ini dialog=0 width=-1"});
}

TEST_F(EntryTest, MissingOwnersSayTheirModeIsNotAvailable) {
  ModeOwners none;
  EXPECT_EQ(run({"main.lua"}, none), GV_EXIT_MODE_FAILED);
  EXPECT_EQ(output, "The script runner is not available in this build\n");
  EXPECT_EQ(run({"ship.x"}, none), GV_EXIT_STARTUP);
  EXPECT_EQ(output, "The engine start is not available in this build\n");
  EXPECT_EQ(run({"-dirdat", "out", "dir"}, none), GV_EXIT_MODE_FAILED);
  EXPECT_EQ(output, "-dirdat is not available in this build\n");

  ModeOwners engineOnly = recordingOwners();
  engineOnly.sceneViewer = nullptr;
  EXPECT_EQ(run({"city.gscn"}, engineOnly), GV_EXIT_MODE_FAILED);
  EXPECT_NE(output.find("The scene viewer is not available in this build"), std::string::npos);
}

TEST_F(EntryTest, UserLogRaisesTheThresholdAndSilencesBoxes) {
  run({"-userlog", "x.unknown"}, recordingOwners());
  EXPECT_EQ(gvLogLevel(), static_cast<std::int32_t>(GVLOG_WARN));
  EXPECT_FALSE(gvLogBoxesEnabled());
  EXPECT_EQ(output, "ERROR : File format of 'x.unknown' is not supported\n\n");
}

TEST_F(EntryTest, APackagedExecutablePlaysItsPackageAndIgnoresOptions) {
  dir.write("bin/gavo.dat", "zip");
  EXPECT_EQ(run({"-cap", "f", "intro.demo.ini"}, recordingOwners()), GV_EXIT_OK);
  EXPECT_EQ(calls, std::vector<std::string>{"package " + executable});
  calls.clear();
  EXPECT_EQ(run({"-extract"}, recordingOwners()), GV_EXIT_OK);
  EXPECT_EQ(calls, std::vector<std::string>{"extract " + executable});
}

TEST_F(EntryTest, AnAppendedPackageIsFoundWithoutASideFile) {
  std::string container = "PK-data";
  std::ofstream(executable, std::ios::binary | std::ios::app)
      << container
      << std::string(reinterpret_cast<const char*>(gv::encodeContainerTrailer({gv::kPackageResource, 3, 7}).data()),
                     gv::kContainerTrailerSize);
  EXPECT_EQ(run({"ship.x"}, recordingOwners()), GV_EXIT_OK);
  EXPECT_EQ(calls, std::vector<std::string>{"package " + executable});
}

}  // namespace
