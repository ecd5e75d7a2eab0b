// The GLSL text made from HLSL programs compiles and links in Irrlicht's OpenGL driver (Mesa's
// software rasteriser under an X virtual frame buffer).
#include "engine/device.h"
#include "engine/hlsl/glsl_translation.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace gv::engine {
namespace {

std::string translatedFixture(const char* entry, bool isVertex, const CGvMacro* macros) {
  std::ifstream file(std::string(GAVO_SHADER_FIXTURES) + "/link.hlsl");
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

TEST(GlslLink, TranslatedProgramPairsLinkInTheOpenGLDriver) {
  if (!platform::hasDisplay()) GTEST_SKIP() << "no X display: run under xvfb-run (./test does)";
  irr::SIrrlichtCreationParameters parameters;
  parameters.DriverType = irr::video::EDT_OPENGL;
  parameters.WindowSize = {64, 64};
  irr::IrrlichtDevice* device = createDevice(parameters);
  if (!device) GTEST_SKIP() << "the display offers no OpenGL window";
  irr::video::IGPUProgrammingServices* gpu = device->getVideoDriver()->getGPUProgrammingServices();
  ASSERT_NE(gpu, nullptr);
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
  device->drop();
}

}  // namespace
}  // namespace gv::engine
