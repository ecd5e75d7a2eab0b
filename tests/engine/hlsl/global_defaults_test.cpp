#include "engine/hlsl/global_defaults.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/hlsl/glsl_translation.h"

namespace gv::engine {
namespace {

TEST(GlobalDefaults, ReadsLiteralInitialisersAtFileScopeOnly) {
  struct Case {
    const char* declaration;
    std::vector<float> values;  // empty: no default recorded
  } cases[] = {
      {"float4 Tint = {1, 0.5, 0.25, 1};", {1, 0.5f, 0.25f, 1}},
      {"float Scale = - 2.5f;", {-2.5f}},
      {"float3 Dir = float3 ( 0 , -1 , 0.5 ) ;", {0, -1, 0.5f}},
      {"float2 Offsets[2] = {{1, 2}, {3, 4},};", {1, 2, 3, 4}},
      {"bool Enabled = true;", {1}},
      {"int Count : register(c4) = 3;", {3}},
      {"float Gloss < string UIName = \"a;b=c\"; > = 8;", {8}},
      {"uniform float4x4 M = float4x4(1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1);",
       {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
      {"float Computed = sin(1.0);", {}},
      {"float Sum = 1 - 2;", {}},
      {"float4 Other = Tint;", {}},
      {"float4 f() { float inside = 3; return inside; }", {}},
      {"struct S { float a; }; float after = 7;", {7}},
      {"#line 3 \"file.hlsl\"\nfloat Lined = 4;", {4}},
  };
  for (const Case& c : cases) {
    const std::vector<SGlobalDefault> found = scanGlobalDefaults(c.declaration);
    if (c.values.empty()) {
      EXPECT_TRUE(found.empty()) << c.declaration;
      continue;
    }
    ASSERT_EQ(found.size(), 1u) << c.declaration;
    EXPECT_EQ(found[0].Values, c.values) << c.declaration;
  }
  EXPECT_EQ(scanGlobalDefaults("float4 f() { return 1; }\nfloat4 Tint = 0.5;").at(0).Name,
            "Tint");
}

TEST(GlobalDefaults, TravelInsideTheCompiledCodeAndTranslationKeepsWorking) {
  ShaderCode code;
  std::string errors;
  const char* source =
      "float4 Tint = {1, 0.5, 0.25, 1};\n"
      "float4 psMain() : COLOR0 { return Tint; }\n";
  ASSERT_TRUE(compileHLSLPixelShader(source, "psMain", irr::video::EPST_PS_3_0, nullptr, nullptr,
                                     code, &errors))
      << errors;
  const std::vector<SGlobalDefault> defaults = readGlobalDefaults(code);
  ASSERT_EQ(defaults.size(), 1u);
  EXPECT_EQ(defaults[0], (SGlobalDefault{"Tint", {1, 0.5f, 0.25f, 1}}));

  // A second note with awkward numbers round-trips exactly.
  const SGlobalDefault extra{"Tiny", {1e-30f, -123456.789f, 0.1f}};
  embedGlobalDefaults(code, {extra});
  EXPECT_EQ(readGlobalDefaults(code).back(), extra);
  STranslatedShader shader;
  ASSERT_TRUE(translateToGLSL(code, false, shader, &errors)) << errors;
  EXPECT_EQ(shader.Table.findConstant("Tint")->Default, defaults[0].Values);
}

// Includes are read once per directive although the source is preprocessed twice, and
// effect constructs inside included files are blanked like those of the main file.
TEST(GlobalDefaults, ComeFromIncludesAndMacrosAsWell) {
  class Includes : public IIncludeCallback {
   public:
    std::map<std::string, std::string> files = {
        {"sub/defaults.hlsl",
         "texture TintMap;\n"
         "sampler2D Map = sampler_state { Texture = <TintMap>; };\n"
         "float4 Tint = TINT;\n"}};
    int opens = 0, closes = 0;
    bool Open(const char* name, const void** data, irr::u32* size) override {
      auto it = files.find(name);
      if (it == files.end()) return false;
      ++opens;
      *data = it->second.data();
      *size = static_cast<irr::u32>(it->second.size());
      return true;
    }
    void Close(const void*) override { ++closes; }
  } includes;
  const CGvMacro macros[] = {{"TINT", "{0.5, 0.5, 1, 1}"}, {nullptr, nullptr}};
  const char* source =
      "#include \"sub/defaults.hlsl\"\n"
      "float4 psMain(float2 uv : TEXCOORD0) : COLOR0 { return Tint * tex2D(Map, uv); }\n";
  ShaderCode code;
  std::string errors;
  ASSERT_TRUE(compileHLSLPixelShader(source, "psMain", irr::video::EPST_PS_3_0, macros,
                                     &includes, code, &errors, "main.fx"))
      << errors;
  EXPECT_EQ(includes.opens, 1);
  EXPECT_EQ(includes.closes, 1);
  const std::vector<SGlobalDefault> defaults = readGlobalDefaults(code);
  ASSERT_EQ(defaults.size(), 1u);
  EXPECT_EQ(defaults[0], (SGlobalDefault{"Tint", {0.5f, 0.5f, 1, 1}}));
}

}  // namespace
}  // namespace gv::engine
