#include "effects/defs/effect_def.h"

#include "stringc_matchers.h"

#include <gtest/gtest.h>

namespace {

using namespace gv;

SParameter parameter(const char* name, s32 type, const char* semantic, const char* value = "") {
  SParameter p(name, value);
  p.Type = type;
  p.Semantic = semantic;
  return p;
}

class EffectDef : public testing::Test {
 protected:
  void SetUp() override {
    def.Parameters.push_back(parameter("color", EPT_FLOAT4, "Diffuse", "1 0.5"));
    def.Parameters.push_back(parameter("diffuseMap", EPT_SAMPLER2D, "Diffuse"));
    def.Parameters.push_back(parameter("settings", EPT_USERTYPE, "Env"));
    def.Parameters.push_back(parameter("envMap", EPT_SAMPLERCUBE, "Env"));
    def.Parameters[0].Annotations.push_back(SParameter("UIWidget", "Color"));
    def.Annotations.push_back(SParameter("cflag", "USE_FOG"));
    STechnique plain;
    STechnique shadow;
    shadow.Name = "shadow";
    shadow.Annotations.push_back(SParameter("tangents", "TRUE"));
    SPass pass;
    pass.Annotations.push_back(SParameter("baseMaterial", "solid"));
    pass.States.push_back(SState("texture2D", "", "diffuseMap", 0));
    pass.States.push_back(SState("depth_func", "LEQUAL", "", 0));
    SShader shader;
    shader.Parameters.push_back(SParameter("envMap", "envMap"));
    shader.Parameters.push_back(SParameter("gone", "gone"));
    pass.Shaders.push_back(shader);
    shadow.Passes.push_back(pass);
    def.Techniques.push_back(plain);
    def.Techniques.push_back(shadow);
  }
  const SPass* pass() const { return def.getPass(def.getTechnique(1), 0); }

