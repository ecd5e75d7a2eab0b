#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gv::test::CommandResult;
using gv::test::runCommand;

CommandResult run(const std::string& arguments) {
  return runCommand(std::string(GAVO_FX) + " " + arguments + " 2>&1");
}

// The lines must appear in this order (others may come between).
void expectInOrder(const std::string& output, std::initializer_list<const char*> lines) {
  std::size_t at = 0;
  for (const char* line : lines) {
    std::size_t found = output.find(std::string(line) + "\n", at);
    ASSERT_NE(std::string::npos, found) << "missing or out of order: " << line << "\n" << output;
    at = found;
  }
}

const std::string kExample = GAVO_DATA_DIR "/shaders/tinted_texture.fx";

TEST(GavoFx, ShowsTheExampleEffect) {
  CommandResult r = run("info " + kExample);
  ASSERT_EQ(0, r.status) << r.output;
  expectInOrder(r.output, {
      "title: Tinted texture",
      "parameter WorldViewProj float4x4 semantic WorldViewProjectionTranspose",
      "parameter Time float semantic TimeScene",
      "parameter Tint float4 default 1 0.8 0.6 1",
      "  annotation UIWidget = Color",
      "parameter Pulse float default 0.25",
      "parameter ColorMap sampler2D semantic LW_Tex_BaseColor",
      "  sampler source \"\" wrap \"REPEAT\" \"REPEAT\" \"REPEAT\" filter \"LINEAR\" \"LINEAR\" \"LINEAR\"",
      "parameter GlowGain float default 2",
      "technique \"\"",
      "    shader vertex entry vs_main target vs_3_0 source " GAVO_DATA_DIR "/shaders/tinted_texture.fx",
      "      uses WorldViewProj",
      "    shader pixel entry ps_main target ps_3_0 source " GAVO_DATA_DIR "/shaders/tinted_texture.fx",
      "      uses ColorMap",
      "    material type 0 param 0x0",
      "technique \"glow\"",
      "      macro #define USE_TECH_GLOW",
      "      uses GlowGain",
      "    state depth_func = \"LEQUAL\"",
      "    state depth_mask = \"false\"",
  });
  EXPECT_EQ(std::string::npos, r.output.find("technique \"default\""));
}

TEST(GavoFx, MacrosSelectDeclarations) {
  gv::test::TempDir dir;
  std::string path = dir.write("fog.fx",
                               "//[GAVO_BEGIN]\n//GAVO_PP:D:FOG:// float FogDensity : 0.1\n"
                               "//GAVO_PP:U:FOG:// float NoFog : 1\n//[GAVO_END]\n");
  EXPECT_NE(std::string::npos, run("info " + path + " USE_FOG=1").output.find("parameter FogDensity float"));
  EXPECT_NE(std::string::npos, run("info " + path + " FOG").output.find("parameter FogDensity float"));
  CommandResult without = run("info " + path);
  EXPECT_NE(std::string::npos, without.output.find("parameter NoFog float"));
  EXPECT_EQ(std::string::npos, without.output.find("FogDensity"));
}

TEST(GavoFx, ShowsColladaPassesAndTheirMeaning) {
  CommandResult r = run("info " GAVO_TEST_DATA_DIR "/effects/sparks.dae");
  ASSERT_EQ(0, r.status) << r.output;
  expectInOrder(r.output, {
      "COLLADA skipping section mystery",
      "id: sparks-fx",
      "parameter SparkTex sampler2D",
      "technique \"add\"",
      "  pass \"p0\"",
      "    shader vertex entry vsSparks target vs_3_0 source file://shaders/sparks.hlsl",
      "      macro #define USE_SOFT 1",
      "      uses gWVP = WorldViewProj",
      "    shader stage 0 entry  target none source ",
      "    state blend_func src = \"SRC_ALPHA\"",
      "    evaluate color_target index 1 value \"SparkTex\" image #target",
      "    material type 23 param 0x2167",
      "technique \"empty\"",
      "technique \"blendOnly\"",
      "    state blend_func = \"\"",
      "    material from the object",
  });
}

TEST(GavoFx, Failures) {
  gv::test::TempDir dir;
  struct Case {
    std::string arguments;
    int status;
    const char* message;
  } cases[] = {
      {"", 2, "usage: gavo-fx info FILE"},
      {"show " + kExample, 2, "usage: gavo-fx info FILE"},
      {"info notes.txt", 2, "gavo-fx: notes.txt is no effect file"},
      {"info " + dir.file("missing.fx"), 1, "Cannot open file"},
      {"info " + dir.file("missing.dae"), 1, "File Not Found"},
      {"info " + dir.write("bad.fx", "//[GAVO_BEGIN]\n// float4 color\n"), 1, "param line has 0 tokens less than 1"},
      {"info " + dir.write("bad.dae", "<COLLADA><library_effects><effect><profile_CG><technique><pass><program>"
                                      "<shader stage='VERTEX'><sources entry='m'><import ref='a.hlsl'/></sources>"
                                      "</shader></program></pass></technique></profile_CG></effect></library_effects>"
                                      "</COLLADA>"),
       0, "problem: Unsupported Vertex Compiler target"},
  };
  for (const Case& c : cases) {
    CommandResult r = run(c.arguments);
    EXPECT_EQ(c.status, r.status) << c.arguments;
    EXPECT_NE(std::string::npos, r.output.find(c.message)) << c.arguments << "\n" << r.output;
  }
}

}  // namespace
