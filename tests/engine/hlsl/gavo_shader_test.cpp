// gavo-shader run as shader writers run it, on the fixtures beside this file.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

struct SRun {
  int status = -1;
  std::string output;
};

SRun runTool(const std::string& arguments) {
  const std::string command = std::string(GAVO_SHADER) + " " + arguments + " 2>&1";
  SRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer;
  size_t read;
  while ((read = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    run.output.append(buffer.data(), read);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

const std::string kFixtures = GAVO_SHADER_FIXTURES;

TEST(GavoShader, PrintsTheConstantTablesOfBothPrograms) {
  SRun vertex = runTool("compile " + kFixtures + "/lit.hlsl vsMain vs_3_0");
  EXPECT_EQ(vertex.status, 0) << vertex.output;
  EXPECT_NE(vertex.output.find("Name='WorldViewProj' RegisterIndex=0 RegisterCount=4"),
            std::string::npos)
      << vertex.output;

  SRun pixel = runTool("compile " + kFixtures + "/lit.hlsl psMain ps_3_0 --glsl "
                       "'LIGHT_COLOUR=float4(1,0,0,1)'");
  EXPECT_EQ(pixel.status, 0) << pixel.output;
  EXPECT_NE(pixel.output.find("Name='LightDir'"), std::string::npos) << pixel.output;
  EXPECT_NE(pixel.output.find("Name='AMBIENT'"), std::string::npos) << pixel.output;
  EXPECT_NE(pixel.output.find("Sampler='Diffuse' Unit=0"), std::string::npos) << pixel.output;
  // Constants a program does not use are not in its table.
  EXPECT_EQ(vertex.output.find("Name='LightDir'"), std::string::npos) << vertex.output;
  EXPECT_EQ(pixel.output.find("Name='WorldViewProj'"), std::string::npos) << pixel.output;
  EXPECT_NE(pixel.output.find("#version 330 compatibility"), std::string::npos) << pixel.output;
}

TEST(GavoShader, ReportsErrorsWithFileAndLine) {
  struct Case {
    std::string arguments;
    int status;
    std::string expected;
  } cases[] = {
      {"compile " + kFixtures + "/broken.hlsl psMain ps_3_0", 1, "broken.hlsl:4"},
      {"compile " + kFixtures + "/lit.hlsl nothere ps_3_0", 1, "nothere"},
      {"compile " + kFixtures + "/absent.hlsl psMain ps_3_0", 1, "absent.hlsl"},
      {"compile " + kFixtures + "/lit.hlsl psMain ps_9_9", 2, "unknown target"},
      {"compile " + kFixtures + "/lit.hlsl psMain ps_3_0 --cache", 2, "usage"},
      {"info", 2, "usage"},
  };
  for (const Case& c : cases) {
    SRun run = runTool(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
    EXPECT_NE(run.output.find(c.expected), std::string::npos) << c.arguments << "\n" << run.output;
  }
}

// The second run finds the program that the first one stored, as the engine would.
TEST(GavoShader, KeepsProgramsInTheCompiledShaderCache) {
  char directory[] = "/tmp/gavo-shader-cache-XXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  const std::string arguments =
      "compile " + kFixtures + "/lit.hlsl psMain ps_3_0 FOG=1 --cache " + directory;
  const SRun first = runTool(arguments);
  EXPECT_EQ(first.status, 0) << first.output;
  EXPECT_EQ(first.output.find("taken from the compiled-shader cache"), std::string::npos);
  const std::string stored = std::string(directory) + "/fixtures!lit!psMain!" +
                             "*.pso";
  EXPECT_EQ(std::system(("test -f " + stored + " && test \"$(cat " + stored +
                         ".inf)\" = 'FOG 1~'").c_str()),
            0);
  const SRun second = runTool(arguments);
  EXPECT_EQ(second.status, 0) << second.output;
  EXPECT_NE(second.output.find("taken from the compiled-shader cache"), std::string::npos);
  EXPECT_NE(second.output.find("Sampler='Diffuse'"), std::string::npos) << second.output;
  std::system(("rm -rf " + std::string(directory)).c_str());
}

}  // namespace
