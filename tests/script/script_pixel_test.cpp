// Scripts on the OpenGL driver, run under an X virtual frame buffer (./test starts one).
// Without a display that offers OpenGL the tests skip and say why.
#include "script/script.h"

#include "app/context/engine.h"
#include "app/log/log.h"
#include "platform/process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <vector>

namespace {

using gv::test::TempDir;

struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
};

std::uint32_t little(const std::vector<unsigned char>& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

// Reads an uncompressed 24-bit BMP; an empty image for anything else.
Image readBmp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Image image;
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || little(b, 28, 2) != 24) return image;
  std::size_t offset = little(b, 10, 4);
  int width = static_cast<int>(little(b, 18, 4));
  int height = static_cast<std::int32_t>(little(b, 22, 4));
  bool bottomUp = height > 0;
  height = std::abs(height);
  std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
  if (b.size() < offset + stride * height) return image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    std::size_t row = offset + stride * (bottomUp ? height - 1 - y : y);
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &b[row + x * 3];
      image.pixels.push_back((p[2] << 16) | (p[1] << 8) | p[0]);
    }
  }
  return image;
}

class ScriptPixelTest : public testing::Test {
 protected:
  void SetUp() override {
    unsetenv(kNullDriverVariable);
    gvLogReset();
    if (!gv::platform::hasDisplay()) GTEST_SKIP() << "no X display: run under xvfb-run (./test does)";
    gvLogSetLevel(GVLOG_NONE);
    if (gvEngineStart(SGvSetupParams{}) != 0)
      GTEST_SKIP() << "the display offers no OpenGL window: " << gvStartupError();
    gvEngineStop();
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    workingDirectory = buffer;
  }
  void TearDown() override {
    if (!workingDirectory.empty()) {
      EXPECT_EQ(chdir(workingDirectory.c_str()), 0);
    }
    gvEngineStop();
    gvLogReset();
  }
  std::string workingDirectory;
};

TEST_F(ScriptPixelTest, AScreenshotHoldsTheBackdropTheScriptSet) {
  TempDir dir;
  dir.write("shot.lua",
            "gv.Setup(320, 240)\n"
            "gv.ColorBackdrop(0xFF336699)\n"
            "for frame = 1, 3 do gv.Sync() end\n"
            "gv.ScreenShot('shot.bmp')\n"
            "gv.ColorBackdrop(0xFFCC2211)\n"
            "gv.Sync()\n"
            "gv.ScreenShot('second.bmp')\n");
  testing::internal::CaptureStderr();
  int status = runScript(dir.file("shot.lua"), false);
  std::string errors = testing::internal::GetCapturedStderr();
  ASSERT_EQ(status, 0) << errors;

  struct Expected {
    const char* file;
    std::uint32_t colour;
  } shots[] = {{"shot.bmp", 0x336699}, {"second.bmp", 0xCC2211}};
  for (const Expected& shot : shots) {
    Image image = readBmp(dir.file(shot.file));
    ASSERT_EQ(image.width, 320) << shot.file;
    ASSERT_EQ(image.height, 240) << shot.file;
    std::size_t wrong = 0;
    for (std::uint32_t pixel : image.pixels) wrong += pixel != shot.colour;
    EXPECT_EQ(wrong, 0u) << shot.file << ": first pixel " << std::hex << image.pixels[0];
  }
}

TEST_F(ScriptPixelTest, TheExampleScriptRunsAndEndsCleanly) {
  setenv("GAVO_EXAMPLE_SECONDS", "0.5", 1);
  testing::internal::CaptureStderr();
  int status = runScript(GAVO_EXAMPLES_DIR "/scripts/backdrop.lua", false);
  std::string errors = testing::internal::GetCapturedStderr();
  unsetenv("GAVO_EXAMPLE_SECONDS");
  EXPECT_EQ(status, 0) << errors;
  EXPECT_EQ(errors, "");
  EXPECT_FALSE(gvEngineReady());
}

}  // namespace
