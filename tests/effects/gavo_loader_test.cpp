#include "effects/defs/gavo_effect_loader.h"

#include "resources/files/files.h"
#include "stringc_matchers.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace gv;

// The definition a text yields, read as the file "/fx/test.fx".
class GavoText : public testing::Test {
 protected:
  const char* load(const std::string& body, std::vector<CGvMacro> macros = {}) {
    macros.push_back({nullptr, nullptr});
    return readGavoEffectText(def, body, macros.data());
  }
  // A declaration block around the given lines.
  const char* loadBlock(const std::string& lines, std::vector<CGvMacro> macros = {}) {
    return load("float4 ps_main() : COLOR { return 0; }\n/*[GAVO_BEGIN]\n" + lines + "\n[GAVO_END]*/\n", macros);
  }
  const SParameter* parameter(const char* name) const { return def.findParameterByName(nullptr, name); }
  const STechnique& technique(u32 index) const { return def.Techniques[index]; }
  const SPass& pass(u32 technique = 0) const { return def.Techniques[technique].Passes[0]; }
  const SShader& vertex(u32 technique = 0) const { return pass(technique).Shaders[0]; }
  const SShader& pixel(u32 technique = 0) const { return pass(technique).Shaders[1]; }
  static std::vector<std::string> names(const Array<SParameter>& list) {
    std::vector<std::string> out;
    for (u32 i = 0; i < list.size(); ++i) out.push_back(list[i].Name.c_str());
    return out;
  }

  CGvEffectDefGavo def{"/fx/test.fx", true};
};

TEST_F(GavoText, WithoutABlockYieldsTheDefaultTechniqueOnly) {
  ASSERT_EQ(nullptr, load("float4 ps_main() : COLOR { return 0; }\n// float x : 1\n"));
  ASSERT_EQ(1u, def.Techniques.size());
  EXPECT_EQ("", technique(0).Name);
  ASSERT_EQ(1u, technique(0).Passes.size());
  ASSERT_EQ(2u, pass().Shaders.size());
  EXPECT_EQ(ESS_VERTEX, vertex().Stage);
  EXPECT_EQ("vs_main", vertex().Entry);
  EXPECT_EQ(EST_VS_3_0, vertex().Target);
  EXPECT_EQ("/fx/test.fx", vertex().Source);
  EXPECT_EQ(ESS_PIXEL, pixel().Stage);
  EXPECT_EQ("ps_main", pixel().Entry);
  EXPECT_EQ(EST_PS_3_0, pixel().Target);
  EXPECT_EQ("/fx/test.fx", pixel().Source);
  EXPECT_EQ(0u, def.Parameters.size());
  EXPECT_EQ(0u, vertex().Macros.size());
}

TEST_F(GavoText, TextAfterTheEndMarkIsNeverRead) {
  ASSERT_EQ(nullptr, load("//[GAVO_BEGIN]\n// float a : 1\n// [GAVO_END] trailing\n// float b : 2\n"
                          "//[GAVO_BEGIN]\n// float c : 3\n//[GAVO_END]\n"));
  EXPECT_EQ(std::vector<std::string>({"a"}), names(def.Parameters));
}

TEST_F(GavoText, HeaderLinesNeedTheKeywordRightAfterTheSlashes) {
  ASSERT_EQ(nullptr, loadBlock("//title   Glass  panes\n// title Spaced\n//subject Windows\n"
                               "//comments Two passes\n//titles Wrong\n//Title Capital"));
  EXPECT_EQ("Glass  panes", def.Title);
  EXPECT_EQ("Windows", def.Subject);
  EXPECT_EQ("Two passes", def.Comments);
  EXPECT_EQ(0u, def.Parameters.size());
  EXPECT_EQ("", def.Id);
  EXPECT_EQ("", def.Name);
}

