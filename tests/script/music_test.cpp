// Music by number: loading from files and from a mounted package, the operations and their
// messages.
#include "script/music/music.h"

#include "app/log/log.h"
#include "resources/files/files.h"
#include "support/zip_fixture.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <irrlicht.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

const std::string kExampleTrack = GAVO_SOURCE_DIR "/examples/intro/music/intro.mp3";
const std::string kNotMusic = GAVO_TEST_DATA_DIR "/music/not-music.mp3";

std::string lastError(std::int32_t* argument) {
  const char* text = gvLogLastError(argument);
  return text ? text : "<none>";
}

class MusicTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    gvLogReset();
    gvLogSetLevel(GVLOG_NONE);
    gvLogDisableBoxes();
    gv::usePlainFiles();
    gv::createMusicTable();
  }
  void TearDown() override {
    gv::destroyMusicTable();
    unsetenv("SDL_AUDIODRIVER");
    gvLogReset();
  }
  // The load fails and records a message beginning with `message` against the argument.
  void expectLoadFailure(const std::string& path, std::int32_t id, const std::string& message, std::int32_t argument) {
    gvLogClearLastError();
    EXPECT_EQ(gv::loadMusic(path, id), -1) << message;
    std::int32_t recorded = 0;
    EXPECT_EQ(lastError(&recorded).substr(0, message.size()), message);
    EXPECT_EQ(recorded, argument) << message;
  }
};

TEST_F(MusicTest, LoadFailuresLeaveTheNumberFree) {
  expectLoadFailure("missing.mp3", 3, "LoadMusic ID 3 : Cannot load file 'missing.mp3'", 2);
  expectLoadFailure(kNotMusic, 3, "Failed to load mp3", -1);
  expectLoadFailure(kExampleTrack, 50, "invalid Music ID 50 : invalid ID 50 greater or equals than 50", 2);
  expectLoadFailure(kExampleTrack, -1, "invalid Music ID -1 : invalid negative ID -1", 2);
  expectLoadFailure(std::string(2048, 'm'), 4, "LoadMusic ID 4 : Cannot load file 'mmm", 2);
  EXPECT_FALSE(gv::musicExists(3));
  EXPECT_FALSE(gv::musicExists(4));
  ASSERT_EQ(gv::loadMusic(kExampleTrack, 3), 0);
  expectLoadFailure(kExampleTrack, 3, "invalid Music ID 3 : id 3 already exist", 2);
  EXPECT_TRUE(gv::musicExists(3)) << "the music already there stays";
}

TEST_F(MusicTest, PlayPauseResumeStopAndPosition) {
  ASSERT_EQ(gv::loadMusic(kExampleTrack, 1), 0);
  EXPECT_EQ(gv::getMusicPosition(1), 0);
  EXPECT_EQ(gv::pauseMusic(1), 0);
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(gv::getMusicPosition(1), 0) << "pausing a stopped music does nothing";
  EXPECT_EQ(gv::resumeMusic(1), 0);
  std::this_thread::sleep_for(60ms);
  EXPECT_GE(gv::getMusicPosition(1), 60) << "resume starts a stopped music";

  EXPECT_EQ(gv::setMusicPosition(1, 2500), 0);
  EXPECT_GE(gv::getMusicPosition(1), 2500);
  EXPECT_LT(gv::getMusicPosition(1), 2600);
  EXPECT_EQ(gv::pauseMusic(1), 0);
  std::int32_t paused = gv::getMusicPosition(1);
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(gv::getMusicPosition(1), paused);
  EXPECT_EQ(gv::playMusic(1), 0) << "play on a paused music stops it and runs it again";
  std::this_thread::sleep_for(30ms);
  EXPECT_GE(gv::getMusicPosition(1), paused + 30);
  EXPECT_EQ(gv::stopMusic(1), 0);
  EXPECT_EQ(gv::setMusicPosition(1, 12345), 0);
  EXPECT_EQ(gv::getMusicPosition(1), 12345) << "a position set reads back unchanged";

  EXPECT_EQ(gv::setMusicVolume(1, 50), 0);
  EXPECT_EQ(gv::getMusicVolume(1), 50);
  EXPECT_EQ(gv::setMusicVolume(1, 90), 0);
  EXPECT_EQ(gv::getMusicVolume(1), 89);
  EXPECT_EQ(gv::deleteMusic(1), 0);
  EXPECT_FALSE(gv::musicExists(1));
}

TEST_F(MusicTest, OperationsOnAFreeNumberSaySo) {
  struct Case {
    const char* what;
    std::function<std::int32_t()> call;
    std::int32_t result;
  } cases[] = {
      {"play", [] { return gv::playMusic(7); }, -1},
      {"stop", [] { return gv::stopMusic(7); }, -1},
      {"pause", [] { return gv::pauseMusic(7); }, -1},
      {"resume", [] { return gv::resumeMusic(7); }, -1},
      {"set position", [] { return gv::setMusicPosition(7, 10); }, -1},
      {"get position", [] { return gv::getMusicPosition(7); }, -1},
      {"set volume", [] { return gv::setMusicVolume(7, 10); }, -1},
      {"get volume", [] { return gv::getMusicVolume(7); }, 0},
  };
  for (const Case& c : cases) {
    gvLogClearLastError();
    EXPECT_EQ(c.call(), c.result) << c.what;
    std::int32_t argument = 0;
    EXPECT_EQ(lastError(&argument).rfind("Music ID 7 does not exist. ", 0), 0u) << c.what;
    EXPECT_EQ(argument, 1) << c.what;
  }
  gvLogClearLastError();
  EXPECT_EQ(gv::deleteMusic(7), -1);
  EXPECT_FALSE(gv::musicExists(7));
  EXPECT_EQ(gvLogLastError(nullptr), nullptr) << "delete and exists never report";
}

TEST_F(MusicTest, MusicInsideAMountedPackagePlays) {
  std::ifstream in(kExampleTrack, std::ios::binary);
  std::string track((std::istreambuf_iterator<char>(in)), {});
  std::vector<std::uint8_t> zip = gv::test::makeZip({{"music/intro.mp3", track}});
  ASSERT_EQ(gv::mountArchiveMemory(zip.data(), zip.size()), 0);
  irr::SIrrlichtCreationParameters params;
  params.DriverType = irr::video::EDT_NULL;
  params.LoggingLevel = irr::ELL_NONE;
  irr::IrrlichtDevice* device = irr::createDeviceEx(params);
  ASSERT_TRUE(device);
  ASSERT_EQ(gv::reapplyArchive(device->getFileSystem()), 0);
  EXPECT_EQ(gv::loadMusic("music/intro.mp3", 2), 0) << lastError(nullptr);
  EXPECT_EQ(gv::playMusic(2), 0);
  gv::releaseEngineFiles();
  gv::forgetArchive();
  device->drop();
}

TEST_F(MusicTest, DestroyingTheTableFreesEveryMusic) {
  ASSERT_EQ(gv::loadMusic(kExampleTrack, 0), 0);
  ASSERT_EQ(gv::loadMusic(kExampleTrack, 49), 0);
  ASSERT_EQ(gv::playMusic(49), 0);
  gv::destroyMusicTable();
  EXPECT_FALSE(gv::musicExists(0));
  EXPECT_FALSE(gv::musicExists(49)) << "an operation after the table went finds a fresh one";
}

}  // namespace
