#include "app/context/settings.h"
#include "app/context/startup_dialog.h"

#include "app/log/log.h"
#include "resources/files/files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <cstdlib>

namespace {

using gv::test::TempDir;

struct Expected {
  s32 width, height, depth, windowed, windowX, windowY, vsync, antialias, lightPrePass, hideMouse, stereo;
  f32 cameraNear, cameraFar;
};

void expectParams(const SGvSetupParams& p, const Expected& e, const std::string& label) {
  EXPECT_EQ(p.width, e.width) << label;
  EXPECT_EQ(p.height, e.height) << label;
  EXPECT_EQ(p.colourDepth, e.depth) << label;
  EXPECT_EQ(p.windowed, e.windowed) << label;
  EXPECT_EQ(p.windowX, e.windowX) << label;
  EXPECT_EQ(p.windowY, e.windowY) << label;
  EXPECT_EQ(p.vsync, e.vsync) << label;
  EXPECT_EQ(p.antialias, e.antialias) << label;
  EXPECT_EQ(p.lightPrePass, e.lightPrePass) << label;
  EXPECT_EQ(p.hideMouse, e.hideMouse) << label;
  EXPECT_EQ(p.stereo, e.stereo) << label;
  EXPECT_FLOAT_EQ(p.cameraNear, e.cameraNear) << label;
  EXPECT_FLOAT_EQ(p.cameraFar, e.cameraFar) << label;
}

class SettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    gvLogReset();
    gv::usePlainFiles();
    gv::setDirectory("");
  }
  void TearDown() override { gv::setBaseDirectory(""); }

  // Resolves with the file (when given) in the base directory and no dialog.
  SGvSetupParams resolve(const char* file, const SGvDisplaySettings& overrides = {}) {
    TempDir dir;
    if (file) dir.write("gavo-setup.ini", file);
    std::optional<SGvSetupParams> p = gvResolveSettings("gavo-setup.ini", dir.path() + "/", overrides, false);
    EXPECT_TRUE(p.has_value());
    EXPECT_EQ(p->baseDirectory, dir.path() + "/");
    return *p;
  }
};

TEST_F(SettingsTest, FileValuesReachTheStartParameters) {
  struct Case {
    const char* file;
    Expected expected;
  } cases[] = {
      // No file and no dialog: everything is left to the engine start.
      {nullptr, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0.1f, 1000.0f}},
      // A file without the section reads as "nothing set", but a window.
      {"[Other]\nvsync=0\n", {-1, -1, -1, 1, -1, -1, -1, -1, -1, -1, -1, 0.1f, 1000.0f}},
      {"[Setup]\ndisplay=1024 768 16\nwindowed=YES\nwindowpos=10 20\nvsync=0\nantialias=1\n"
       "lightprepass=0\nhide_mouse=1\nstereo=2\ncamerarange=0.5 250\n",
       {1024, 768, 16, 1, 10, 20, 0, 1, 0, 1, 2, 0.5f, 250.0f}},
      // Key names ignore case; numbers use base detection; two display numbers leave the depth unset.
      {"[SETUP]\nDisplay=0x400 0300\nWindowed=2\nVSYNC=010\n",
       {1024, 192, -1, 0, -1, -1, 8, -1, -1, -1, -1, 0.1f, 1000.0f}},
      {"[Setup]\nwindowed=no\n", {-1, -1, -1, 0, -1, -1, -1, -1, -1, -1, -1, 0.1f, 1000.0f}},
      {"[Setup]\nwindowed=y\n", {-1, -1, -1, 1, -1, -1, -1, -1, -1, -1, -1, 0.1f, 1000.0f}},
      {"[Setup]\nwindowed=\"yes\"\n", {-1, -1, -1, 1, -1, -1, -1, -1, -1, -1, -1, 0.1f, 1000.0f}},
      // A file that does not parse counts as absent: not even the window default is taken.
      {"[Setup]\ndisplay=800 600\nthis line is not a key\n",
       {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0.1f, 1000.0f}},
  };
  for (const Case& c : cases) expectParams(resolve(c.file), c.expected, c.file ? c.file : "<no file>");
}

TEST_F(SettingsTest, OverridesThatAreSetWin) {
  SGvDisplaySettings overrides;
  overrides.windowed = 0;
  overrides.width = 800;
  overrides.stereo = 1;
  overrides.centred = 1;  // not a start parameter
  SGvSetupParams p = resolve("[Setup]\ndisplay=1024 768 32\nwindowed=yes\nvsync=0\n", overrides);
  expectParams(p, {800, 768, 32, 0, -1, -1, 0, -1, -1, -1, 1, 0.1f, 1000.0f}, "overrides");
}