TEST_F(GavoText, CommentLinesAreSkipped) {
  ASSERT_EQ(nullptr, loadBlock("/// float a : 1\n//- float b : 1\n//* float c : 1\n//\tfloat d : 1\n"
                               "// float e : 1\n//float f : 1"));
  EXPECT_EQ(std::vector<std::string>({"e", "f"}), names(def.Parameters));
}

TEST_F(GavoText, CompileFlagsAreRecordedOnceAcrossTechniques) {
  ASSERT_EQ(nullptr, loadBlock("// config techniques : glow blur\n//cflag  SHADOWS\n//cflag\n"));
  ASSERT_EQ(3u, def.Techniques.size());
  ASSERT_EQ(1u, def.Annotations.size());
  EXPECT_EQ("cflag", def.Annotations[0].Name);
  EXPECT_EQ("USE_SHADOWS", def.Annotations[0].Value);
}

TEST_F(GavoText, ConditionalPrefixTestsTheMacrosWithoutUsePrefix) {
  struct Case {
    const char* macro;  // passed to the loader
    const char* line;
    bool declared;
  } cases[] = {
      {"USE_FOG", "//GAVO_PP:D:FOG:// float x : 1", true},
      {"USE_FOG", "//GAVO_PP:U:FOG:// float x : 1", false},
      {"FOG", "//GAVO_PP:D:FOG:// float x : 1", true},
      {"FOG", "//GAVO_PP:D:USE_FOG:// float x : 1", false},
      {"USE_USE_FOG", "//GAVO_PP:D:USE_FOG:// float x : 1", true},
      {"use_FOG", "//GAVO_PP:D:FOG:// float x : 1", false},
      {"USE_FOG", "//GAVO_PP:D:fog:// float x : 1", false},
      {"USE_FOG", "//GAVO_PP:U:MIST:// float x : 1", true},
      {"USE_FOG", "//GAVO_PP:D:FOG://GAVO_PP:U:MIST:// float x : 1", true},
      {"USE_FOG", "//GAVO_PP:D:FOG://GAVO_PP:D:MIST:// float x : 1", false},
      {"USE_FOG", "//GAVO_PP:X:FOG:// float x : 1", false},
      {"USE_FOG", "//GAVO_PP:D:FOG", false},
  };
  for (const Case& c : cases) {
    CGvEffectDefGavo fresh("/fx/test.fx", true);
    std::string text = "//[GAVO_BEGIN]\n" + std::string(c.line) + "\n//[GAVO_END]\n";
    CGvMacro macros[] = {{c.macro, "1"}, {nullptr, nullptr}};
    ASSERT_EQ(nullptr, readGavoEffectText(fresh, text, macros)) << c.line;
    EXPECT_EQ(c.declared ? 1u : 0u, fresh.Parameters.size()) << c.macro << " " << c.line;
  }
}

TEST_F(GavoText, ListedTechniquesDefineTheirConditionsAndMacros) {
  ASSERT_EQ(nullptr, loadBlock("// config techniques : glow default\n"
                               "//GAVO_PP:D:TECH_GLOW:// float glowOnly : 1\n"
                               "//GAVO_PP:D:TECH_Glow:// float mixedCase : 1\n"
                               "//GAVO_PP:D:TECH_NDFLT:// float notDefault : 1\n"
                               "//GAVO_PP:U:TECH_NDFLT:// float defaultOnly : 1\n"));
  ASSERT_EQ(3u, def.Techniques.size());
  EXPECT_EQ("glow", technique(1).Name);
  EXPECT_EQ("default", technique(2).Name);
  EXPECT_EQ(std::vector<std::string>({"defaultOnly", "glowOnly", "notDefault"}), names(def.Parameters));
  for (const SShader* shader : {&vertex(1), &pixel(1)}) {
    ASSERT_EQ(2u, shader->Macros.size());
    EXPECT_EQ("#define USE_TECH_NDFLT", shader->Macros[0]);
    EXPECT_EQ("#define USE_TECH_GLOW", shader->Macros[1]);
  }
  // "default" is built like the unnamed technique.
  EXPECT_EQ(0u, vertex(2).Macros.size());
  EXPECT_EQ(std::vector<std::string>({"defaultOnly"}), names(vertex(2).Parameters));
  EXPECT_EQ(std::vector<std::string>({"glowOnly", "notDefault"}), names(vertex(1).Parameters));
}

