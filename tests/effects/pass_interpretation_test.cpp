#include "effects/defs/pass_interpretation.h"

#include "app/log/log.h"
#include "resources/files/files.h"
#include "stringc_matchers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace gv;
using namespace irr::video;
using irr::u8;

SShader shader(s32 stage, const char* source, s32 target, std::initializer_list<const char*> macros = {}) {
  SShader s;
  s.Stage = stage;
  s.Source = source;
  s.Entry = stage == ESS_VERTEX ? "vsMain" : "psMain";
  s.Target = target;
  for (const char* m : macros) s.Macros.push_back(m);
  return s;
}

// A definition with one technique of one pass that tests fill in.
class PassTest : public testing::Test {
 protected:
  void SetUp() override {
    def.Techniques.push_back(STechnique());
    def.Techniques[0].Passes.push_back(SPass());
  }
  SPass& pass() { return def.Techniques[0].Passes[0]; }
  void state(const char* name, const char* value) { pass().States.push_back(SState(name, value, "", 0)); }

  CGvEffectDef def{"/fx/dir/effect.fx", false};
  stringc error;
};

TEST_F(PassTest, ProgramsComeFromTheVertexAndPixelShaders) {
  pass().Shaders.push_back(shader(ESS_VERTEX, "file:///fx/first.hlsl", EST_VS_1_1));
  pass().Shaders.push_back(shader(3, "", 0));  // other stages are skipped
  pass().Shaders.push_back(shader(ESS_PIXEL, "effect.fx", EST_PS_2_0));
  pass().Shaders.push_back(shader(ESS_VERTEX, "c:file://later.hlsl", EST_VS_3_0));
  SPassPrograms programs;
  ASSERT_TRUE(readPassPrograms(def, &pass(), programs, error)) << error.c_str();
  EXPECT_EQ("later.hlsl", programs.VertexFile);
  EXPECT_EQ("vsMain", programs.VertexEntry);
  EXPECT_EQ(EVST_VS_3_0, programs.VertexTarget);
  EXPECT_EQ("effect.fx", programs.PixelFile);
  EXPECT_EQ("psMain", programs.PixelEntry);
  EXPECT_EQ(EPST_PS_2_0, programs.PixelTarget);
}

TEST_F(PassTest, ProgramsWithoutShadersKeepTheDefaults) {
  SPassPrograms programs;
  ASSERT_TRUE(readPassPrograms(def, &pass(), programs, error));
  EXPECT_EQ("", programs.VertexFile);
  EXPECT_EQ("main", programs.PixelEntry);
  EXPECT_EQ(EVST_VS_1_1, programs.VertexTarget);
  EXPECT_EQ(EPST_PS_1_1, programs.PixelTarget);
  EXPECT_FALSE(readPassPrograms(def, nullptr, programs, error));
  EXPECT_EQ("Failed to get pass description", error);
}

TEST_F(PassTest, ProgramErrors) {
  struct Case {
    SShader shader;
    const char* error;
  } cases[] = {
      {shader(ESS_VERTEX, "file://", EST_VS_3_0), "Inconsistent Vertex Shader Filename file://"},
      {shader(ESS_PIXEL, "", EST_PS_3_0), "Inconsistent Pixel Shader Filename "},
      {shader(ESS_VERTEX, "a.fx", EST_PS_3_0), "Unsupported Vertex Compiler target"},
      {shader(ESS_VERTEX, "a.fx", EST_NONE), "Unsupported Vertex Compiler target"},
      {shader(ESS_PIXEL, "a.fx", EST_VS_3_0), "Unsupported Pixel Compiler target"},
      {shader(ESS_PIXEL, "a.fx", 7), "Unsupported Pixel Compiler target"},
  };
  for (const Case& c : cases) {
    pass().Shaders.clear();
    pass().Shaders.push_back(c.shader);
    SPassPrograms programs;
    EXPECT_FALSE(readPassPrograms(def, &pass(), programs, error)) << c.error;
    EXPECT_EQ(c.error, error);
  }
}

