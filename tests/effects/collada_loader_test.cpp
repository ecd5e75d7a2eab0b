#include "effects/defs/collada_effect_loader.h"

#include "resources/files/files.h"
#include "stringc_matchers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace gv;

class Collada : public testing::Test {
 protected:
  void SetUp() override {
    testing::internal::CaptureStdout();
    usePlainFiles();
    testing::internal::GetCapturedStdout();
    setDirectory("");
    loader = new CGvEffectDefLoaderCollada();
  }
  void TearDown() override {
    if (def) def->drop();
    loader->drop();
  }
  // Loads a file and returns what it printed.
  std::string load(const std::string& path, bool isOpenGL) {
    testing::internal::CaptureStdout();
    def = loader->createEffectDef(path.c_str(), nullptr, isOpenGL, &error);
    return testing::internal::GetCapturedStdout();
  }
  const CGvEffectDef& loaded() const { return *dynamic_cast<const CGvEffectDef*>(def); }

  CGvEffectDefLoaderCollada* loader = nullptr;
  IGvEffectDef* def = nullptr;
  const char* error = "unset";
  test::TempDir dir;
};

const std::string kSparks = GAVO_TEST_DATA_DIR "/effects/sparks.dae";

TEST_F(Collada, TakesDaeAndXmlFiles) {
  EXPECT_FALSE(loader->usesMacros());
  for (const char* name : {"Particle.dae", "p.DAE", "fx.Xml"}) EXPECT_TRUE(loader->isALoadableFileExtension(name)) << name;
  for (const char* name : {"p.fx", "dae", "p.dae.fx", "p.hlsl"}) EXPECT_FALSE(loader->isALoadableFileExtension(name)) << name;
}

TEST_F(Collada, HeaderParametersAndSamplers) {
  load(kSparks, false);
  ASSERT_EQ(nullptr, error);
  const CGvEffectDef& d = loaded();
  EXPECT_EQ("sparks-fx", d.Id);
  EXPECT_EQ("Sparks", d.Name);
  EXPECT_EQ("Sparks", d.Title);
  EXPECT_EQ("Particles", d.Subject);
  EXPECT_EQ("Additive sprites", d.Comments);
  ASSERT_EQ(1u, d.Annotations.size());
  EXPECT_EQ("late", d.Annotations[0].Value);

  ASSERT_EQ(4u, d.Parameters.size());
  const SParameter& wvp = d.Parameters[0];
  EXPECT_EQ("WorldViewProj", wvp.Name);
  EXPECT_EQ(EPT_FLOAT4X4, wvp.Type);
  EXPECT_EQ("WorldViewProjection", wvp.Semantic);
  irr::core::matrix4 m;
  m[0] = 5;
  ASSERT_TRUE(d.getMatrix(&wvp, m));
  EXPECT_TRUE(m.isIdentity());
  const SParameter& tint = d.Parameters[1];
  EXPECT_EQ("1 0.5 0.25 1", tint.Value);
  ASSERT_EQ(2u, tint.Annotations.size());
  EXPECT_EQ("Color", tint.Annotations[0].Value);
  EXPECT_EQ("UIMin", tint.Annotations[1].Name);
  EXPECT_EQ("", tint.Annotations[1].Value);  // only string annotations carry a value
  const SParameter& texture = d.Parameters[2];
  EXPECT_EQ(EPT_SAMPLER2D, texture.Type);
  const SSampler& s = texture.Sampler;
  EXPECT_EQ("spark.png", s.Source);
  EXPECT_EQ("CLAMP", s.WrapS);
  EXPECT_EQ("MIRROR", s.WrapT);
  EXPECT_EQ("", s.WrapP);
  EXPECT_EQ("LINEAR", s.MinFilter);
  EXPECT_EQ("NEAREST", s.MagFilter);
  EXPECT_EQ("NONE", s.MipFilter);
  EXPECT_EQ(EPT_USERTYPE, d.Parameters[3].Type);
  EXPECT_EQ("Custom", d.Parameters[3].Semantic);  // read on after the usertype element
}

TEST_F(Collada, TheCgProfileIsReadOnEveryDriver) {
  for (bool isOpenGL : {false, true}) {
    if (def) def->drop();
    std::string printed = load(kSparks, isOpenGL);
    const CGvEffectDef& d = loaded();
    EXPECT_EQ(isOpenGL, d.IsOpenGL);
    ASSERT_EQ(3u, d.Techniques.size());
    EXPECT_EQ("add", d.Techniques[0].Name);
    EXPECT_EQ("empty", d.Techniques[1].Name);
    EXPECT_EQ(0u, d.Techniques[1].Passes.size());
    EXPECT_EQ(-1, d.findTechnique("glslOnly"));
    ASSERT_EQ(1u, d.Includes.size());
    EXPECT_EQ("SparksSource", d.Includes[0].Sid);
    EXPECT_EQ("file://shaders/sparks.hlsl", d.Includes[0].Url);
    EXPECT_EQ(std::string::npos, printed.find("profile_GLSL"));
  }
}

TEST_F(Collada, PrintsWhatItSkips) {
  std::string printed = load(kSparks, false);
  EXPECT_EQ(
      "COLLADA loader warning: Wrong tag usage found library_images\n"
      "COLLADA skipping section library_images\n"
      "COLLADA skipping section author\n"
      "COLLADA skipping section float\n"
      "COLLADA skipping section setparam\n"
      "COLLADA Warning missing include reference for source ref 'missing.hlsl'\n"
      "COLLADA skipping section bind_uniform\n"
      "COLLADA skipping section mystery\n",
      printed);
}