TEST_F(GavoText, TechniqueNamesAreUpperCasedForTheirCondition) {
  ASSERT_EQ(nullptr, loadBlock("// config techniques : Shadow_2x\n//GAVO_PP:D:TECH_SHADOW_2X:// float s : 1"));
  ASSERT_EQ(2u, def.Techniques.size());
  EXPECT_EQ("#define USE_TECH_SHADOW_2X", vertex(1).Macros[1]);
  EXPECT_NE(nullptr, parameter("s"));
}

TEST_F(GavoText, TechniqueListIsKeptWithATrailingSpacePerName) {
  ASSERT_EQ(nullptr, loadBlock("// config techniques :  glow   blur "));
  const SParameter* list = def.findAnnotation(&technique(0), "techniques");
  ASSERT_NE(nullptr, list);
  EXPECT_EQ("glow blur ", list->Value);
}

TEST_F(GavoText, TextureUnitsAreCountedOrGiven) {
  ASSERT_EQ(nullptr, loadBlock("// config techniques : glow\n// texture\n// texture 5 : noise.png\n"
                               "// texture : : cube\n// texture 07 : : 3d"));
  struct Expected {
    const char* name;
    const char* parameter;
    s32 unit;
  } expected[] = {
      {"texture2D", "Tex__0", 0}, {"texture2D", "Tex__5", 5}, {"textureCUBE", "Tex__1", 1}, {"texture3D", "Tex__7", 7}};
  ASSERT_EQ(4u, pass(0).States.size());
  for (u32 i = 0; i < 4; ++i) {
    const SState& state = pass(0).States[i];
    EXPECT_EQ(expected[i].name, state.Name) << i;
    EXPECT_EQ("", state.Value) << i;
    EXPECT_EQ(expected[i].parameter, state.Param) << i;
    EXPECT_EQ(expected[i].unit, state.Index) << i;
  }
  EXPECT_EQ("noise.png", parameter("Tex__5")->Sampler.Source);
  EXPECT_EQ(EPT_SAMPLERCUBE, parameter("Tex__1")->Type);
  EXPECT_EQ(EPT_SAMPLER3D, parameter("Tex__7")->Type);
  // Each technique counts from 0 again and names its textures after itself.
  EXPECT_EQ("Tex_glow_0", pass(1).States[0].Param);
  EXPECT_EQ("Tex_glow_1", pass(1).States[2].Param);
}

TEST_F(GavoText, NamedTexturesAreReferencedByTheirProgram) {
  ASSERT_EQ(nullptr, loadBlock("// texture envMap : sky.dds : cube clamp\n// texture heightMap : : vertex"));
  EXPECT_EQ(0u, pass().States.size());
  EXPECT_EQ(std::vector<std::string>({"envMap"}), names(pixel().Parameters));
  EXPECT_EQ(std::vector<std::string>({"heightMap"}), names(vertex().Parameters));
  EXPECT_EQ("envMap", pixel().Parameters[0].Value);
  EXPECT_EQ(EPT_SAMPLERCUBE, parameter("envMap")->Type);
  EXPECT_EQ("CLAMP", parameter("envMap")->Sampler.WrapT);
}