TEST_F(PassTest, BlendStatesMakeAOneTextureBlendMaterial) {
  struct Case {
    const char* enable;
    const char* src;   // null: no state
    const char* dest;
    u32 bits;
  } cases[] = {
      {"TRUE", nullptr, "ONE_MINUS_SRC_ALPHA", 0x2117},
      {"true", "src_alpha", "one_minus_src_alpha", 0x2167},
      {"true", nullptr, nullptr, 0x2110},
      {"true", "DEST_COLOR", "NOPE", 0x2121},  // an unknown word gives ONE
      {"true", "SRC_ALPHA_SATURATE", "ZERO", 0x21A0},
  };
  for (const Case& c : cases) {
    pass().States.clear();
    state("blend_enable", c.enable);
    state("blend_equation", "ADD");
    if (c.src) state("blend_func src", c.src);
    if (c.dest) state("blend_func dest", c.dest);
    s32 type = 0;
    f32 param = 0;
    ASSERT_TRUE(readPassMaterial(def, &pass(), type, param, error));
    EXPECT_EQ(EMT_ONETEXTURE_BLEND, type);
    EXPECT_EQ(c.bits, irr::core::IR(param)) << std::hex << c.bits;
  }
}

TEST_F(PassTest, BaseMaterialAnnotation) {
  struct Case {
    const char* word;
    s32 type;
    u32 bits;
  } cases[] = {
      {"solid", EMT_SOLID, 0},
      {"Transparent_Add_Color", EMT_TRANSPARENT_ADD_COLOR, 0},
      {"transparent_vertex_alpha", EMT_TRANSPARENT_VERTEX_ALPHA, 0},
      {"transparent", EMT_TRANSPARENT_ALPHA_CHANNEL, 0},
      {"transparent_alpha_channel", EMT_TRANSPARENT_ALPHA_CHANNEL, 0},
      {"transparent_alpha_channel_ref", EMT_TRANSPARENT_ALPHA_CHANNEL_REF, 0},
      {"transparent_one_one", EMT_ONETEXTURE_BLEND, 0x111},
      {"transparent_sub_color", EMT_ONETEXTURE_BLEND, 0x105},
  };
  for (const Case& c : cases) {
    pass().Annotations.clear();
    pass().Annotations.push_back(SParameter("baseMaterial", c.word));
    state("blend_enable", "false");  // blending off: the annotation decides
    s32 type = -2;
    f32 param = 0;
    ASSERT_TRUE(readPassMaterial(def, &pass(), type, param, error)) << c.word;
    EXPECT_EQ(c.type, type) << c.word;
    EXPECT_EQ(c.bits, irr::core::IR(param)) << c.word;
  }
  pass().Annotations[0].Value = "glass";
  s32 type = 0;
  f32 param = 0;
  EXPECT_FALSE(readPassMaterial(def, &pass(), type, param, error));
  EXPECT_EQ("Invalid base material annotation glass", error);
  pass().Annotations.clear();
  ASSERT_TRUE(readPassMaterial(def, &pass(), type, param, error));
  EXPECT_EQ(-1, type);
}

TEST_F(PassTest, ShaderMacroLines) {
  pass().Shaders.push_back(shader(ESS_VERTEX, "a.fx", EST_VS_3_0,
                                  {"#define USE_FOG", "  #define\tDENSITY \t 0.5 * 2", "#defineX 1"}));
  Array<SShaderMacro> macros;
  ASSERT_TRUE(parseShaderMacros(def, &pass().Shaders[0], macros, error));
  ASSERT_EQ(3u, macros.size());
  EXPECT_EQ("USE_FOG", macros[0].Name);
  EXPECT_EQ("", macros[0].Definition);
  EXPECT_EQ("DENSITY", macros[1].Name);
  EXPECT_EQ("0.5 * 2", macros[1].Definition);
  EXPECT_EQ("X", macros[2].Name);

  struct Case {
    const char* line;
    const char* error;
  } cases[] = {{"USE_FOG 1", "Invalid source inline : no #define"},
               {"#define \t ", "Invalid source inline : malformed after #define"}};
  for (const Case& c : cases) {
    pass().Shaders[0].Macros.clear();
    pass().Shaders[0].Macros.push_back(c.line);
    Array<SShaderMacro> none;
    EXPECT_FALSE(parseShaderMacros(def, &pass().Shaders[0], none, error));
    EXPECT_EQ(c.error, error);
  }
  EXPECT_FALSE(parseShaderMacros(def, nullptr, macros, error));
  EXPECT_EQ("Failed to get Shader Desc", error);
}

