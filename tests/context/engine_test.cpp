#include "app/context/engine.h"

#include "app/context/input.h"
#include "app/log/log.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <filesystem>

#include "resources/files/files.h"
#include "support/temp_dir.h"

namespace {

class EngineTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv(kNullDriverVariable, "1", 1);
    gvLogReset();
    gvLogSetLevel(GVLOG_NONE);
  }
  void TearDown() override {
    gvEngineStop();
    gvLogReset();
  }
};

TEST_F(EngineTest, UnsetParametersTakeTheDefaults) {
  SGvSetupParams p = gvResolvedSetupParams(SGvSetupParams{});
  irr::SIrrlichtCreationParameters c = gvDeviceParameters(p);
  EXPECT_EQ(c.WindowSize, irr::core::dimension2d<irr::u32>(640, 480));
  EXPECT_EQ(c.Bits, 32);
  EXPECT_FALSE(c.Fullscreen);
  EXPECT_TRUE(c.Vsync);
  EXPECT_EQ(c.AntiAlias, 0);  // the light pre-pass is on
  EXPECT_EQ(c.ZBufferBits, 16);
  EXPECT_TRUE(c.Stencilbuffer);
  EXPECT_EQ(c.DriverType, irr::video::EDT_NULL);
  EXPECT_EQ(c.EventReceiver, &gvEventReceiver());
  EXPECT_EQ(p.stereo, 0);

  struct Case {
    s32 antialias, lightPrePass;
    irr::u8 samples;
  } cases[] = {{-1, 0, 4}, {1, 0, 4}, {0, 0, 0}, {1, 1, 0}, {1, -1, 0}};
  for (const Case& k : cases) {
    SGvSetupParams q;
    q.antialias = k.antialias;
    q.lightPrePass = k.lightPrePass;
    EXPECT_EQ(gvDeviceParameters(gvResolvedSetupParams(q)).AntiAlias, k.samples)
        << k.antialias << " " << k.lightPrePass;
  }
  SGvSetupParams fullScreen;
  fullScreen.windowed = 0;
  fullScreen.vsync = 0;
  EXPECT_TRUE(gvDeviceParameters(gvResolvedSetupParams(fullScreen)).Fullscreen);
  EXPECT_FALSE(gvDeviceParameters(gvResolvedSetupParams(fullScreen)).Vsync);
}

TEST_F(EngineTest, StartFillsTheContext) {
  ASSERT_FALSE(gvEngineReady());
  ASSERT_EQ(gvEngineStart(SGvSetupParams{}), 0);
  SGvEngine& e = gvEngine();
  EXPECT_TRUE(gvEngineReady());
  EXPECT_EQ(e.screenWidth, 640);
  EXPECT_EQ(e.screenHeight, 480);
  EXPECT_EQ(e.colourDepth, 32);
  EXPECT_EQ(e.lightPrePass, 1);
  EXPECT_EQ(e.reflectionFiltering, 1);
  EXPECT_EQ(e.backdrop.color, 0u);
  ASSERT_NE(e.camera, nullptr);
  EXPECT_FLOAT_EQ(e.camera->getNearValue(), 0.1f);
  EXPECT_FLOAT_EQ(e.camera->getFarValue(), 1000.0f);
  EXPECT_EQ(e.sceneManager->getActiveCamera(), e.camera);
  EXPECT_NE(gvManager(), nullptr);
  for (const auto& table : e.tables) {
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->capacity(), 1000);
  }
}

// Compiled programs go to "shadersCache" under the base directory, made on the first start.
TEST_F(EngineTest, StartMakesTheShaderCacheFolder) {
  gv::test::TempDir base;
  SGvSetupParams p;
  p.baseDirectory = base.path() + "/";
  const std::string savedBase = gv::baseDirectory();
  ASSERT_EQ(gvEngineStart(p), 0);
  gv::setBaseDirectory(savedBase);
  EXPECT_TRUE(std::filesystem::is_directory(base.file("shadersCache")));
  EXPECT_NE(gvManager()->getGPUProgrammingServices(), nullptr);
}

TEST_F(EngineTest, CameraRangeFallsBackWhenNearEqualsFar) {
  SGvSetupParams p;
  p.cameraNear = 5;
  p.cameraFar = 5;
  ASSERT_EQ(gvEngineStart(p), 0);
  EXPECT_FLOAT_EQ(gvEngine().camera->getNearValue(), 0.1f);
  EXPECT_FLOAT_EQ(gvEngine().camera->getFarValue(), 1000.0f);
  gvSetCameraRange(2, 300);
  EXPECT_FLOAT_EQ(gvEngine().camera->getNearValue(), 2.0f);
  EXPECT_FLOAT_EQ(gvEngine().camera->getFarValue(), 300.0f);
}

TEST_F(EngineTest, ASecondStartDiscardsEverythingOfTheFirst) {
  ASSERT_EQ(gvEngineStart(SGvSetupParams{}), 0);
  int record = 7;
  ASSERT_EQ(gvEngine().tables[EGV_OBJECTS]->add(12, &record), 0);
  gvEngine().backdrop = irr::video::SColor(0xFF112233);
  irr::scene::ISceneNode* node = gvEngine().sceneManager->addEmptySceneNode();
  node->setID(42);

  SGvSetupParams p;
  p.width = 320;
  ASSERT_EQ(gvEngineStart(p), 0);
  EXPECT_EQ(gvEngine().screenWidth, 320);
  EXPECT_EQ(gvEngine().tables[EGV_OBJECTS]->get(12), nullptr);
  EXPECT_EQ(gvEngine().backdrop.color, 0u);
  EXPECT_EQ(gvEngine().sceneManager->getSceneNodeFromId(42), nullptr);
  gvEngineStop();
  EXPECT_FALSE(gvEngineReady());
  EXPECT_EQ(gvEngine().device, nullptr);
  gvEngineStop();  // a stopped engine is left alone
}

TEST_F(EngineTest, AFailedStartIsReportedAndLeavesNoEngine) {
  unsetenv(kNullDriverVariable);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_EQ(gvEngineStart(SGvSetupParams{}), -1);
  EXPECT_FALSE(gvEngineReady());
  std::int32_t value = 0;
  ASSERT_NE(gvLogLastError(&value), nullptr);
  EXPECT_STREQ(gvLogLastError(&value), "Setup failed: fails to createDevice");
  EXPECT_EQ(value, -1);
}

TEST_F(EngineTest, FramesOnTheNullDriver) {
  ASSERT_EQ(gvEngineStart(SGvSetupParams{}), 0);
  gvSync();
  EXPECT_FALSE(gvEngineFlags().rendering);
  testing::internal::CaptureStdout();
  gvLogSetLevel(GVLOG_WARN);
  gvEndRendering(true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "WARN : endRendering called while not in Rendering\n\n");
  gvLogSetLevel(GVLOG_NONE);
  EXPECT_TRUE(gvBeginRendering());
  EXPECT_TRUE(gvBeginRendering());  // already begun
  gvEndRendering(true);
  EXPECT_FALSE(gvEngineFlags().rendering);
  // The NULL driver has no frame buffer to read.
  EXPECT_EQ(gvScreenShot("never.png"), -1);
  std::int32_t value = 0;
  EXPECT_STREQ(gvLogLastError(&value), "failed to grab the screen\n");
  EXPECT_EQ(value, 1);
}

TEST(EngineTime, TheFirstCallReturnsZero) {
  EXPECT_EQ(gvTimeMs(), 0);
  gvSleep(2);
  EXPECT_GE(gvTimeMs(), 2);
}

}  // namespace