TEST_F(GavoText, TextureValueIsAPresetAChannelOrAnImage) {
  struct Case {
    const char* line;
    const char* semantic;
    const char* source;
  } cases[] = {
      {"// texture t : Color", "LW_Tex_BaseColor", ""},
      {"// texture t : bump", "LW_Tex_Bump", ""},
      {"// texture t : RefractionIndex", "LW_Tex_RefractionIndex", ""},
      {"// texture t : Luminosity : preset", "Luminosity", ""},
      {"// texture t : SceneDepth : PRESET", "SceneDepth", ""},
      {"// texture t : IOR", "", "IOR"},
      {"// texture t : maps/wood.png", "", "maps/wood.png"},
  };
  for (const Case& c : cases) {
    CGvEffectDefGavo fresh("/fx/test.fx", true);
    std::string text = "//[GAVO_BEGIN]\n" + std::string(c.line) + "\n";
    ASSERT_EQ(nullptr, readGavoEffectText(fresh, text, nullptr)) << c.line;
    const SParameter* t = fresh.findParameterByName(nullptr, "t");
    ASSERT_NE(nullptr, t) << c.line;
    EXPECT_EQ(c.semantic, t->Semantic) << c.line;
    EXPECT_EQ(c.source, t->Sampler.Source) << c.line;
  }
}

TEST_F(GavoText, TextureFlagsSetSamplerStringsAndAnnotations) {
  struct Case {
    const char* flags;
    const char* wrap;  // S T P
    const char* filters;  // min mag mip
    const char* annotations;
  } cases[] = {
      {"", "  ", "  ", ""},
      {"repeat", "REPEAT REPEAT REPEAT", "  ", ""},
      {"CLAMP", "CLAMP CLAMP CLAMP", "  ", ""},
      {"clamp_to_edge", "CLAMP_TO_EDGE CLAMP_TO_EDGE CLAMP_TO_EDGE", "  ", ""},
      {"clamp_v", "REPEAT CLAMP REPEAT", "  ", ""},
      {"clamp_to_edge_v", "REPEAT CLAMP_TO_EDGE REPEAT", "  ", ""},
      {"clamp_v clamp", "REPEAT CLAMP REPEAT", "  ", ""},  // the later word in the table wins
      {"noMipMap", "  ", "  NONE", ""},
      {"filterPoint", "  ", "NEAREST NEAREST ", ""},
      {"trilinear nomipmap", "  ", "LINEAR LINEAR LINEAR", ""},
      {"r32f srgb image divider", "  ", "  ", "format=r32f SRGB=true UIWidget=Image UIDivider=before"},
      {"divafter imageref linear unknown", "  ", "  ", "SRGB=false UIWidget=ImageRef UIDivider=after"},
  };
  for (const Case& c : cases) {
    CGvEffectDefGavo fresh("/fx/test.fx", true);
    std::string text = "//[GAVO_BEGIN]\n// texture : img.png : " + std::string(c.flags) + "\n";
    ASSERT_EQ(nullptr, readGavoEffectText(fresh, text, nullptr)) << c.flags;
    const SSampler& s = fresh.Parameters[0].Sampler;
    EXPECT_EQ(c.wrap, s.WrapS + " " + s.WrapT + " " + s.WrapP) << c.flags;
    EXPECT_EQ(c.filters, s.MinFilter + " " + s.MagFilter + " " + s.MipFilter) << c.flags;
    stringc annotations;
    for (u32 i = 0; i < fresh.Parameters[0].Annotations.size(); ++i) {
      const SParameter& a = fresh.Parameters[0].Annotations[i];
      annotations += stringc(i ? " " : "") + a.Name + "=" + a.Value;
    }
    EXPECT_EQ(c.annotations, annotations) << c.flags;
  }
}