TEST_F(PassTest, TheFirstDefinitionOfAMacroWinsWithAWarning) {
  pass().Shaders.push_back(shader(ESS_VERTEX, "a.fx", EST_VS_3_0, {"#define A 2", "#define B"}));
  pass().Shaders.push_back(shader(ESS_PIXEL, "a.fx", EST_PS_3_0, {"#define B", "#define C 3"}));
  CGvMacro caller[] = {{"A", "1"}, {"", "skipped"}, {"D", nullptr}, {nullptr, nullptr}};
  SPassMaterialPlan plan;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(planPassMaterial(def, &pass(), {}, -1, caller, plan, error)) << error.c_str();
  std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(std::string::npos,
            log.find("Warning: when merging macros, duplicate A with different definitions '1' and '2' "))
      << log;
  EXPECT_EQ(std::string::npos, log.find("duplicate B"));
  const CGvMacro* list = plan.Macros.get();
  ASSERT_NE(nullptr, list);
  const char* const expected[][2] = {{"A", "1"}, {"D", nullptr}, {"B", nullptr}, {"C", "3"}};
  for (const auto& e : expected) {
    ASSERT_NE(nullptr, list->Name);
    EXPECT_STREQ(e[0], list->Name);
    if (e[1]) EXPECT_STREQ(e[1], list->Definition); else EXPECT_EQ(nullptr, list->Definition);
    ++list;
  }
  EXPECT_EQ(nullptr, list->Name);
  EXPECT_EQ(nullptr, list->Definition);
  EXPECT_EQ(EMT_SOLID, plan.BaseMaterial);
  // A copy owns its own texts.
  CGvMacroList copy = plan.Macros;
  plan.Macros = CGvMacroList();
  EXPECT_EQ(nullptr, plan.Macros.get());
  EXPECT_STREQ("C", copy.get()[3].Name);
}

TEST_F(PassTest, PlanPicksTheBaseMaterial) {
  pass().Shaders.push_back(shader(ESS_VERTEX, "a.fx", EST_VS_3_0));
  pass().Shaders.push_back(shader(ESS_PIXEL, "a.fx", EST_PS_3_0));
  SPassMaterialPlan plan;
  ASSERT_TRUE(planPassMaterial(def, &pass(), {}, EMT_TRANSPARENT_ADD_COLOR, nullptr, plan, error));
  EXPECT_EQ(EMT_TRANSPARENT_ADD_COLOR, plan.BaseMaterial);
  EXPECT_EQ(nullptr, plan.Macros.get());
  pass().Annotations.push_back(SParameter("baseMaterial", "transparent"));
  ASSERT_TRUE(planPassMaterial(def, &pass(), {}, EMT_TRANSPARENT_ADD_COLOR, nullptr, plan, error));
  EXPECT_EQ(EMT_TRANSPARENT_ALPHA_CHANNEL, plan.BaseMaterial);
  pass().Shaders[1].Target = EST_NONE;
  EXPECT_FALSE(planPassMaterial(def, &pass(), {}, -1, nullptr, plan, error));
  EXPECT_EQ("Unsupported Pixel Compiler target", error);
}