TEST_F(Collada, PassStatesEvaluatesAndPrograms) {
  load(kSparks, false);
  const CGvEffectDef& d = loaded();
  const STechnique& add = d.Techniques[0];
  EXPECT_TRUE(d.needsTangents());
  ASSERT_EQ(1u, add.Passes.size());
  const SPass& pass = add.Passes[0];
  EXPECT_EQ("p0", pass.Name);
  EXPECT_EQ("transparent_add_color", d.findAnnotation(&pass, "baseMaterial")->Value);

  const char* const states[][4] = {
      {"blend_enable", "true", "", "0"},          {"blend_func src", "SRC_ALPHA", "", "0"},
      {"blend_func dest", "ONE_MINUS_SRC_ALPHA", "", "0"}, {"depth_func", "LEQUAL", "", "0"},
      {"depth_mask", "false", "", "0"},           {"texture2D", "", "SparkTex", "2"},
  };
  ASSERT_EQ(std::size(states), pass.States.size());
  for (u32 i = 0; i < pass.States.size(); ++i) {
    const SState& s = pass.States[i];
    EXPECT_EQ(states[i][0], s.Name);
    EXPECT_EQ(states[i][1], s.Value) << states[i][0];
    EXPECT_EQ(states[i][2], s.Param) << states[i][0];
    EXPECT_EQ(std::stoi(states[i][3]), s.Index) << states[i][0];
  }
  EXPECT_EQ(nullptr, d.findState(&pass, "blend_func"));
  const SPass& blendOnly = d.Techniques[2].Passes[0];
  ASSERT_EQ(1u, blendOnly.States.size());
  EXPECT_EQ("blend_func", blendOnly.States[0].Name);  // no children: the state itself

  ASSERT_EQ(3u, pass.Evaluates.size());
  EXPECT_EQ("color_target", pass.Evaluates[0].Kind);
  EXPECT_EQ(1, pass.Evaluates[0].Index);
  EXPECT_EQ("SparkTex", pass.Evaluates[0].Value);
  EXPECT_EQ("#target", pass.Evaluates[0].Image);
  EXPECT_EQ(&d.Parameters[2], d.findEvaluateParameter(&pass.Evaluates[0]));
  EXPECT_EQ("color_clear", pass.Evaluates[1].Kind);
  EXPECT_EQ("0 0 0 1", pass.Evaluates[1].Value);
  EXPECT_EQ("draw", pass.Evaluates[2].Kind);
  EXPECT_EQ("SCENE_GEOMETRY", pass.Evaluates[2].Value);

  ASSERT_EQ(3u, pass.Shaders.size());
  const SShader& vs = pass.Shaders[0];
  EXPECT_EQ(ESS_VERTEX, vs.Stage);
  EXPECT_EQ("vsSparks", vs.Entry);
  EXPECT_EQ("file://shaders/sparks.hlsl", vs.Source);  // the include's url, matched ignoring case
  EXPECT_EQ(EST_VS_3_0, vs.Target);
  ASSERT_EQ(1u, vs.Macros.size());
  EXPECT_EQ("#define USE_SOFT 1", vs.Macros[0]);
  ASSERT_EQ(1u, vs.Parameters.size());
  EXPECT_EQ("gWVP", vs.Parameters[0].Name);
  EXPECT_EQ(&d.Parameters[0], d.resolveParameterReference(&vs.Parameters[0]));
  const SShader& ps = pass.Shaders[1];
  EXPECT_EQ(ESS_PIXEL, ps.Stage);
  EXPECT_EQ("missing.hlsl", ps.Source);
  EXPECT_EQ(EST_PS_3_0, ps.Target);
  ASSERT_EQ(1u, ps.Parameters.size());  // the program-level bind_uniform is not ours
  EXPECT_EQ("gTint", ps.Parameters[0].Name);
  EXPECT_EQ(0, pass.Shaders[2].Stage);
  EXPECT_EQ(EST_NONE, pass.Shaders[2].Target);
}

TEST_F(Collada, SmallDocuments) {
  struct Case {
    const char* xml;
    u32 techniques;
    const char* id;
  } cases[] = {
      {"", 0, ""},
      {"<notcollada><library_effects><effect id='x'/></library_effects></notcollada>", 0, ""},
      {"<COLLADA><library_effects><effect id='a'><profile_CG><technique sid='t'/></profile_CG></effect>"
       "<effect id='b'><profile_CG><technique sid='u'/></profile_CG></effect></library_effects></COLLADA>",
       2, "b"},
      {"<COLLADA><library_effects><effect id='cut'><profile_CG><technique sid='t'><pass>", 1, "cut"},
      {"<COLLADA><library_effects><effect id='odd'><profile_CG></pass></profile_CG><technique sid='after'/>"
       "</effect></library_effects></COLLADA>",
       0, "odd"},
  };
  for (const Case& c : cases) {
    CGvEffectDefCollada d("/fx/a.dae", false);
    testing::internal::CaptureStdout();
    readColladaEffects(d, c.xml, std::strlen(c.xml));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(c.techniques, d.Techniques.size()) << c.xml;
    EXPECT_EQ(c.id, d.Id) << c.xml;
  }
}

TEST_F(Collada, AMissingFileFails) {
  load(dir.file("Particle.dae"), false);
  ASSERT_NE(nullptr, def);
  EXPECT_STREQ("File Not Found", error);
}

}  // namespace