TEST_F(GavoText, ParameterDeclarations) {
  ASSERT_EQ(nullptr, loadBlock("// float4 tint : 1, 0.5 ,0,1 : color pixel\n"
                               "// FLOAT3 lightPos : LightPos0 : both\n"
                               "// float4x4 wvp : worldviewprojection\n"
                               "// float rough : Surface_glossiness : percent divider divafter vertex\n"
                               "// float rough2 : Surface_Roughness\n"
                               "// float other : Surface_Unknown\n"
                               "// integer count : 3 : vertex pixel\n"
                               "// bool flag : 1 : both vertex\n"
                               "// floatNRef level : 0.25\n"
                               "// sampler2D ignored : 1\n"));
  struct Expected {
    const char* name;
    s32 type;
    const char* semantic;
    const char* value;
    const char* annotations;
    bool inVertex, inPixel;
  } expected[] = {
      {"tint", EPT_FLOAT4, "", "1  0.5  0  1  ", "UIWidget=Color", false, true},
      {"lightPos", EPT_FLOAT3, "LightPos0", "", "", true, true},
      {"wvp", EPT_FLOAT4X4, "WorldViewProjectionTranspose", "", "", true, false},
      {"rough", EPT_FLOAT, "LW_Glossiness", "", "UIWidget=Percent UIDivider=before UIDivider=after", true, false},
      {"rough2", EPT_FLOAT, "LW_Roughness", "", "", true, false},
      {"other", EPT_FLOAT, "", "Surface_Unknown  ", "", true, false},
      {"count", EPT_INT, "", "3  ", "", false, true},
      {"flag", EPT_BOOL, "", "1  ", "", true, false},
      {"level", EPT_FLOAT, "", "0.25  ", "", true, false},
  };
  ASSERT_EQ(std::size(expected), def.Parameters.size());
  for (u32 i = 0; i < std::size(expected); ++i) {
    const SParameter& p = def.Parameters[i];
    const Expected& e = expected[i];
    EXPECT_EQ(e.name, p.Name);
    EXPECT_EQ(e.type, p.Type) << e.name;
    EXPECT_EQ(e.semantic, p.Semantic) << e.name;
    EXPECT_EQ(e.value, p.Value) << e.name;
    stringc annotations;
    for (u32 j = 0; j < p.Annotations.size(); ++j)
      annotations += stringc(j ? " " : "") + p.Annotations[j].Name + "=" + p.Annotations[j].Value;
    EXPECT_EQ(e.annotations, annotations) << e.name;
    auto uses = [&](const SShader& s) {
      for (u32 j = 0; j < s.Parameters.size(); ++j)
        if (s.Parameters[j].Name == e.name && s.Parameters[j].Value == e.name) return true;
      return false;
    };
    EXPECT_EQ(e.inVertex, uses(vertex())) << e.name;
    EXPECT_EQ(e.inPixel, uses(pixel())) << e.name;
  }
}

TEST_F(GavoText, SemanticNamesRecordTheirCounterparts) {
  struct Case {
    const char* written;
    const char* recorded;
  } cases[] = {
      {"Projection", "ProjectionTranspose"},
      {"ProjectionTranspose", "Projection"},
      {"viewinverse", "ViewInverseTranspose"},
      {"PrevViewInverseTranspose", "PrevViewInverse"},
      {"ViewInversePrevViewProjection", "ViewInversePrevViewProjectionTranspose"},
      {"WorldViewInverseTranspose", "WorldViewInverse"},
      {"World", "WorldTranspose"},
      {"WorldTranslation", "WorldTranslation"},
      {"Time0_X", "TimeScene"},
      {"time_0_x", "TimeScene"},
      {"Time", "Time"},
      {"ParticleTimeNow", "Time"},
      {"LightAmbient1", "LightAmbient"},
      {"LightDiffuse1", "LightDiffuse1"},
      {"ParticleColor", "LWHV_Color"},
      {"ParticleGradSizeKeyValues", "LWHV_SizeKeyValues"},
      {"ParticleGradColorNum", "LWHV_ColorNumKeys"},
      {"Surface_ReflectionMaxMip", "LW_ReflectionMaxMip"},
      {"ObjectInvTrans7", "ObjectInvTrans7"},
      {"light[4].viewconvert", "Light[4].ViewConvert"},
      {"Texture[7].NumMips", "Texture[7].NumMips"},
      {"FrustrumFarCornersWorld", "FrustrumFarCornersWorld"},
  };
  for (const Case& c : cases) {
    CGvEffectDefGavo fresh("/fx/test.fx", true);
    std::string text = "//[GAVO_BEGIN]\n// float4x4 p : " + std::string(c.written) + "\n";
    ASSERT_EQ(nullptr, readGavoEffectText(fresh, text, nullptr)) << c.written;
    EXPECT_EQ(c.recorded, fresh.Parameters[0].Semantic) << c.written;
    EXPECT_EQ("", fresh.Parameters[0].Value) << c.written;
  }
  // Names outside the table are default values.
  for (const char* value : {"ObjectPos8", "LightPos5", "Light[5].Params", "LightViewConvert4", "Texture[8].Size"}) {
    CGvEffectDefGavo fresh("/fx/test.fx", true);
    std::string text = "//[GAVO_BEGIN]\n// float p : " + std::string(value) + "\n";
    ASSERT_EQ(nullptr, readGavoEffectText(fresh, text, nullptr));
    EXPECT_EQ("", fresh.Parameters[0].Semantic) << value;
  }
}

