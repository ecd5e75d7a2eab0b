// Drivers without programmable shaders (here the NULL driver) answer every addition with a
// failure and say so in the log.
#include "engine/hlsl/shader_programming.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/log/log.h"

namespace gv::engine {
namespace {

TEST(ShaderProgrammingWithoutShaders, EveryOperationFailsWithItsMessage) {
  irr::IrrlichtDevice* device = irr::createDevice(irr::video::EDT_NULL);
  ASSERT_NE(device, nullptr);
  std::unique_ptr<IShaderProgramming> programming =
      createShaderProgramming(device->getVideoDriver());
  const char* source = "float4 psMain() : COLOR0 { return 1; }\n";
  ShaderCode code = {0x07230203};
  SShaderConstantTable vertexTable, pixelTable;
  struct Case {
    const char* what;
    std::function<bool()> call;  // true when the call reported success
    const char* message;
  } cases[] = {
      {"compile vertex",
       [&] {
         return programming->compileHLSLVertexShader(source, "psMain", irr::video::EVST_VS_3_0,
                                                     nullptr, nullptr, code, nullptr, "");
       },
       "Compile vertex shader not available (yet) in this driver, sorry"},
      {"compile pixel",
       [&] {
         return programming->compileHLSLPixelShader(source, "psMain", irr::video::EPST_PS_3_0,
                                                    nullptr, nullptr, code, nullptr, "");
       },
       "Compile vertex shader not available (yet) in this driver, sorry"},
      {"create",
       [&] {
         return programming->addHighLevelShaderMaterialFromTokens(
                    &code, &code, nullptr, irr::scene::EPT_TRIANGLES,
                    irr::scene::EPT_TRIANGLE_STRIP, 0, nullptr, irr::video::EMT_SOLID, 0) != -1;
       },
       "compiled tokens shader materials not available (yet) in this driver, sorry"},
      {"update",
       [&] {
         return programming->updateHighLevelShaderMaterialFromTokens(0, &code, &code, nullptr);
       },
       "compiled tokens shader materials not available (yet) in this driver, sorry"},
      {"tables",
       [&] { return programming->getMaterialTypeConstantTables(0, vertexTable, pixelTable); },
       "material type contants tables not available (yet) in this driver, sorry"},
  };
  gvLogReset();
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(c.call()) << c.what;
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find(c.message), std::string::npos) << c.what << ": " << out;
  }
  EXPECT_EQ(code, ShaderCode{0x07230203});
  programming.reset();
  device->drop();
}

}  // namespace
}  // namespace gv::engine
