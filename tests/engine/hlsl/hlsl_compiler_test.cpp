#include "engine/hlsl/hlsl_compiler.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace gv::engine {
namespace {

using irr::video::EPST_PS_3_0;
using irr::video::EVST_VS_3_0;

constexpr std::uint32_t kSpirvMagic = 0x07230203;

// Include files served from memory; counts opens and closes so that leaks show.
class MemoryIncludes : public IIncludeCallback {
 public:
  std::map<std::string, std::string> files;
  std::vector<std::string> opened;
  int open = 0;
  bool Open(const char* name, const void** data, irr::u32* size) override {
    opened.push_back(name);
    auto it = files.find(name);
    if (it == files.end()) return false;
    ++open;
    *data = it->second.data();
    *size = static_cast<irr::u32>(it->second.size());
    return true;
  }
  void Close(const void*) override { --open; }
};

const char* kVertexProgram = R"(
float4x4 WorldViewProj;
struct VsOut { float4 pos : POSITION; float2 uv : TEXCOORD0; };
VsOut vsMain(float4 pos : POSITION, float2 uv : TEXCOORD0) {
  VsOut o;
  o.pos = mul(pos, WorldViewProj);
  o.uv = uv * SCALE;
  return o;
}
)";

const char* kPixelProgram = R"(
#include "common.hlsl"
sampler2D Diffuse;
float4 psMain(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(Diffuse, uv) * tint(); }
)";

TEST(HlslCompiler, CompilesBothStagesWithMacrosAndNestedIncludes) {
  const CGvMacro macros[] = {{"SCALE", "2.0"}, {nullptr, nullptr}};
  ShaderCode code;
  std::string errors;
  ASSERT_TRUE(compileHLSLVertexShader(kVertexProgram, "vsMain", EVST_VS_3_0, macros, nullptr,
                                      code, &errors, "vs.hlsl"))
      << errors;
  ASSERT_GT(code.size(), 5u);
  EXPECT_EQ(code[0], kSpirvMagic);

  MemoryIncludes includes;
  includes.files["common.hlsl"] =
      "#include \"sub/colour.hlsl\"\nfloat4 tint() { return COLOUR; }\n";
  includes.files["sub/colour.hlsl"] = "#define COLOUR float4(1, 0.5, 0, 1)\n";
  code.clear();
  ASSERT_TRUE(compileHLSLPixelShader(kPixelProgram, "psMain", EPST_PS_3_0, nullptr, &includes,
                                     code, &errors, "ps.hlsl"))
      << errors;
  EXPECT_EQ(code[0], kSpirvMagic);
  EXPECT_EQ(includes.opened, (std::vector<std::string>{"common.hlsl", "sub/colour.hlsl"}));
  EXPECT_EQ(includes.open, 0);
}

TEST(HlslCompiler, TakesMoreThanNineteenMacros) {
  std::vector<std::string> names;
  std::vector<CGvMacro> macros;
  for (int i = 0; i < 40; ++i) names.push_back("M" + std::to_string(i));
  for (const auto& name : names) macros.push_back({name.c_str(), "1"});
  macros.push_back({"EMPTY", nullptr});
  macros.push_back({nullptr, nullptr});
  const char* source =
      "float4 psMain() : COLOR0 { return float4(M0, M19, M39, 1 EMPTY); }\n";
  ShaderCode code;
  std::string errors;
  EXPECT_TRUE(compileHLSLPixelShader(source, "psMain", EPST_PS_3_0, macros.data(), nullptr, code,
                                     &errors))
      << errors;
}