  CGvEffectDef def{"/fx/a.fx", false};
};

TEST_F(EffectDef, FindsRecordsByExactName) {
  EXPECT_EQ(1, def.findTechnique("shadow"));
  EXPECT_EQ(0, def.findTechnique(""));
  EXPECT_EQ(-1, def.findTechnique("Shadow"));
  EXPECT_EQ(nullptr, def.getTechnique(2));
  EXPECT_EQ(&def.Parameters[3], def.findParameterByName(nullptr, "envMap"));
  EXPECT_EQ(nullptr, def.findParameterByName(nullptr, "envmap"));
  EXPECT_EQ(&def.Parameters[0], def.findParameterBySemantic(nullptr, "Diffuse"));
  EXPECT_EQ(2, def.getParameterIndex(&def.Parameters[2]));
  SParameter copy = def.Parameters[2];
  EXPECT_EQ(-1, def.getParameterIndex(&copy));  // by identity, not by value
  EXPECT_EQ("LEQUAL", def.findState(pass(), "depth_func")->Value);
  EXPECT_EQ(nullptr, def.findState(pass(), "depth_mask"));
  EXPECT_EQ(nullptr, def.getState(pass(), 2));
  EXPECT_EQ(nullptr, def.getPass(nullptr, 0));
}

TEST_F(EffectDef, ParametersBelongToTheEffectOnly) {
  EXPECT_EQ(&def.Parameters[1], def.getParameter(nullptr, 1));
  EXPECT_EQ(nullptr, def.getParameter(nullptr, 4));
  EXPECT_EQ(nullptr, def.getParameter(pass(), 0));
}

TEST_F(EffectDef, SamplerSearchSkipsOtherTypes) {
  EXPECT_EQ(1, def.findSamplerIndex(nullptr, "Diffuse"));
  EXPECT_EQ(3, def.findSamplerIndex(nullptr, "Env"));  // usertype is no sampler
  EXPECT_EQ(-1, def.findSamplerIndex(nullptr, "Missing"));
  Array<const SParameter*> found;
  found.push_back(nullptr);
  def.getParametersBySemantic(nullptr, "Env", found);
  ASSERT_EQ(2u, found.size());
  EXPECT_EQ(&def.Parameters[2], found[0]);
  EXPECT_EQ(&def.Parameters[3], found[1]);
}

TEST_F(EffectDef, AnnotationOwnersSelectTheirList) {
  const STechnique* shadow = def.getTechnique(1);
  EXPECT_EQ("cflag", def.getAnnotation(nullptr, 0)->Name);
  EXPECT_EQ("cflag", def.getAnnotation(&def.Header, 0)->Name);
  EXPECT_EQ("UIWidget", def.findAnnotation(&def.Parameters[0], "UIWidget")->Name);
  EXPECT_EQ("tangents", def.getAnnotation(shadow, 0)->Name);
  EXPECT_EQ("solid", def.findAnnotation(pass(), "baseMaterial")->Value);
  EXPECT_EQ(nullptr, def.getAnnotation(pass()->States.const_pointer(), 0));
  EXPECT_EQ(nullptr, def.findAnnotation(def.getShader(pass(), 0), "baseMaterial"));
  EXPECT_EQ(nullptr, def.getAnnotation(pass(), 1));
}

TEST_F(EffectDef, ReferencesResolveToEffectParameters) {
  const SShader* shader = def.getShader(pass(), 0);
  EXPECT_EQ(&def.Parameters[3], def.resolveParameterReference(def.getShaderParameter(shader, 0)));
  EXPECT_EQ(nullptr, def.resolveParameterReference(def.getShaderParameter(shader, 1)));
  EXPECT_EQ(nullptr, def.getShaderParameter(shader, 2));
  EXPECT_EQ(&def.Parameters[1], def.findStateParameter(def.getState(pass(), 0)));
  EXPECT_EQ(nullptr, def.findStateParameter(def.getState(pass(), 1)));  // empty Param
  const char* line = "unset";
  EXPECT_FALSE(def.getShaderMacro(shader, 0, &line));
  EXPECT_EQ(nullptr, line);
}

TEST_F(EffectDef, TangentsNeedTheExactWordTrue) {
  EXPECT_FALSE(def.needsTangents());
  def.Techniques[0].Annotations.push_back(SParameter("tangents", "true"));
  EXPECT_TRUE(def.needsTangents());
}

TEST_F(EffectDef, InfoOperationsRefuseNullRecords) {
  SPassInfo passInfo;
  SShaderInfo shaderInfo;
  SStateInfo stateInfo;
  EXPECT_FALSE(def.getPassInfo(nullptr, passInfo));
  EXPECT_FALSE(def.getShaderInfo(nullptr, shaderInfo));
  EXPECT_FALSE(def.getStateInfo(nullptr, stateInfo));
  ASSERT_TRUE(def.getPassInfo(pass(), passInfo));
  EXPECT_EQ(1u, passInfo.ShaderCount);
  EXPECT_EQ(2u, passInfo.StateCount);
  EXPECT_EQ(1u, passInfo.AnnotationCount);
}

TEST(EffectDefValues, ReadNumbersTheWayTheEngineDoes) {
  CGvEffectDef def("/fx/a.fx", false);
  struct Case {
    const char* value;
    u32 count;
    bool complete;
    f32 expected[4];
  } cases[] = {
      {"1 0.5", 4, false, {1.f, 0.5f, 0.f, 0.f}},
      {" 1\t-2.5e1\r\n+.5 3", 4, true, {1.f, -25.f, 0.5f, 3.f}},
      {"1 2 3 4 5", 4, true, {1.f, 2.f, 3.f, 4.f}},
      {"1,2 3", 3, false, {1.f, 0.f, 0.f}},  // a comma ends the reading
      {"2x 3", 2, false, {2.f, 0.f}},
      {"- 4", 2, false, {0.f, 0.f}},
      {"", 1, false, {0.f}},
  };
  for (const Case& c : cases) {
    SParameter record("v", c.value);
    f32 values[4] = {9.f, 9.f, 9.f, 9.f};
    EXPECT_EQ(c.complete, def.getFloats(&record, values, c.count)) << c.value;
    for (u32 i = 0; i < c.count; ++i) EXPECT_FLOAT_EQ(c.expected[i], values[i]) << c.value << " #" << i;
  }
}

TEST(EffectDefValues, IntegersBoolsAndMatrices) {
  CGvEffectDef def("/fx/a.fx", false);
  struct Case {
    const char* value;
    s32 integer;
    bool boolean;
  } cases[] = {{"true", 0, false}, {"2", 2, true}, {"  -7x", -7, true}, {"0.9", 0, false},
               {"99999999999", 2147483647, true}, {"", 0, false}};
  for (const Case& c : cases) {
    SParameter record("v", c.value);
    s32 integer = 5;
    bool boolean = false;
    ASSERT_TRUE(def.getInt(&record, integer));
    ASSERT_TRUE(def.getBool(&record, boolean));
    EXPECT_EQ(c.integer, integer) << c.value;
    EXPECT_EQ(c.boolean, boolean) << c.value;
  }
  SParameter truncated("v", "1.9 -2.7 1e20");
  s32 ints[4];
  EXPECT_FALSE(def.getInts(&truncated, ints, 4));
  EXPECT_EQ(1, ints[0]);
  EXPECT_EQ(-2, ints[1]);
  EXPECT_EQ(2147483647, ints[2]);
  EXPECT_EQ(0, ints[3]);

  SParameter matrix("m", "1 0 0 0  0 2 0 0  0 0 3 0  4 5 6 1");
  irr::core::matrix4 m;
  ASSERT_TRUE(def.getMatrix(&matrix, m));
  EXPECT_EQ(irr::core::vector3df(4, 5, 6), m.getTranslation());
  EXPECT_FLOAT_EQ(2.f, m[5]);
  SParameter shortMatrix("m", "1 2 3");
  EXPECT_FALSE(def.getMatrix(&shortMatrix, m));
}

}  // namespace
