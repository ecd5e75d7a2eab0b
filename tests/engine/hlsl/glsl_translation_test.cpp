#include "engine/hlsl/glsl_translation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace gv::engine {
namespace {

using irr::video::EPST_PS_3_0;
using irr::video::EVST_VS_3_0;

STranslatedShader translate(const char* source, bool isVertex) {
  ShaderCode code;
  std::string errors;
  const char* entry = isVertex ? "vsMain" : "psMain";
  bool compiled = isVertex ? compileHLSLVertexShader(source, entry, EVST_VS_3_0, nullptr, nullptr,
                                                     code, &errors)
                           : compileHLSLPixelShader(source, entry, EPST_PS_3_0, nullptr, nullptr,
                                                    code, &errors);
  EXPECT_TRUE(compiled) << errors;
  STranslatedShader shader;
  EXPECT_TRUE(translateToGLSL(code, isVertex, shader, &errors)) << errors;
  if (getenv("GAVO_PRINT_GLSL")) printf("%s\n", shader.Glsl.c_str());
  return shader;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const char* kVertexProgram = R"(
float Scale;
float4x4 WorldViewProj;
float3 LightDir;
float4 Bones[3];
float4x3 World;
struct VsOut {
  float4 pos : POSITION; float2 uv : TEXCOORD0; float3 n : TEXCOORD1; float4 c : COLOR0;
};
VsOut vsMain(float3 pos : POSITION, float3 n : NORMAL, float2 uv : TEXCOORD0, float4 c : COLOR0,
             float3 t : TANGENT) {
  VsOut o;
  o.pos = mul(float4(pos * Scale, 1), WorldViewProj);
  o.uv = uv + Bones[2].xy;
  o.n = n * LightDir + t + mul(float4(pos, 1), World);
  o.c = c;
  return o;
}
)";

TEST(GlslTranslation, VertexInputsComeFromIrrlichtArraysAndPositionReachesGlPosition) {
  const STranslatedShader shader = translate(kVertexProgram, true);
  const std::string& glsl = shader.Glsl;
  EXPECT_EQ(glsl.rfind("#version 330 compatibility\n", 0), 0u) << glsl;
  EXPECT_TRUE(contains(glsl, "#define gv_in_POSITION (gl_Vertex.xyz)")) << glsl;
  EXPECT_TRUE(contains(glsl, "#define gv_in_NORMAL (gl_Normal.xyz)")) << glsl;
  EXPECT_TRUE(contains(glsl, "#define gv_in_TEXCOORD0 (gl_MultiTexCoord0.xy)")) << glsl;
  EXPECT_TRUE(contains(glsl, "#define gv_in_COLOR0 (gl_Color)")) << glsl;
  EXPECT_TRUE(contains(glsl, "#define gv_in_TANGENT (gl_MultiTexCoord1.xyz)")) << glsl;
  EXPECT_TRUE(contains(glsl, "#define gv_var_POSITION gl_Position")) << glsl;
  EXPECT_TRUE(contains(glsl, "out vec2 gv_var_TEXCOORD0;")) << glsl;
  EXPECT_FALSE(contains(glsl, "location")) << glsl;
  EXPECT_FALSE(contains(glsl, "in vec3 gv_in_POSITION;")) << glsl;
}

TEST(GlslTranslation, ConstantTableCountsRegistersAsDirect3D9) {
  const SShaderConstantTable table = translate(kVertexProgram, true).Table;
  struct Expected {
    const char* name;
    int first, count;
  } expected[] = {{"Scale", 0, 1}, {"WorldViewProj", 1, 4}, {"LightDir", 5, 1},
                  {"Bones", 6, 3}, {"World", 9, 3}};
  ASSERT_EQ(table.Constants.size(), std::size(expected));
  for (const Expected& e : expected) {
    const SShaderConstantDesc* constant = table.findConstant(e.name);
    ASSERT_NE(constant, nullptr) << e.name;
    EXPECT_EQ(constant->RegisterIndex, e.first) << e.name;
    EXPECT_EQ(constant->RegisterCount, e.count) << e.name;
    EXPECT_LE(constant->Offset + constant->Size, table.BufferSize) << e.name;
  }
  EXPECT_EQ(table.findConstant("Missing"), nullptr);
  EXPECT_EQ(table.BlockName, "gv_VertexConstants");
}

const char* kPixelProgram = R"(
sampler2D Diffuse;
sampler2D Normals;
float4 Tint;
float4 psMain(float2 uv : TEXCOORD0, float2 vpos : VPOS, float face : VFACE) : COLOR0 {
  float4 c = tex2D(Diffuse, uv) + tex2D(Normals, uv * 2);
  return float4(fmod(c.rgb, Tint.rgb), face) + vpos.xyxy;
}
)";