TEST_F(SettingsTest, AParseErrorPrintsNothing) {
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  resolve("[Setup\nbroken\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(SettingsTest, WithoutAnyoneToAnswerTheDialogIsACancel) {
  setenv("GAVO_NO_BOXES", "1", 1);
  TempDir dir;
  EXPECT_FALSE(gvResolveSettings("gavo-setup.ini", dir.path() + "/", {}, true).has_value());
  EXPECT_EQ(gvSetupFromSettings("gavo-setup.ini", dir.path() + "/", {}, true), -1);
  // A settings file means no dialog is needed.
  dir.write("gavo-setup.ini", "[Setup]\nwindowed=1\n");
  EXPECT_TRUE(gvResolveSettings("gavo-setup.ini", dir.path() + "/", {}, true).has_value());
}

TEST(ScreenModeOption, NamesTheFieldsOfTheLastConfirmedDialog) {
  // Before any dialog was confirmed every field reads 0; unknown names read -1.
  for (const char* name : {"width", "HEIGHT", "windowed", "BPP", "vsync", "fps", "antialias", "shaders", "stereo",
                           "Centered"})
    EXPECT_EQ(gvScreenModeOption(name), 0) << name;
  for (const char* name : {"size", "", "centred", "depth"}) EXPECT_EQ(gvScreenModeOption(name), -1) << name;
  EXPECT_EQ(gvScreenModeOption(nullptr), -1);
}

std::vector<SGvDisplayMode> modes(std::initializer_list<SGvDisplayMode> list) { return list; }

TEST(StartupDialog, ModeListIsFilteredDeduplicatedAndSorted) {
  std::vector<SGvDisplayMode> kept = gvDialogModes(modes({{1920, 1080, 32, 60},
                                                          {800, 600, 16, 60},
                                                          {1280, 720, 32, 75},
                                                          {1280, 720, 32, 60},
                                                          {1280, 720, 64, 60},
                                                          {640, 480, 32, 60}}));
  ASSERT_EQ(kept.size(), 4u);
  EXPECT_EQ(kept[0].width, 640);
  EXPECT_EQ(kept[1].refreshRate, 75);  // the first of the repeats stays
  EXPECT_EQ(kept[2].depth, 64);
  EXPECT_EQ(kept[3].width, 1920);
  EXPECT_EQ(gvDialogModeText(kept[0]), " 640 x  480");
  EXPECT_EQ(gvDialogModeText(kept[1]), "1280 x  720 (recommended)");

  std::vector<SGvDisplayMode> many;
  for (int i = 0; i < 300; ++i) many.push_back({640 + i, 480, 32, 60});
  EXPECT_EQ(gvDialogModes(many).size(), 200u);
}

TEST(StartupDialog, PreselectsRecommendedThenDesktopThenFullHd) {
  std::vector<SGvDisplayMode> all = gvDialogModes(modes({{1024, 768, 32, 60}, {1280, 720, 32, 60}, {1920, 1080, 32, 60}}));
  std::vector<SGvDisplayMode> noRecommended = gvDialogModes(modes({{1024, 768, 32, 60}, {1920, 1080, 32, 60}}));
  std::vector<SGvDisplayMode> neither = gvDialogModes(modes({{800, 600, 32, 60}}));
  SGvDisplayMode desktop{1024, 768, 32, 0};
  EXPECT_EQ(gvDialogPreselection(all, desktop), 1);
  EXPECT_EQ(gvDialogPreselection(noRecommended, desktop), 0);
  EXPECT_EQ(gvDialogPreselection(noRecommended, {2560, 1440, 32, 0}), 1);
  EXPECT_EQ(gvDialogPreselection(neither, desktop), -1);
}

TEST(StartupDialog, StartNeedsAModeAndHandsOverTheChoice) {
  StartupDialogState state(modes({{800, 600, 32, 60}, {1024, 768, 32, 60}}), {1600, 900, 32, 0});
  EXPECT_EQ(state.selected(), -1);
  EXPECT_FALSE(state.startEnabled());
  EXPECT_TRUE(state.fullScreen());
  state.select(1);
  ASSERT_TRUE(state.startEnabled());
  SGvDisplaySettings c = state.choice();
  EXPECT_EQ(c.width, 1024);
  EXPECT_EQ(c.height, 768);
  EXPECT_EQ(c.colourDepth, 32);
  EXPECT_EQ(c.windowed, 0);
  EXPECT_EQ(c.vsync, 1);
  EXPECT_EQ(c.windowX, -1);
  EXPECT_EQ(c.framesPerSecond, -1);
  EXPECT_EQ(c.centred, 0);
  state.setFullScreen(false);
  EXPECT_EQ(state.choice().windowed, 1);
  state.select(7);  // past the list: nothing chosen
  EXPECT_FALSE(state.startEnabled());
}

}  // namespace
