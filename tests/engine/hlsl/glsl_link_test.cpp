// The GLSL text made from HLSL programs compiles and links in Irrlicht's OpenGL driver (Mesa's
// software rasteriser under an X virtual frame buffer).
#include "engine/hlsl/glsl_translation.h"
#include "support/gl_frame.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace gv::engine {
namespace {

std::string translatedFixture(const char* entry, bool isVertex, const CGvMacro* macros,
                              const char* fixture = "link.hlsl") {
  std::ifstream file(std::string(GAVO_SHADER_FIXTURES) + "/" + fixture);
  std::ostringstream source;
  source << file.rdbuf();
  ShaderCode code;
  std::string errors;
  const bool compiled =
      isVertex ? compileHLSLVertexShader(source.str().c_str(), entry, irr::video::EVST_VS_3_0,
                                         macros, nullptr, code, &errors, "link.hlsl")
               : compileHLSLPixelShader(source.str().c_str(), entry, irr::video::EPST_PS_3_0,
                                        macros, nullptr, code, &errors, "link.hlsl");
  EXPECT_TRUE(compiled) << errors;
  STranslatedShader shader;
  EXPECT_TRUE(translateToGLSL(code, isVertex, shader, &errors)) << errors;
  return shader.Glsl;
}

class GlslLink : public testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    device = test::createOpenGLTestDevice(64, 64, whyNot);
    if (!device) GTEST_SKIP() << whyNot;
    gpu = device->getVideoDriver()->getGPUProgrammingServices();
    ASSERT_NE(gpu, nullptr);
  }
  void TearDown() override {
    if (device) device->drop();
  }
  irr::IrrlichtDevice* device = nullptr;
  irr::video::IGPUProgrammingServices* gpu = nullptr;
};

TEST_F(GlslLink, TranslatedProgramPairsLinkInTheOpenGLDriver) {
  // Without macros the pixel program reads interpolators, VPOS and VFACE; with MRT it
  // writes two colours; with UNWRITTEN it reads an interpolator the vertex program lacks.
  const CGvMacro mrt[] = {{"MRT", "1"}, {nullptr, nullptr}};
  const CGvMacro unwritten[] = {{"UNWRITTEN", "1"}, {nullptr, nullptr}};
  for (const CGvMacro* macros : {static_cast<const CGvMacro*>(nullptr), mrt, unwritten}) {
    const std::string vertex = translatedFixture("vsMain", true, macros);
    std::string pixel = translatedFixture("psMain", false, macros);
    matchInterpolators(vertex, pixel);
    const irr::s32 material = gpu->addHighLevelShaderMaterial(
        vertex.c_str(), "main", irr::video::EVST_VS_1_1, pixel.c_str(), "main",
        irr::video::EPST_PS_1_1);
    EXPECT_GE(material, 0) << vertex << "\n" << pixel;
  }
  // The driver does report programs it cannot build, so the check above can fail.
  const std::string vertex = translatedFixture("vsMain", true, nullptr);
  EXPECT_EQ(gpu->addHighLevelShaderMaterial(vertex.c_str(), "main", irr::video::EVST_VS_1_1,
                                            "#version 330 compatibility\n"
                                            "void main() { gl_FragColor = gv_missing; }\n",
                                            "main", irr::video::EPST_PS_1_1),
            -1);
}

// Positions reach gl_Position, vertex colours come from Irrlicht's colour array, and VPOS
// counts whole pixels from the top left corner as on Direct3D 9.
TEST_F(GlslLink, DrawsWithVertexArraysAndVpos) {
  const std::string vertex = translatedFixture("vsMain", true, nullptr, "quad.hlsl");
  const std::string pixel = translatedFixture("psMain", false, nullptr, "quad.hlsl");
  const irr::s32 material = gpu->addHighLevelShaderMaterial(
      vertex.c_str(), "main", irr::video::EVST_VS_1_1, pixel.c_str(), "main",
      irr::video::EPST_PS_1_1);
  ASSERT_GE(material, 0);
  irr::video::IImage* shot =
      test::drawQuadFrame(device->getVideoDriver(), test::quadMaterial(material),
                          irr::video::SColor(255, 0, 0, 255), irr::video::SColor(255, 255, 0, 0));
  ASSERT_NE(shot, nullptr);
  struct Expected {
    irr::u32 x, y, green, blue;
  } expected[] = {{0, 0, 0, 0}, {63, 0, 255, 0}, {0, 63, 0, 255}, {32, 16, 130, 65}};
  for (const Expected& e : expected) {
    const irr::video::SColor pixel = shot->getPixel(e.x, e.y);
    EXPECT_EQ(pixel.getRed(), 255u) << e.x << "," << e.y;
    EXPECT_NEAR(pixel.getGreen(), e.green, 2) << e.x << "," << e.y;
    EXPECT_NEAR(pixel.getBlue(), e.blue, 2) << e.x << "," << e.y;
  }
  shot->drop();
}

}  // namespace
}  // namespace gv::engine