TEST(GlslTranslation, PixelFixupsAndSamplerUnits) {
  const STranslatedShader shader = translate(kPixelProgram, false);
  const std::string& glsl = shader.Glsl;
  EXPECT_TRUE(contains(glsl, "in vec2 gv_var_TEXCOORD0;")) << glsl;
  EXPECT_TRUE(contains(
      glsl, "layout(origin_upper_left, pixel_center_integer) in vec4 gl_FragCoord;"))
      << glsl;
  EXPECT_TRUE(contains(glsl, "#define gv_in_VPOS (gl_FragCoord.xy)")) << glsl;
  EXPECT_TRUE(contains(glsl, "#define gv_in_VFACE (gl_FrontFacing ? 1.0 : -1.0)")) << glsl;
  EXPECT_TRUE(contains(glsl, "gv_fmod(")) << glsl;
  EXPECT_FALSE(contains(glsl, " mod(")) << glsl;
  const SShaderConstantTable& table = shader.Table;
  ASSERT_EQ(table.Samplers.size(), 2u);
  ASSERT_NE(table.findSampler("Diffuse"), nullptr);
  ASSERT_NE(table.findSampler("Normals"), nullptr);
  EXPECT_NE(table.findSampler("Diffuse")->Unit, table.findSampler("Normals")->Unit);
  EXPECT_TRUE(contains(glsl, "uniform sampler2D " + table.findSampler("Diffuse")->GlslName))
      << glsl;
  ASSERT_NE(table.findConstant("Tint"), nullptr);
  EXPECT_EQ(table.BlockName, "gv_PixelConstants");
}

TEST(GlslTranslation, PixelInputsFitTheVertexOutputs) {
  const char* source = R"(
struct VsOut {
  float4 pos : POSITION; float2 uv : TEXCOORD0; float4 wide : TEXCOORD1; float narrow : TEXCOORD2;
};
VsOut vsMain(float4 pos : POSITION) {
  VsOut o; o.pos = pos; o.uv = pos.xy; o.wide = pos; o.narrow = pos.x; return o;
}
float4 psMain(float2 uv : TEXCOORD0, float4 extra : TEXCOORD3, float2 wide : TEXCOORD1,
              float3 narrow : TEXCOORD2) : COLOR0 {
  return float4(uv, 0, 1) + extra + wide.xyxy + narrow.xyzz;
}
)";
  const std::string vertex = translate(source, true).Glsl;
  std::string pixel = translate(source, false).Glsl;
  ASSERT_TRUE(contains(pixel, "in vec4 gv_var_TEXCOORD3;")) << pixel;
  matchInterpolators(vertex, pixel);
  EXPECT_TRUE(contains(pixel, "in vec2 gv_var_TEXCOORD0;")) << pixel;
  // Never written: a constant zero.
  EXPECT_FALSE(contains(pixel, "in vec4 gv_var_TEXCOORD3;")) << pixel;
  EXPECT_TRUE(contains(pixel, "const vec4 gv_var_TEXCOORD3 = vec4(0);")) << pixel;
  // Written wider or narrower: declared as written, read with the components asked for.
  EXPECT_TRUE(contains(pixel, "in vec4 gv_var_TEXCOORD1;")) << pixel;
  EXPECT_TRUE(contains(pixel, "(gv_var_TEXCOORD1.xy)")) << pixel;
  EXPECT_TRUE(contains(pixel, "in float gv_var_TEXCOORD2;")) << pixel;
  EXPECT_TRUE(contains(pixel, "vec3(gv_var_TEXCOORD2, 0.0, 0.0)")) << pixel;
  EXPECT_FALSE(contains(pixel, "in vec2 gv_var_TEXCOORD1;")) << pixel;
}

// A sampler's unit is its register: declaration order, or N for register(sN), never shifted
// by the constant block.
TEST(GlslTranslation, SamplerUnitsAreTheirRegisters) {
  const char* source = R"(
float4 Tint;
sampler2D First;
sampler2D Fixed : register(s3);
sampler2D Second;
float4 psMain(float2 uv : TEXCOORD0) : COLOR0 {
  return Tint * tex2D(First, uv) * tex2D(Fixed, uv) * tex2D(Second, uv);
}
)";
  const SShaderConstantTable table = translate(source, false).Table;
  struct Expected {
    const char* name;
    int unit;
  } expected[] = {{"First", 0}, {"Second", 1}, {"Fixed", 3}};
  for (const Expected& e : expected) {
    ASSERT_NE(table.findSampler(e.name), nullptr) << e.name;
    EXPECT_EQ(table.findSampler(e.name)->Unit, e.unit) << e.name;
  }
}

TEST(GlslTranslation, RejectsDamagedCode) {
  STranslatedShader shader;
  std::string errors;
  EXPECT_FALSE(translateToGLSL(ShaderCode{0x07230203, 1, 2}, true, shader, &errors));
  EXPECT_FALSE(errors.empty());
}

}  // namespace
}  // namespace gv::engine