TEST_F(GavoText, TheFirstDeclarationOfANameWins) {
  ASSERT_EQ(nullptr, loadBlock("// config techniques : glow\n// float strength : 1\n"
                               "//GAVO_PP:D:TECH_GLOW:// float strength : 2\n"
                               "// texture strength : other.png"));
  ASSERT_EQ(1u, def.Parameters.size());
  EXPECT_EQ("1  ", def.Parameters[0].Value);
  EXPECT_EQ(EPT_FLOAT, def.Parameters[0].Type);
  // Each technique still references it.
  EXPECT_EQ(std::vector<std::string>({"strength", "strength"}), names(vertex(1).Parameters));
}

TEST_F(GavoText, FunctionAndConfigLines) {
  ASSERT_EQ(nullptr, loadBlock("// function vertexMain : vsShadow\n// FUNCTION PIXELMAIN : psShadow\n"
                               "// function geometryMain : gs\n"
                               "// config baseMaterial : transparent\n// config render : late\n"
                               "// config rendertarget : glowRT\n// config tangents\n// config point_size_enable\n"
                               "// config depth_test_enable : false\n// config depth_mask : true\n"
                               "// config DEPTH_FUNC : LEQUAL\n// config render\n// config whatever : 1"));
  EXPECT_EQ("vsShadow", vertex().Entry);
  EXPECT_EQ("psShadow", pixel().Entry);
  EXPECT_EQ("transparent", def.findAnnotation(&pass(), "baseMaterial")->Value);
  EXPECT_EQ(std::vector<std::string>({"render", "rendertarget", "tangents"}), names(technique(0).Annotations));
  EXPECT_EQ("late", technique(0).Annotations[0].Value);
  EXPECT_EQ("true", technique(0).Annotations[2].Value);
  EXPECT_TRUE(def.needsTangents());
  const char* const expected[][2] = {{"point_size_enable", "true"},
                                     {"depth_test_enable", "false"},
                                     {"depth_mask", "true"},
                                     {"depth_func", "LEQUAL"}};
  ASSERT_EQ(4u, pass().States.size());
  for (u32 i = 0; i < 4; ++i) {
    EXPECT_EQ(expected[i][0], pass().States[i].Name);
    EXPECT_EQ(expected[i][1], pass().States[i].Value);
    EXPECT_EQ("", pass().States[i].Param);
    EXPECT_EQ(0, pass().States[i].Index);
  }
}

TEST_F(GavoText, FailingLinesGiveTheirMessage) {
  struct Case {
    std::string line;
    const char* error;
  } cases[] = {
      {"// function", "entry point has 1 tokens0 less than 2"},
      {"// function vertexMain", "entry point has 0 tokens less than 1"},
      {"// config", "config has 1 tokens0 less than 2"},
      {"// float4", "param line has 1 tokens0 less than 2"},
      {"// float4 color", "param line has 0 tokens less than 1"},
      {"// int : 3", "param line has 1 tokens0 less than 2"},
      {"// float x : " + std::string(250, '1'), "line 3 is longer than 255 characters"},
  };
  for (const Case& c : cases) {
    CGvEffectDefGavo fresh("/fx/test.fx", true);
    std::string text = "// float4 ps_main\r\n//[GAVO_BEGIN]\r\n" + c.line + "\n";
    const char* error = readGavoEffectText(fresh, text, nullptr);
    ASSERT_NE(nullptr, error) << c.line;
    EXPECT_STREQ(c.error, error);
  }
}