TEST(ShaderPaths, BesideTheDefinitionThenTheSearchDirectories) {
  testing::internal::CaptureStdout();
  usePlainFiles();
  testing::internal::GetCapturedStdout();
  setDirectory("");
  test::TempDir dir;
  dir.write("fx/beside.hlsl", "");
  dir.write("shaders/common.hlsl", "");
  dir.write("more/common.hlsl", "");
  dir.write("more/only.hlsl", "");
  CGvEffectDef def((dir.path() + "/fx/effect.fx").c_str(), false);
  Array<stringc> search;
  search.push_back((dir.path() + "/shaders").c_str());
  search.push_back((dir.path() + "/more").c_str());
  EXPECT_EQ(stringc((dir.path() + "/fx/beside.hlsl").c_str()), resolveShaderPath(def, search, "beside.hlsl"));
  EXPECT_EQ(stringc((dir.path() + "/shaders/common.hlsl").c_str()), resolveShaderPath(def, search, "common.hlsl"));
  EXPECT_EQ(stringc((dir.path() + "/more/only.hlsl").c_str()), resolveShaderPath(def, search, "only.hlsl"));
  EXPECT_EQ("missing.hlsl", resolveShaderPath(def, search, "missing.hlsl"));
}

TEST_F(PassTest, RenderStatesOnTheMaterial) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> states;
    u8 flags;
    u8 zbuffer;
    bool zwrite;
    bool pointSprites;
  } cases[] = {
      {{}, 0, ECFN_LESSEQUAL, true, false},
      {{{"depth_func", "GREATER"}}, EPSF_DEPTH_FUNC, ECFN_GREATER, true, false},
      {{{"depth_func", "ALWAYS"}, {"depth_func", "less"}}, EPSF_DEPTH_FUNC, ECFN_ALWAYS, true, false},
      {{{"depth_func", "NOTEQUAL"}, {"depth_func", "GEQUAL"}}, EPSF_DEPTH_FUNC, ECFN_GREATEREQUAL, true, false},
      {{{"depth_func", "EQUAL"}, {"depth_mask", "false"}}, EPSF_DEPTH_FUNC | EPSF_DEPTH_MASK, ECFN_EQUAL, false, false},
      {{{"depth_mask", "TRUE"}}, EPSF_DEPTH_MASK, ECFN_LESSEQUAL, false, false},  // exactly "true"
      {{{"depth_test_enable", "false"}, {"depth_mask", "true"}},
       EPSF_DEPTH_TEST_ENABLE | EPSF_DEPTH_MASK, ECFN_NEVER, false, false},
      // The switch and the function are separate states: their order does not matter.
      {{{"depth_test_enable", "false"}, {"depth_func", "LESS"}},
       EPSF_DEPTH_TEST_ENABLE | EPSF_DEPTH_FUNC, ECFN_NEVER, false, false},
      {{{"depth_test_enable", "true"}, {"depth_func", "LESS"}},
       EPSF_DEPTH_TEST_ENABLE | EPSF_DEPTH_FUNC, ECFN_LESS, true, false},
      {{{"point_size_enable", "true"}, {"blend_enable", "true"}, {"texture2D", ""}},
       EPSF_POINT_SIZE_ENABLE, ECFN_LESSEQUAL, true, true},
  };
  for (const Case& c : cases) {
    pass().States.clear();
    for (const auto& [name, value] : c.states) state(name, value);
    SMaterial material;
    material.ZBuffer = ECFN_LESSEQUAL;
    SPassStates states;
    ASSERT_TRUE(applyPassStates(def, &pass(), material, states, error));
    std::string label = c.states.empty() ? "none" : c.states[0].first;
    EXPECT_EQ(c.flags, states.Flags) << label;
    EXPECT_EQ(c.zbuffer, material.ZBuffer) << label;
    EXPECT_EQ(c.pointSprites, states.PointSprites) << label;
    EXPECT_EQ(c.zwrite, material.ZWriteEnable) << label;
  }
  SMaterial material;
  SPassStates states;
  EXPECT_FALSE(applyPassStates(def, nullptr, material, states, error));
  EXPECT_EQ("Failed to get pass description", error);
}