// Failures give the compiler's message naming the file and the line, and leave the code alone.
TEST(HlslCompiler, FailuresReportFileAndLine) {
  struct Case {
    const char* what;
    const char* source;
    const char* entry;
    const char* expected;
  } cases[] = {
      {"syntax error", "float4 psMain() : COLOR0 {\n  return float4(1, 1, 1, 1)\n}\n", "psMain",
       "broken.hlsl:3"},
      {"missing include", "\n#include \"absent.hlsl\"\nfloat4 psMain() : COLOR0 { return 1; }\n",
       "psMain", "broken.hlsl:2"},
      {"unknown entry", "float4 psMain() : COLOR0 { return 1; }\n", "nothere", "nothere"},
      {"error directive", "#if !defined(NEEDED)\n#error NEEDED missing\n#endif\n", "psMain",
       "broken.hlsl:2"},
  };
  for (const Case& c : cases) {
    MemoryIncludes includes;
    ShaderCode code = {42};
    std::string errors;
    EXPECT_FALSE(compileHLSLPixelShader(c.source, c.entry, EPST_PS_3_0, nullptr, &includes, code,
                                        &errors, "broken.hlsl"))
        << c.what;
    EXPECT_NE(errors.find(c.expected), std::string::npos) << c.what << ": " << errors;
    EXPECT_EQ(code, ShaderCode{42}) << c.what;
    EXPECT_EQ(includes.open, 0) << c.what;
  }
}

TEST(HlslCompiler, RejectsTargetsOutsideTheTables) {
  ShaderCode code;
  std::string errors;
  EXPECT_FALSE(compileHLSLVertexShader(kVertexProgram, "vsMain",
                                       irr::video::E_VERTEX_SHADER_TYPE(irr::video::EVST_COUNT),
                                       nullptr, nullptr, code, &errors));
  EXPECT_FALSE(compileHLSLPixelShader(kPixelProgram, "psMain",
                                      irr::video::E_PIXEL_SHADER_TYPE(-1), nullptr, nullptr,
                                      code, &errors));
  EXPECT_TRUE(code.empty());
}

const char* kEffectFile = R"(texture DiffuseMap < string ResourceName = "a;b.png"; >;
sampler2D Diffuse = sampler_state {
  Texture = <DiffuseMap>;
  MinFilter = Linear;
};
float4 Tint = {1, 1, 1, 1};
float4 psMain(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(Diffuse, uv) * Tint; }
technique Main {
  pass P0 { PixelShader = compile ps_3_0 psMain(); }
}
)";

TEST(HlslCompiler, BlanksEffectConstructsKeepingLines) {
  const std::string blanked = blankEffectConstructs(kEffectFile);
  ASSERT_EQ(blanked.size(), std::string(kEffectFile).size());
  for (size_t i = 0; i < blanked.size(); ++i)
    EXPECT_EQ(blanked[i] == '\n', kEffectFile[i] == '\n') << "at " << i;
  EXPECT_EQ(blanked.find("texture"), std::string::npos);
  EXPECT_EQ(blanked.find("sampler_state"), std::string::npos);
  EXPECT_EQ(blanked.find("technique"), std::string::npos);
  EXPECT_EQ(blanked.find("pass"), std::string::npos);
  EXPECT_NE(blanked.find("sampler2D Diffuse"), std::string::npos);
  EXPECT_NE(blanked.find("float4 Tint = {1, 1, 1, 1};"), std::string::npos);
  EXPECT_NE(blanked.find("tex2D(Diffuse, uv)"), std::string::npos);

  ShaderCode code;
  std::string errors;
  EXPECT_TRUE(compileHLSLPixelShader(kEffectFile, "psMain", EPST_PS_3_0, nullptr, nullptr, code,
                                     &errors, "effect.fx"))
      << errors;
  std::string broken = std::string(kEffectFile) + "float4 x = ;\n";
  EXPECT_FALSE(compileHLSLPixelShader(broken.c_str(), "psMain", EPST_PS_3_0, nullptr, nullptr,
                                      code, &errors, "effect.fx"));
  EXPECT_NE(errors.find("effect.fx:11"), std::string::npos) << errors;
}

TEST(HlslCompiler, LeavesTextureUsesAndCommentsAlone) {
  const std::string source =
      "// technique in a comment { \n"
      "float4 f(float texture) { return texture; }\n"
      "struct S { texture t; };\n";
  const std::string blanked = blankEffectConstructs(source);
  EXPECT_NE(blanked.find("return texture;"), std::string::npos);
  EXPECT_NE(blanked.find("texture t;"), std::string::npos);
}

}  // namespace
}  // namespace gv::engine
