// Shader programs and material types: reuse at each level, recompilation in place, constant
// look-ups and the messages, with the driver's additions replaced by a fake.
#include "effects/shaders/gpu_programming_services.h"

#include <gtest/gtest.h>

#include "app/log/log.h"
#include "fake_shader_programming.h"
#include "support/temp_dir.h"

namespace gv {
namespace {

using irr::video::EPST_PS_2_0;
using irr::video::EPST_PS_3_0;
using irr::video::EVST_VS_2_0;
using irr::video::EVST_VS_3_0;

class ShaderServices : public testing::Test {
 protected:
  void SetUp() override {
    gvLogReset();
    device = irr::createDevice(irr::video::EDT_NULL);
    ASSERT_NE(device, nullptr);
    services = std::make_unique<CGvGPUProgrammingServices>(
        device, std::make_unique<test::FakeShaderProgramming>(log));
    dir.write("shaders/common.hlsl", "// shared\n");
    dir.write("shaders/sub/light.hlsl", "#include \"common.hlsl\"\n");
    vs = dir.write("shaders/object.vs.hlsl", "#include \"sub/light.hlsl\"\nvs\n");
    ps = dir.write("shaders/object.ps.hlsl", "ps\n");
    ps2 = dir.write("shaders/other.ps.hlsl", "ps2\n");
  }
  void TearDown() override {
    services.reset();
    if (device) device->drop();
    gvLogReset();
  }

  s32 material(const std::string& pixel, const CGvMacro* macros = nullptr,
               std::string* error = nullptr, irr::video::E_VERTEX_SHADER_TYPE vsTarget = EVST_VS_3_0) {
    return services->addShaderMaterialFromFiles(vs.c_str(), "vsMain", vsTarget, pixel.c_str(),
                                                "psMain", EPST_PS_3_0, nullptr,
                                                irr::video::EMT_SOLID, 0, macros, error);
  }