TEST_F(GavoText, ALongLineOutsideTheBlockIsFine) {
  std::string hlsl = "static const float table[] = {" + std::string(300, '0') + "};\n";
  ASSERT_EQ(nullptr, load(hlsl + "//[GAVO_BEGIN]\n// float x : 1\n// [GAVO_END] " + std::string(300, '-') + "\n"));
  EXPECT_EQ(1u, def.Parameters.size());
  std::string longest = "// float x : " + std::string(242, '1');
  ASSERT_EQ(255u, longest.size());
  EXPECT_EQ(nullptr, loadBlock(longest));
}

TEST_F(GavoText, AFailingListedTechniqueFailsTheDefinition) {
  const char* error = loadBlock("// config techniques : glow blur\n//GAVO_PP:D:TECH_GLOW:// float4 broken");
  EXPECT_STREQ("param line has 0 tokens less than 1", error);
  ASSERT_EQ(2u, def.Techniques.size());
}

TEST_F(GavoText, ParsingEndsAtTheFirstNul) {
  std::string text = "//[GAVO_BEGIN]\n// float a : 1\n";
  text += '\0';
  text += "// float b : 2\n";
  ASSERT_EQ(nullptr, load(text));
  EXPECT_EQ(std::vector<std::string>({"a"}), names(def.Parameters));
}

class GavoFiles : public testing::Test {
 protected:
  void SetUp() override {
    testing::internal::CaptureStdout();
    usePlainFiles();
    testing::internal::GetCapturedStdout();
    setDirectory("");
    loader = new CGvEffectDefLoaderGavo();
  }
  void TearDown() override { loader->drop(); }
  CGvEffectDefLoaderGavo* loader = nullptr;
  test::TempDir dir;
};

TEST_F(GavoFiles, TakesHlslAndFxFilesInAnyCase) {
  EXPECT_TRUE(loader->usesMacros());
  for (const char* name : {"a.fx", "a.FX", "dir.x/b.Hlsl", "c.hlsl"}) EXPECT_TRUE(loader->isALoadableFileExtension(name)) << name;
  for (const char* name : {"fx", "a.fxx", "a.dae", "a.hlsl.bak", "a."}) EXPECT_FALSE(loader->isALoadableFileExtension(name)) << name;
}

TEST_F(GavoFiles, ReadsTheNamedFile) {
  std::string path = dir.write("glass.fx", "//[GAVO_BEGIN]\n//title Glass\n// float ior : 1.5\n//[GAVO_END]\n");
  const char* error = "unset";
  IGvEffectDef* def = loader->createEffectDef(path.c_str(), nullptr, false, &error);
  ASSERT_NE(nullptr, def);
  EXPECT_EQ(nullptr, error);
  EXPECT_EQ(stringc(path.c_str()), def->getFileName());
  SEffectInfo info;
  ASSERT_TRUE(def->getInfo(info));
  EXPECT_STREQ("Glass", info.Title);
  EXPECT_EQ(1u, info.ParameterCount);
  def->drop();
}

TEST_F(GavoFiles, MissingAndEmptyFilesFail) {
  struct Case {
    std::string path;
    const char* error;
  } cases[] = {{dir.file("missing.fx"), "Cannot open file"}, {dir.write("empty.fx", ""), "Error"}};
  for (const Case& c : cases) {
    const char* error = nullptr;
    IGvEffectDef* def = loader->createEffectDef(c.path.c_str(), nullptr, false, &error);
    ASSERT_NE(nullptr, def);
    EXPECT_STREQ(c.error, error);
    def->drop();
  }
}

}  // namespace
