// The compiled-shader cache under the services: hits skip compiling, stale, conflicting and
// damaged files are recompiled and rewritten, and the modes decide what is read and written.
#include "effects/shaders/shader_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <fstream>
#include <sstream>

#include "app/log/log.h"
#include "effects/shaders/gpu_programming_services.h"
#include "engine/hlsl/shader_cache_name.h"
#include "fake_shader_programming.h"
#include "support/temp_dir.h"
#include "support/zip_fixture.h"

namespace gv {
namespace {

std::string contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool exists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

void setTime(const std::string& path, time_t seconds) {
  const utimbuf times{seconds, seconds};
  ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

class CompiledShaderCache : public testing::Test {
 public:
  void SetUp() override {
    gvLogReset();
    device = irr::createDevice(irr::video::EDT_NULL);
    ASSERT_NE(device, nullptr);
    vs = dir.write("shaders/water.hlsl", "#include \"inc/waves.hlsl\"\nvs\n");
    include = dir.write("shaders/inc/waves.hlsl", "// waves\n");
    ps = dir.write("shaders/plain.hlsl", "ps\n");
    ::mkdir(dir.file("shadersCache").c_str(), 0755);
    cachedVs = dir.file("shadersCache/shaders!water!vsMain!3ZVJB5AZ5AKM63EVB1PCZVS9VHG93B7P.vso");
  }
  void TearDown() override {
    if (device) device->drop();
    gvLogReset();
  }

  // A new run: fresh services over the same files, counting its compiles.
  s32 run(s32 mode, const CGvMacro* macros = nullptr, std::string cacheDirectory = "") {
    log = test::FakeProgrammingLog();
    services = std::make_unique<CGvGPUProgrammingServices>(
        device, std::make_unique<test::FakeShaderProgramming>(log));
    services->setCacheDirectory(cacheDirectory.empty() ? dir.file("shadersCache") : cacheDirectory,
                                mode);
    return services->addShaderMaterialFromFiles(vs.c_str(), "vsMain", irr::video::EVST_VS_3_0,
                                                ps.c_str(), "psMain", irr::video::EPST_PS_3_0,
                                                nullptr, irr::video::EMT_SOLID, 0, macros, nullptr);
  }

  test::TempDir dir;
  std::string vs, include, ps, cachedVs;
  irr::IrrlichtDevice* device = nullptr;
  test::FakeProgrammingLog log;
  std::unique_ptr<CGvGPUProgrammingServices> services;
};

TEST_F(CompiledShaderCache, SecondRunTakesProgramsFromTheCache) {
  ASSERT_GE(run(7), 0);
  EXPECT_EQ(log.compiles, 2);
  ASSERT_TRUE(exists(cachedVs));
  EXPECT_EQ(contents(cachedVs + ".inf"), "");
  const std::string code = contents(cachedVs);
  ASSERT_GE(run(7), 0);
  EXPECT_EQ(log.compiles, 0);
  EXPECT_EQ(contents(cachedVs), code);
  // The cache read records the includes, so an edit still finds the program.
  std::vector<s32> updated;
  services->recompileShaders({include}, updated, nullptr);
  EXPECT_EQ(log.compiles, 1);
  EXPECT_EQ(updated.size(), 1u);
}

TEST_F(CompiledShaderCache, MacroStringNamesTheFilesAndFillsTheInformationFile) {
  const CGvMacro macros[] = {{"SHADOWS", "1"}, {"FOG", nullptr}, {nullptr, nullptr}};
  ASSERT_GE(run(7, macros), 0);
  const std::string macroString = "FOG ~SHADOWS 1~";
  const std::string inf = contents(dir.file("shadersCache/shaders!water!vsMain!" +
                                            engine::shaderHashText(engine::shaderMacroHash(macroString)) +
                                            ".vso.inf"));
  EXPECT_EQ(inf, macroString);
  // The same macros in another order hit the cache.
  const CGvMacro reordered[] = {{"FOG", ""}, {"SHADOWS", "1"}, {nullptr, nullptr}};
  ASSERT_GE(run(7, reordered), 0);
  EXPECT_EQ(log.compiles, 0);
}

TEST_F(CompiledShaderCache, StaleConflictingAndDamagedFilesAreRecompiledAndRewritten) {
  struct Case {
    const char* what;
    void (*spoil)(CompiledShaderCache&);
    const char* message;
  };
  const Case cases[] = {
      {"an include edited after the cache file",
       [](CompiledShaderCache& t) { setTime(t.include, time(nullptr) + 100); },
       "GvGPU: '%s' not up to date against shader files"},
      {"another macro string with the same name",
       [](CompiledShaderCache& t) { t.dir.write("shadersCache/" + t.cachedVs.substr(t.cachedVs.rfind('/') + 1) + ".inf", "OTHER 1~"); },
       "GvGPU: WARNING ! Conflict in Shader Cache on '%s' : Cached Macros : 'OTHER 1~' ; New Macros ''"},
      {"a truncated code file",
       [](CompiledShaderCache& t) { ::truncate(t.cachedVs.c_str(), 22); },
       "GvGPU: Cached Compiled Shader file cannot be read %s"},
      {"a code file that is not SPIR-V",
       [](CompiledShaderCache& t) {
         std::ofstream(t.cachedVs, std::ios::binary) << "DXBC0123456789abcdefghijklmnop";
       },
       "GvGPU: Cached Compiled Shader file cannot be read %s"},
      {"an id out of range, the rest of the layout intact",
       [](CompiledShaderCache& t) {
         std::fstream file(t.cachedVs, std::ios::binary | std::ios::in | std::ios::out);
         const std::uint32_t id = 99;
         file.seekp(12 * 4);  // the entry point's function id
         file.write(reinterpret_cast<const char*>(&id), sizeof id);
       },
       "GvGPU: Cached Compiled Shader file cannot be read %s"},
  };
  for (const Case& c : cases) {
    ASSERT_GE(run(7), 0);
    setTime(vs, 1000000);
    setTime(include, 1000000);
    setTime(cachedVs, 2000000);
    c.spoil(*this);
    gvLogSetLevel(GVLOG_DEBUG);
    testing::internal::CaptureStdout();
    ASSERT_GE(run(7), 0) << c.what;
    const std::string out = testing::internal::GetCapturedStdout();
    char expected[1024];
    std::snprintf(expected, sizeof expected, c.message, cachedVs.c_str());
    EXPECT_NE(out.find(expected), std::string::npos) << c.what << "\n" << out;
    EXPECT_EQ(log.compiles, 1) << c.what;  // the vertex program only
    EXPECT_EQ(contents(cachedVs + ".inf"), "") << c.what;
    EXPECT_EQ(log.materials.begin()->second.first, 1u) << c.what;
    gvLogSetLevel(GVLOG_INFO);
  }
}

TEST_F(CompiledShaderCache, ModesAndTimes) {
  ASSERT_GE(run(7), 0);
  setTime(vs, 1000000);
  setTime(include, 1000000);
  setTime(cachedVs, 1000000);
  // Equal times count as up to date.
  ASSERT_GE(run(7), 0);
  EXPECT_EQ(log.compiles, 0);
  // Read only (a packaged demo): an older cache file is used and nothing is written.
  setTime(include, 3000000);
  ASSERT_GE(run(ESCM_READ), 0);
  EXPECT_EQ(log.compiles, 0);
  std::remove(cachedVs.c_str());
  ASSERT_GE(run(ESCM_READ), 0);
  EXPECT_EQ(log.compiles, 1);
  EXPECT_FALSE(exists(cachedVs));
  // Write only: compiles every time, writes what it compiled.
  ASSERT_GE(run(ESCM_WRITE), 0);
  EXPECT_EQ(log.compiles, 2);
  EXPECT_TRUE(exists(cachedVs));
  // A missing cache directory: every write fails, everything compiles.
  ASSERT_GE(run(7, nullptr, dir.file("noCache")), 0);
  EXPECT_EQ(log.compiles, 2);
  EXPECT_FALSE(exists(dir.file("noCache")));
}

TEST_F(CompiledShaderCache, EmptyDirectoryDisablesTheCache) {
  log = test::FakeProgrammingLog();
  services = std::make_unique<CGvGPUProgrammingServices>(
      device, std::make_unique<test::FakeShaderProgramming>(log));
  services->setCacheDirectory("", 7);
  gvLogSetLevel(GVLOG_DEBUG);
  testing::internal::CaptureStdout();
  ASSERT_GE(services->addShaderMaterialFromFiles(vs.c_str(), "vsMain", irr::video::EVST_VS_3_0,
                                                 ps.c_str(), "psMain", irr::video::EPST_PS_3_0,
                                                 nullptr, irr::video::EMT_SOLID, 0, nullptr, nullptr),
            0);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("GvGPU: Cache not read enabled"), std::string::npos);
  EXPECT_NE(out.find("GvGPU: Cache not write enabled"), std::string::npos);
  EXPECT_FALSE(exists(cachedVs));
}

// A packaged demo carries its cache inside the mounted archive.
TEST_F(CompiledShaderCache, ReadsFromAMountedArchive) {
  ASSERT_GE(run(7), 0);
  const std::string name = cachedVs.substr(cachedVs.rfind('/') + 1);
  std::vector<std::uint8_t> zip =
      test::makeZip({{"shadersCache/" + name, contents(cachedVs)}, {"shadersCache/" + name + ".inf", ""}});
  std::remove(cachedVs.c_str());
  irr::io::IFileSystem* files = device->getFileSystem();
  irr::io::IReadFile* package =
      files->createMemoryReadFile(zip.data(), static_cast<irr::s32>(zip.size()), "package.zip");
  const bool mounted = files->addFileArchive(package, false, false);
  package->drop();
  ASSERT_TRUE(mounted);
  EXPECT_GE(run(ESCM_READ, nullptr, "shadersCache"), 0);
  EXPECT_EQ(log.compiles, 1);  // the pixel program only
  files->removeFileArchive(files->getFileArchiveCount() - 1);  // before `zip` goes
}

TEST(ShaderIncludeScan, FollowsQuotedIncludesToTheGivenDepth) {
  test::TempDir dir;
  irr::IrrlichtDevice* device = irr::createDevice(irr::video::EDT_NULL);
  ASSERT_NE(device, nullptr);
  const std::string top = dir.write("top.hlsl",
                                    "#include \"a.hlsl\"\n"
                                    "// #include \"commented.hlsl\"\n"
                                    "#include <system.hlsl>\n"
                                    "#include \"last.hlsl\"");  // no line end: ignored
  dir.write("a.hlsl", "#include \"sub/b.hlsl\"\r\n");
  dir.write("sub/b.hlsl", "#include \"c.hlsl\"\n");
  dir.write("sub/c.hlsl", "");
  ShaderCache cache(device->getFileSystem());
  std::set<std::string> deep, shallow;
  testing::internal::CaptureStdout();
  cache.scanIncludes(top, 4, deep);
  cache.scanIncludes(top, 0, shallow);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(deep, (std::set<std::string>{dir.file("a.hlsl"), dir.file("commented.hlsl"),
                                         dir.file("sub/b.hlsl"), dir.file("sub/c.hlsl")}));
  EXPECT_EQ(shallow, (std::set<std::string>{dir.file("a.hlsl"), dir.file("commented.hlsl")}));
  // The commented-out file does not exist: logged and skipped.
  EXPECT_NE(out.find("GvGPU: getShaderIncludes:read file '" + dir.file("commented.hlsl") +
                     "' FAILED"),
            std::string::npos);
  device->drop();
}

}  // namespace
}  // namespace gv