TEST_F(PassTest, NeverPassingDepthWritesNothing) {
  state("depth_func", "NEVER");
  state("depth_mask", "true");
  SMaterial material;
  SPassStates states;
  ASSERT_TRUE(applyPassStates(def, &pass(), material, states, error));
  EXPECT_EQ(ECP_NONE, material.ColorMask);
  EXPECT_FALSE(material.ZWriteEnable);
  EXPECT_NE(ECFN_NEVER, material.ZBuffer);  // ECFN_NEVER would switch the test off
}

TEST_F(PassTest, CullStates) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> states;
    bool back, front;
  } cases[] = {
      {{{"cull_face_enable", "false"}}, false, false},
      {{{"cull_face_enable", "true"}}, true, false},
      {{{"cull_face", "FRONT"}, {"cull_face_enable", "true"}}, false, true},
      {{{"cull_face", "FRONT_AND_BACK"}}, true, true},
      {{{"cull_face", "FRONT"}, {"cull_face_enable", "false"}}, false, false},
  };
  for (const Case& c : cases) {
    pass().States.clear();
    for (const auto& [name, value] : c.states) state(name, value);
    SMaterial material;
    SPassStates states;
    ASSERT_TRUE(applyPassStates(def, &pass(), material, states, error));
    EXPECT_EQ(c.back, material.BackfaceCulling) << c.states[0].second;
    EXPECT_EQ(c.front, material.FrontfaceCulling) << c.states[0].second;
    EXPECT_EQ(EPSF_CULL, states.Flags);
  }
}

TEST(SamplerWords, WrapModes) {
  struct Case {
    const char* word;
    E_TEXTURE_CLAMP mode;
  } cases[] = {
      {nullptr, ETC_REPEAT},          {"", ETC_REPEAT},
      {"WRAP", ETC_REPEAT},           {"REPEAT", ETC_REPEAT},
      {"CLAMP", ETC_CLAMP},           {"CLAMP_TO_EDGE", ETC_CLAMP_TO_EDGE},
      {"BORDER", ETC_CLAMP_TO_BORDER}, {"CLAMP_TO_BORDER", ETC_CLAMP_TO_BORDER},
      {"MIRROR", ETC_MIRROR},         {"MIRRORED_REPEAT", ETC_MIRROR_CLAMP},
      {"MIRROR_CLAMP", ETC_MIRROR_CLAMP}, {"MIRROR_CLAMP_TO_EDGE", ETC_MIRROR_CLAMP_TO_EDGE},
      {"MIRROR_ONCE", ETC_MIRROR_CLAMP_TO_BORDER}, {"MIRROR_CLAMP_TO_BORDER", ETC_MIRROR_CLAMP_TO_BORDER},
      {"clamp", ETC_REPEAT},          {"NONE", ETC_REPEAT},
  };
  for (const Case& c : cases) EXPECT_EQ(c.mode, wrapModeFromWord(c.word)) << (c.word ? c.word : "null");
}

TEST(SamplerWords, Filters) {
  struct Case {
    const char *min, *mag, *mip;
    bool bilinear, trilinear;
    u8 anisotropy;
  } cases[] = {
      {"", "", "", true, false, 0},
      {"NEAREST", "", "", false, false, 0},
      {"NEAREST", "LINEAR", "", true, false, 0},
      {"LINEAR", "NEAREST", "LINEAR", false, true, 0},
      {"ANISOTROPIC", "", "NONE", true, false, 8},
      {"linear", "nearest", "linear", true, false, 0},
  };
  for (const Case& c : cases) {
    SFilterSettings f = filtersFromWords(c.min, c.mag, c.mip);
    EXPECT_EQ(c.bilinear, f.Bilinear) << c.min << "/" << c.mag << "/" << c.mip;
    EXPECT_EQ(c.trilinear, f.Trilinear) << c.min << "/" << c.mag << "/" << c.mip;
    EXPECT_EQ(c.anisotropy, f.Anisotropy) << c.min << "/" << c.mag << "/" << c.mip;
  }
}

}  // namespace
