// The shader services on Irrlicht's OpenGL driver (Mesa's software rasteriser under an X
// virtual frame buffer): materials from HLSL files drawn and checked by colour, reused, hot
// reloaded under the same ids, and taken from the compiled-shader cache on a later start.
#include "effects/shaders/gpu_programming_services.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/log/log.h"
#include "effects/shaders/shader_cache.h"
#include "support/gl_frame.h"
#include "support/temp_dir.h"

namespace gv {
namespace {

using irr::video::SColor;

const char* const kVertex =
    "float4x4 WorldViewProj;\n"
    "float4 vsMain(float4 position : POSITION) : POSITION {\n"
    "  return mul(position, WorldViewProj);\n"
    "}\n";
// Two pixel programs sharing one include from a subdirectory, which includes another file
// found in that same subdirectory.
const char* const kRed = "#include \"inc/tint.hlsl\"\nfloat4 psMain() : COLOR0 { return tint(); }\n";
const char* const kHalf =
    "#include \"inc/tint.hlsl\"\nfloat4 psMain() : COLOR0 { return tint() * 0.5 + Base; }\n";
const char* const kTint = "#include \"base.hlsl\"\nfloat4 tint() { return float4(1, 0, 0, 1); }\n";
const char* const kBase = "float4 Base = {0, 0, 0, 0.5};\n";

// The whole view: an identity transform.
class Identity : public irr::video::IShaderConstantSetCallBack {
 public:
  void OnSetConstants(irr::video::IMaterialRendererServices* services, irr::s32) override {
    const irr::core::matrix4 identity;
    services->setVertexShaderConstant("WorldViewProj", identity.pointer(), 16);
  }
};

class ShaderServicesOnOpenGL : public testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    device = test::createOpenGLTestDevice(32, 32, whyNot);
    if (!device) GTEST_SKIP() << whyNot;
    gvLogReset();
    vertex = dir.write("shaders/quad.hlsl", kVertex);
    red = dir.write("shaders/red.hlsl", kRed);
    half = dir.write("shaders/half.hlsl", kHalf);
    tint = dir.write("shaders/inc/tint.hlsl", kTint);
    dir.write("shaders/inc/base.hlsl", kBase);
    std::filesystem::create_directory(dir.file("cache"));
  }
  void TearDown() override {
    services.reset();
    if (device) device->drop();
    gvLogReset();
  }

  void start() {
    services = std::make_unique<CGvGPUProgrammingServices>(device);
    services->setCacheDirectory(dir.file("cache"), ESCM_READ | ESCM_CHECK_TIMES | ESCM_WRITE);
  }

  s32 material(const std::string& pixel, irr::video::E_VERTEX_SHADER_TYPE target =
                                              irr::video::EVST_VS_3_0) {
    std::string error;
    const s32 type = services->addShaderMaterialFromFiles(
        vertex.c_str(), "vsMain", target, pixel.c_str(), "psMain", irr::video::EPST_PS_3_0,
        &identity, irr::video::EMT_SOLID, 0, nullptr, &error);
    EXPECT_GE(type, 0) << error;
    return type;
  }

  // The colour of the middle pixel after drawing a full-view quad with the material.
  SColor draw(s32 type) {
    irr::video::IImage* shot = test::drawQuadFrame(device->getVideoDriver(),
                                                   test::quadMaterial(type), SColor(255, 0, 0, 255));
    if (!shot) return SColor(0);
    const SColor pixel = shot->getPixel(16, 16);
    shot->drop();
    return pixel;
  }

  // "compile shader" lines of the log at DEBUG while `work` runs.
  template <typename Work>
  int compilesDuring(Work&& work) {
    gvLogSetLevel(GVLOG_DEBUG);
    testing::internal::CaptureStdout();
    work();
    const std::string out = testing::internal::GetCapturedStdout();
    gvLogSetLevel(GVLOG_INFO);
    int count = 0;
    for (size_t at = out.find("GvGPU: compile shader"); at != std::string::npos;
         at = out.find("GvGPU: compile shader", at + 1))
      ++count;
    return count;
  }

  test::TempDir dir;
  std::string vertex, red, half, tint;
  Identity identity;
  irr::IrrlichtDevice* device = nullptr;
  std::unique_ptr<CGvGPUProgrammingServices> services;
};

void expectColour(SColor pixel, int r, int g, int b) {
  EXPECT_NEAR(static_cast<int>(pixel.getRed()), r, 2);
  EXPECT_NEAR(static_cast<int>(pixel.getGreen()), g, 2);
  EXPECT_NEAR(static_cast<int>(pixel.getBlue()), b, 2);
}

TEST_F(ShaderServicesOnOpenGL, DrawsReusesAndReloadsMaterialsInPlace) {
  start();
  const s32 redType = material(red), halfType = material(half);
  ASSERT_GE(redType, 0);
  ASSERT_GE(halfType, 0);
  EXPECT_EQ(material(red, irr::video::EVST_VS_2_0), redType);
  expectColour(draw(redType), 255, 0, 0);
  expectColour(draw(halfType), 128, 0, 0);  // the declared default of Base applies

  // Edit the include both pixel programs share: both materials change, ids stay.
  dir.write("shaders/inc/tint.hlsl",
            "#include \"base.hlsl\"\nfloat4 tint() { return float4(0, 1, 0, 1); }\n");
  std::vector<s32> updated;
  std::string error;
  EXPECT_TRUE(services->recompileShaders({tint}, updated, &error));
  EXPECT_EQ(error, "");
  std::sort(updated.begin(), updated.end());
  std::vector<s32> both{redType, halfType};
  std::sort(both.begin(), both.end());
  EXPECT_EQ(updated, both);
  expectColour(draw(redType), 0, 255, 0);
  expectColour(draw(halfType), 0, 128, 0);

  // A broken edit keeps the programs that work.
  dir.write("shaders/inc/tint.hlsl", "float4 tint() { return oops; }\n");
  EXPECT_TRUE(services->recompileShaders({tint}, updated, &error));
  EXPECT_TRUE(updated.empty());
  EXPECT_NE(error.find("Failed to compile " + red), std::string::npos) << error;
  EXPECT_NE(error.find("tint.hlsl:1"), std::string::npos) << error;
  expectColour(draw(redType), 0, 255, 0);
}

TEST_F(ShaderServicesOnOpenGL, LaterStartTakesProgramsFromTheCache) {
  start();
  EXPECT_EQ(compilesDuring([&] { material(red); }), 2);
  start();  // a new run of the engine
  s32 type = -1;
  EXPECT_EQ(compilesDuring([&] { type = material(red); }), 0);
  expectColour(draw(type), 255, 0, 0);
  // Constants are found where the cached programs keep them.
  s32 first = -1, count = 0;
  EXPECT_TRUE(services->getVertexShaderConstant(type, "WorldViewProj", first, count));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(count, 4);
}

}  // namespace
}  // namespace gv
