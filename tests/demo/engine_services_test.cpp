// Loading a demo with the engine's own services: music loads, scenes are not in this build.
#include "demo/demo.h"
#include "demo/engine_demo_services.h"

#include "demo_fixture.h"
#include "script/music/music.h"

#include <cstdlib>
#include <filesystem>

namespace {

using gv::test::DemoTest;

class EngineServicesTest : public DemoTest {
 protected:
  void SetUp() override {
    DemoTest::SetUp();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    gv::createMusicTable();
    std::filesystem::create_directories(dir.file("demo/music"));
    std::filesystem::copy_file(GAVO_SOURCE_DIR "/examples/intro/music/intro.mp3", dir.file("demo/music/intro.mp3"));
  }
  void TearDown() override {
    gv::destroyMusicTable();
    unsetenv("SDL_AUDIODRIVER");
    DemoTest::TearDown();
  }
  SGvDemo demo;
  SGvDemoCounters counters;
};

TEST_F(EngineServicesTest, MusicLoadsAndIsFreedWithTheDemo) {
  std::string path = writeDemo("[setup]\nmusicdirectory=music\n[part1]\ntime=0\nmusic=intro.mp3\n"
                               "[part2]\ntime=8000\ntimereset=1\nmusic=intro.mp3\n");
  ASSERT_EQ(gvDemoLoad(demo, path, counters, gvEngineDemoServices()), 0) << lastBox();
  EXPECT_EQ(demo.parts[0].musicNumber, 1);
  EXPECT_EQ(demo.parts[1].musicNumber, 2);
  EXPECT_TRUE(gv::musicExists(1) && gv::musicExists(2));
  EXPECT_EQ(gv::playMusic(1), 0);
  gvDemoFree(demo, gvEngineDemoServices());
  EXPECT_FALSE(gv::musicExists(1) || gv::musicExists(2));
}

TEST_F(EngineServicesTest, APartSceneFailsToLoadInThisBuildBeforeAnyMusicLoads) {
  std::string path = writeDemo("[setup]\nmusicdirectory=music\n[part1]\ntime=0\nmusic=intro.mp3\n"
                               "[part2]\ntime=8000\ndirectory=scenes\nfilename=city.gscn\n");
  gvLogSetLevel(GVLOG_ERROR);
  testing::internal::CaptureStdout();
  EXPECT_EQ(gvDemoLoad(demo, path, counters, gvEngineDemoServices()), -1);
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_NE(printed.find("city.gscn: scene loading is not available in this build"), std::string::npos) << printed;
  EXPECT_EQ(lastBox(), "Fail to load scene city.gscn");
  EXPECT_FALSE(gv::musicExists(1));
}

}  // namespace