  test::TempDir dir;
  std::string vs, ps, ps2;
  test::FakeProgrammingLog log;
  irr::IrrlichtDevice* device = nullptr;
  std::unique_ptr<CGvGPUProgrammingServices> services;
};

TEST_F(ShaderServices, SameRequestReturnsTheFirstMaterialWhateverTheTargetsAndMacroOrder) {
  const CGvMacro ab[] = {{"B", "2"}, {"A", nullptr}, {nullptr, nullptr}};
  const CGvMacro ba[] = {{"A", ""}, {"B", "2"}, {nullptr, nullptr}};
  const s32 first = material(ps, ab);
  ASSERT_GE(first, 0);
  gvLogSetLevel(GVLOG_DEBUG);
  testing::internal::CaptureStdout();
  EXPECT_EQ(material(ps, ba, nullptr, EVST_VS_2_0), first);
  EXPECT_NE(testing::internal::GetCapturedStdout().find(
                "GvGPU: Found already created shader " + vs + " " + ps),
            std::string::npos);
  EXPECT_EQ(log.compiles, 2);
  // Other macros make another material with programs of its own.
  const CGvMacro c[] = {{"C", "1"}, {nullptr, nullptr}};
  EXPECT_NE(material(ps, c), first);
  EXPECT_EQ(log.compiles, 4);
}

TEST_F(ShaderServices, ProgramsSharedByMaterialsCompileOnceAndRecompileTogether) {
  const s32 a = material(ps), b = material(ps2);
  ASSERT_NE(a, b);
  EXPECT_EQ(log.compiles, 3);  // one vertex program for both
  EXPECT_EQ(log.materials[a].first, log.materials[b].first);
  const auto& entries = services->compiledEntries();
  const auto vertex = std::find_if(entries.begin(), entries.end(),
                                   [](const auto& e) { return e->IsVertex; });
  ASSERT_NE(vertex, entries.end());
  // The vertex program's includes: its own file and both nested includes, sorted.
  EXPECT_EQ((*vertex)->Includes,
            (std::vector<std::string>{dir.file("shaders/common.hlsl"),
                                      dir.file("shaders/object.vs.hlsl"),
                                      dir.file("shaders/sub/light.hlsl")}));

  const auto pixelBefore = std::make_pair(log.materials[a].second, log.materials[b].second);
  std::vector<s32> updated;
  std::string error = "stale";
  EXPECT_TRUE(services->recompileShaders({dir.file("shaders/common.hlsl")}, updated, &error));
  EXPECT_EQ(error, "");
  EXPECT_EQ(updated, (std::vector<s32>{a, b}));
  EXPECT_EQ(log.compiles, 4);
  EXPECT_EQ(log.materials[a].first, log.materials[b].first);
  EXPECT_EQ(log.materials[a].first, 4u);  // the fourth compile
  // Each material keeps its own pixel program.
  EXPECT_EQ(std::make_pair(log.materials[a].second, log.materials[b].second), pixelBefore);
}

TEST_F(ShaderServices, RecompileMatchesOnlyExactForwardSlashPaths) {
  const s32 a = material(ps);
  ASSERT_GE(a, 0);
  std::string backslashed = dir.file("shaders/common.hlsl");
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  for (const std::string& path : {backslashed, dir.file("shaders/unrelated.hlsl")}) {
    std::vector<s32> updated{99};
    std::string error = "stale";
    EXPECT_TRUE(services->recompileShaders({path}, updated, &error));
    EXPECT_TRUE(updated.empty()) << path;
    EXPECT_EQ(error, "") << path;
  }
  EXPECT_EQ(log.compiles, 2);
}

TEST_F(ShaderServices, FailedRecompileKeepsTheOldProgram) {
  const s32 a = material(ps);
  const auto before = log.materials[a];
  dir.write("shaders/object.ps.hlsl", "FAIL_HERE\n");
  std::vector<s32> updated;
  std::string error;
  EXPECT_TRUE(services->recompileShaders({ps}, updated, &error));
  EXPECT_TRUE(updated.empty());
  EXPECT_EQ(error, "Failed to compile " + ps + "\nFailed to Compile Pixel shader " + ps +
                       "\nmemory(3,1): error X3000: syntax error\n");
  EXPECT_EQ(log.materials[a], before);
  EXPECT_EQ(log.updates, 0);
}

TEST_F(ShaderServices, FailuresGoToTheErrorTextOrToTheLog) {
  struct Case {
    std::string pixelFile;
    std::string errorText;  // with an error text given
    std::string logged;     // without one
  };
  const std::string broken = dir.write("shaders/broken.hlsl", "FAIL_HERE\n");
  const std::string missing = dir.file("shaders/missing.hlsl");
  const Case cases[] = {
      {missing, "Shader files not found : " + vs + " " + missing,
       "ERROR : GvGPU: Shader files not found " + vs + " " + missing + "\n\n"},
      {broken,
       "Failed to Compile Pixel shader " + broken + "\nmemory(3,1): error X3000: syntax error",
       "ERROR : GvGPU: Failed to Compile Pixel shader " + broken +
           "\nprefix noise memory(3,1): error X3000: syntax error\n\n"
           "ERROR : GvGPU: Failed to get shader " + vs + " " + broken + "\n\n"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(material(c.pixelFile, nullptr, &error), -1);
    EXPECT_EQ(error, c.errorText);
    testing::internal::CaptureStdout();
    EXPECT_EQ(material(c.pixelFile), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.logged);
  }
  // A failed compile leaves no entry behind: the fixed file compiles on the next request.
  dir.write("shaders/broken.hlsl", "fixed\n");
  EXPECT_GE(material(broken), 0);
}

TEST_F(ShaderServices, MissingIncludeFailsWithTheDirectoriesTried) {
  const std::string pixel = dir.write("shaders/needs.hlsl", "#include \"nowhere.hlsl\"\n");
  gvLogSetLevel(GVLOG_DEBUG);
  testing::internal::CaptureStdout();
  EXPECT_EQ(material(pixel, nullptr, nullptr), -1);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("GvGPU: Include Not found: '" + dir.file("shaders/nowhere.hlsl") + "'"),
            std::string::npos);
  EXPECT_NE(out.find("GvGPU: ShaderIncludeCallback:Open FileName='nowhere.hlsl' FAILED"),
            std::string::npos);
}

TEST_F(ShaderServices, TakesMoreMacrosThanTheDirect3DTable) {
  std::vector<std::string> names;
  std::vector<CGvMacro> macros;
  for (int i = 0; i < 25; ++i) names.push_back("M" + std::to_string(i));
  for (const std::string& name : names) macros.push_back({name.c_str(), "1"});
  macros.push_back({nullptr, nullptr});
  EXPECT_GE(material(ps, macros.data()), 0);
  EXPECT_EQ(log.macroCounts, (std::vector<int>{25, 25}));
}

TEST_F(ShaderServices, ConstantAndSamplerLookUps) {
  const s32 a = material(ps);
  s32 first = 0, count = 0, unit = 0;
  EXPECT_TRUE(services->getPixelShaderConstant(a, "Scale", first, count));
  EXPECT_EQ(std::make_pair(first, count), std::make_pair(1, 1));
  EXPECT_TRUE(services->getVertexShaderConstant(a, "World", first, count));
  EXPECT_EQ(std::make_pair(first, count), std::make_pair(0, 4));
  EXPECT_FALSE(services->getVertexShaderConstant(a, "Scale", first, count));
  EXPECT_TRUE(services->getPixelShaderSampler(a, "Diffuse", unit));
  EXPECT_EQ(unit, 2);
  EXPECT_FALSE(services->getVertexShaderSampler(a, "Diffuse", unit));
  // The tables of the material asked for last are kept.
  EXPECT_EQ(log.tableFetches, 1);

  // Without tables (another driver) every look-up succeeds with no register.
  testing::internal::CaptureStdout();
  EXPECT_TRUE(services->getPixelShaderConstant(777, "Scale", first, count));
  EXPECT_EQ(std::make_pair(first, count), std::make_pair(-1, 0));
  EXPECT_TRUE(services->getPixelShaderSampler(777, "Diffuse", unit));
  EXPECT_EQ(unit, -1);
  EXPECT_FALSE(services->printConstants(777));
  EXPECT_NE(testing::internal::GetCapturedStdout().find(
                "ERROR : GvGPU: getMaterialTypeConstantTables failed"),
            std::string::npos);
}

// Each log line is followed by an empty one, as everywhere in the log.
TEST_F(ShaderServices, PrintConstantsPrintsWhateverTheThreshold) {
  const s32 a = material(ps);
  gvLogSetLevel(GVLOG_ERROR);
  testing::internal::CaptureStdout();
  EXPECT_TRUE(services->printConstants(a));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "INFO : Vertex Shader Constants\n\n"
            "INFO : Name='World' RegisterIndex=0 RegisterCount=4\n\n"
            "INFO : Pixel Shader Constants\n\n"
            "INFO : Name='Tint' RegisterIndex=0 RegisterCount=1\n\n"
            "INFO : Name='Scale' RegisterIndex=1 RegisterCount=1\n\n"
            "INFO : Name='Diffuse' RegisterIndex=2 RegisterCount=1\n\n");
  EXPECT_EQ(gvLogLevel(), GVLOG_ERROR);
}

// On drivers other than OpenGL the real additions answer "not available".
TEST(ShaderServicesOnTheNullDriver, CompilingIsNotAvailable) {
  gvLogReset();
  test::TempDir dir;
  const std::string file = dir.write("a.hlsl", "float4 main() : COLOR0 { return 1; }\n");
  irr::IrrlichtDevice* device = irr::createDevice(irr::video::EDT_NULL);
  ASSERT_NE(device, nullptr);
  {
    CGvGPUProgrammingServices services(device);
    std::string error;
    testing::internal::CaptureStdout();
    EXPECT_EQ(services.addShaderMaterialFromFiles(file.c_str(), "main", EVST_VS_3_0, file.c_str(),
                                                  "main", EPST_PS_3_0, nullptr,
                                                  irr::video::EMT_SOLID, 0, nullptr, &error),
              -1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find(
                  "INFO : Compile vertex shader not available (yet) in this driver, sorry"),
              std::string::npos);
    EXPECT_EQ(error.rfind("Failed to Compile Vertex shader " + file, 0), 0u) << error;
  }
  device->drop();
}

}  // namespace
}  // namespace gv
