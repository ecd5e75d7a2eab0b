// Building packages, reading them back through the file layer and unpacking packaged scenes.
#include "resources/package/loaded_package.h"
#include "resources/package/package.h"

#include "app/log/log.h"
#include "platform/message_box.h"
#include "resources/container/appended_container.h"
#include "resources/files/files.h"
#include "support/temp_dir.h"
#include "support/zip_fixture.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <irrlicht.h>
#include <map>
#include <unistd.h>
#include <zip.h>

namespace {

namespace fs = std::filesystem;
using gv::test::TempDir;
using Entries = std::map<std::string, std::string>;

std::vector<std::string> boxes;
void recordBox(const char*, const char* text, gv::platform::BoxIcon) { boxes.push_back(text); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

Entries entriesOf(const std::vector<std::uint8_t>& bytes) {
  Entries entries;
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, nullptr);
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, nullptr);
  if (!archive) {
    zip_source_free(source);
    return {{"<not an archive>", ""}};
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(archive, i, 0, &stat);
    std::string content(stat.size, '\0');
    zip_file_t* file = zip_fopen_index(archive, i, 0);
    zip_fread(file, content.data(), content.size());
    zip_fclose(file);
    EXPECT_EQ(stat.comp_method, ZIP_CM_DEFLATE) << stat.name;
    entries[stat.name] = content;
  }
  zip_discard(archive);
  return entries;
}

Entries entriesOfFile(const std::string& path) {
  std::string bytes = readFile(path);
  return entriesOf(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<std::string> namesOf(const Entries& entries) {
  std::vector<std::string> names;
  for (const auto& [name, content] : entries) names.push_back(name);
  return names;
}

// Appends a container by hand, the way the builder does.
void appendContainer(const std::string& executable, std::vector<std::uint8_t> archive, std::uint32_t resource) {
  std::uint64_t offset = fs::file_size(executable);
  gv::scrambleArchive(archive.data(), archive.size());
  std::vector<std::uint8_t> trailer = gv::encodeContainerTrailer({resource, offset, archive.size()});
  std::ofstream out(executable, std::ios::binary | std::ios::app);
  out.write(reinterpret_cast<const char*>(archive.data()), archive.size());
  out.write(reinterpret_cast<const char*>(trailer.data()), trailer.size());
}

class PackageTest : public testing::Test {
 protected:
  void SetUp() override {
    gvLogReset();
    gvLogSetLevel(GVLOG_NONE);
    boxes.clear();
    previousBox = gv::platform::setMessageBoxHandler(recordBox);
    gv::forgetArchive();
    gv::releaseEngineFiles();
    // The engine executable with its data beside it.
    engine = dir.write("engine/gavo", "\x7f" "ELF engine bytes");
    dir.write("engine/shaders/light.hlsl", "float4 light;");
    dir.write("engine/shadersHV/include/hv.h", "#define HV 1");
    dir.write("engine/shadersCache/a.pso", std::string("\0\1\2\3", 4));
    dir.write("engine/textures/noise.PNG", std::string(1000, '\x55'));
    dir.write("engine/textures/readme.txt", "not an image");
  }
  void TearDown() override {
    stopEngine();
    gv::forgetArchive();
    gv::platform::setMessageBoxHandler(previousBox);
    gvLogReset();
  }

  gv::PackageTarget target(const std::string& output, gv::PackageForm form) const {
    return gv::PackageTarget{dir.file(output), form, engine};
  }

  void writeDemoTree() {
    dir.write("demo/main.lua", "print('hello')");
    dir.write("demo/scenes/city.gscn", "scene");
    dir.write("demo/scenes/deep/mesh.x", std::string(5000, '\0') + "mesh");
    dir.write("demo/music/intro.mp3", std::string(70000, '\xAB'));
  }

  const Entries engineEntries = {{"shaders/light.hlsl", "float4 light;"},
                                 {"shadersHV/include/hv.h", "#define HV 1"},
                                 {"shadersCache/a.pso", std::string("\0\1\2\3", 4)},
                                 {"textures/noise.PNG", std::string(1000, '\x55')}};

  Entries withEngine(Entries entries) const {
    entries.insert(engineEntries.begin(), engineEntries.end());
    return entries;
  }

  // Reads every expected entry through the file layer with the package mounted in a NULL engine.
  void expectReadableThroughEngine(const std::string& executable, const Entries& expected) {
    std::unique_ptr<gv::LoadedPackage> package = gv::LoadedPackage::load(executable);
    ASSERT_TRUE(package) << (boxes.empty() ? "" : boxes.back());
    ASSERT_EQ(package->mount(), 0);
    irr::SIrrlichtCreationParameters params;
    params.DriverType = irr::video::EDT_NULL;
    params.LoggingLevel = irr::ELL_NONE;
    device = irr::createDeviceEx(params);
    ASSERT_TRUE(device);
    ASSERT_EQ(gv::reapplyArchive(device->getFileSystem()), 0);
    for (const auto& [name, content] : expected) {
      std::optional<std::vector<std::uint8_t>> bytes = gv::readWholeFile(name);
      ASSERT_TRUE(bytes) << name;
      EXPECT_EQ(std::string(bytes->begin(), bytes->end()), content) << name;
    }
    stopEngine();
  }

  void stopEngine() {
    if (!device) return;
    gv::releaseEngineFiles();
    device->drop();
    device = nullptr;
  }

  TempDir dir;
  std::string engine;
  irr::IrrlichtDevice* device = nullptr;
  gv::platform::MessageBoxHandler previousBox = nullptr;
};

TEST(Scramble, WholeWordsChangeTheTailStaysAndTwiceRestores) {
  for (std::size_t size = 0; size <= 9; ++size) {
    std::vector<std::uint8_t> original(size);
    for (std::size_t i = 0; i < size; ++i) original[i] = static_cast<std::uint8_t>(i * 37 + 1);
    std::vector<std::uint8_t> bytes = original;
    gv::scrambleArchive(bytes.data(), bytes.size());
    std::size_t whole = size / 4 * 4;
    for (std::size_t i = 0; i < size; ++i) {
      if (i < whole)
        EXPECT_NE(bytes[i], original[i]) << "size " << size << " byte " << i;
      else
        EXPECT_EQ(bytes[i], original[i]) << "size " << size << " byte " << i;
    }
    gv::scrambleArchive(bytes.data(), bytes.size());
    EXPECT_EQ(bytes, original) << "size " << size;
  }
}

TEST(DirectoryList, LinesSplitIntoDirectoryAndPattern) {
  std::vector<gv::ListedFiles> lines = gv::parseDirectoryList(
      "textures/*.png\r\n"
      "   *.lua\n"
      "\n\r\n"
      "/gavo.demo.ini\n"
      "scenes\\city\\*.x  \n"
      "deep/er/*");
  std::vector<std::pair<std::string, std::string>> got;
  for (const gv::ListedFiles& line : lines) got.emplace_back(line.directory, line.pattern);
  std::vector<std::pair<std::string, std::string>> expected = {
      {"textures", "*.png"}, {"", "*.lua"}, {"", "gavo.demo.ini"}, {"scenes\\city", "*.x"}, {"deep/er", "*"}};
  EXPECT_EQ(got, expected);
}

TEST_F(PackageTest, DirectoryPackageIsReadableFromTheExecutableAndFromTheSideFile) {
  writeDemoTree();
  Entries expected = withEngine({{"main.lua", "print('hello')"},
                                 {"scenes/city.gscn", "scene"},
                                 {"scenes/deep/mesh.x", std::string(5000, '\0') + "mesh"},
                                 {"music/intro.mp3", std::string(70000, '\xAB')}});
  fs::create_directories(dir.file("out"));
  ASSERT_EQ(gv::buildDirectoryPackage(target("out/appended", gv::PackageForm::Executable), dir.file("demo")), 0);
  std::string appended = dir.file("out/appended");
  EXPECT_EQ(readFile(appended).rfind("\x7f" "ELF engine bytes", 0), 0u) << "the executable comes first, unchanged";
  EXPECT_FALSE(fs::exists(appended + ".dat.tmp")) << "the temporary archive is removed";
  EXPECT_FALSE(fs::exists(dir.file("out/appended.dat")));
  EXPECT_TRUE(fs::status(appended).permissions() == fs::status(engine).permissions());
  std::string error;
  std::optional<std::vector<std::uint8_t>> archive = gv::loadAppendedArchive(appended, gv::kPackageResource, error);
  ASSERT_TRUE(archive) << error;
  EXPECT_EQ(entriesOf(*archive), expected);
  expectReadableThroughEngine(appended, expected);

  ASSERT_EQ(gv::buildDirectoryPackage(target("out/side", gv::PackageForm::SideFile), dir.file("demo")), 0);
  EXPECT_EQ(readFile(dir.file("out/side")), readFile(engine));
  EXPECT_EQ(entriesOfFile(dir.file("out/side.dat")), expected);
  expectReadableThroughEngine(dir.file("out/side"), expected);
  EXPECT_TRUE(boxes.empty()) << boxes.front();
}

TEST_F(PackageTest, TheAppendedPackageWinsOverTheSideFile) {
  dir.write("demo/main.lua", "appended");
  ASSERT_EQ(gv::buildDirectoryPackage(target("intro", gv::PackageForm::Executable), dir.file("demo")), 0);
  std::vector<std::uint8_t> side = gv::test::makeZip({{"main.lua", "side file"}});
  dir.write("intro.dat", std::string(side.begin(), side.end()));
  expectReadableThroughEngine(dir.file("intro"), {{"main.lua", "appended"}});
}

TEST_F(PackageTest, AnOutputInsideThePackagedDirectoryIsLeftOut) {
  writeDemoTree();
  dir.write("demo/old.dat", "an old side file");
  ASSERT_EQ(gv::buildDirectoryPackage(target("demo/old", gv::PackageForm::SideFile), dir.file("demo")), 0);
  std::vector<std::string> names = namesOf(entriesOfFile(dir.file("demo/old.dat")));
  EXPECT_EQ(std::count(names.begin(), names.end(), "old"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "old.dat"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "main.lua"), 1);
}

TEST_F(PackageTest, DemoPackageCarriesItsDirectoriesShadersMusicAndLoadingScreen) {
  dir.write("demo/intro.demo.ini", "[part1]\n");
  dir.write("demo/scenes/city.gscn", "scene");
  dir.write("demo/scenes/wall.Jpg", "jpeg");
  dir.write("demo/scenes/notes.txt", "left out");
  dir.write("demo/scenes/glass.fx", "effect");
  dir.write("demo/fx/glow.fx", "glow");
  dir.write("demo/fx/blur.psh", "left out: camera shaders are .fx, .hlsl and .h");
  dir.write("demo/music/intro.mp3", "mp3");
  dir.write("demo/loading.png", "png");
  gv::DemoPackageContent demo{dir.file("demo/intro.demo.ini"), {"scenes"}, "fx", "music"};
  ASSERT_EQ(gv::buildDemoPackage(target("intro", gv::PackageForm::SideFile), demo), 0);
  EXPECT_EQ(entriesOfFile(dir.file("intro.dat")), withEngine({{"gavo.demo.ini", "[part1]\n"},
                                                              {"scenes/city.gscn", "scene"},
                                                              {"scenes/wall.Jpg", "jpeg"},
                                                              {"scenes/glass.fx", "effect"},
                                                              {"fx/glow.fx", "glow"},
                                                              {"music/intro.mp3", "mp3"},
                                                              {"loading.png", "png"}}));
}

TEST_F(PackageTest, ListPackageNamesFilesRelativeToTheCurrentDirectory) {
  dir.write("work/textures/a.png", "a");
  dir.write("work/textures/b.txt", "b");
  dir.write("work/main.lua", "script");
  dir.write("work/list.txt", "textures/*.png\n  *.lua\n");
  std::string previous = fs::current_path();
  fs::current_path(dir.file("work"));
  int result = gv::buildListPackage(target("listed", gv::PackageForm::SideFile), "list.txt");
  fs::current_path(previous);
  ASSERT_EQ(result, 0);
  // The engine's own textures/noise.PNG is added after the listed files: both keep their names.
  EXPECT_EQ(entriesOfFile(dir.file("listed.dat")), withEngine({{"textures/a.png", "a"}, {"main.lua", "script"}}));
}

TEST_F(PackageTest, BuildFailuresSayWhatWentWrong) {
  dir.write("demo/intro.demo.ini", "[part1]\n");
  struct Case {
    const char* what;
    std::function<int()> build;
    const char* says;
  } cases[] = {
      {"no engine executable",
       [&] { return gv::buildDirectoryPackage({dir.file("x"), gv::PackageForm::Executable, dir.file("none")}, dir.path()); },
       "Failed to copy "},
      {"replacing the engine itself",
       [&] { return gv::buildDirectoryPackage({engine, gv::PackageForm::Executable, engine}, dir.file("demo")); },
       "a package cannot replace the running executable"},
      {"missing directory",
       [&] { return gv::buildDirectoryPackage(target("x", gv::PackageForm::SideFile), dir.file("none")); },
       "Failed to open directory "},
      {"directory outside the demo",
       [&] {
         gv::DemoPackageContent demo{dir.file("demo/intro.demo.ini"), {"../engine"}, "", ""};
         return gv::buildDemoPackage(target("x", gv::PackageForm::SideFile), demo);
       },
       "Failed to combine basedir="},
      {"missing description",
       [&] {
         gv::DemoPackageContent demo{dir.file("demo/none.demo.ini"), {}, "", ""};
         return gv::buildDemoPackage(target("x", gv::PackageForm::SideFile), demo);
       },
       "Failed to read file path="},
      {"missing list", [&] { return gv::buildListPackage(target("x", gv::PackageForm::SideFile), dir.file("none")); },
       "Failed to read  "},
  };
  for (const Case& c : cases) {
    boxes.clear();
    EXPECT_EQ(c.build(), -1) << c.what;
    ASSERT_FALSE(boxes.empty()) << c.what;
    EXPECT_NE(boxes.back().find(c.says), std::string::npos) << c.what << ": " << boxes.back();
  }
  EXPECT_EQ(readFile(engine), "\x7f" "ELF engine bytes");
}

TEST_F(PackageTest, EngineDataPackageIsContainer501WithoutCompiledShaders) {
  ASSERT_EQ(gv::buildEngineDataPackage(target("engine-data", gv::PackageForm::Executable)), 0);
  std::string exe = dir.file("engine-data");
  EXPECT_FALSE(gv::carriesPackage(exe)) << "the player reads container 500 only";
  std::string error;
  std::optional<std::vector<std::uint8_t>> archive = gv::loadAppendedArchive(exe, gv::kEngineDataResource, error);
  ASSERT_TRUE(archive) << error;
  Entries expected = engineEntries;
  expected.erase("shadersCache/a.pso");
  EXPECT_EQ(entriesOf(*archive), expected);
}

TEST_F(PackageTest, DamagedPackagesAreClearErrors) {
  std::vector<std::uint8_t> zip = gv::test::makeZip({{"main.lua", std::string(3000, 'x')}});
  std::vector<std::uint8_t> truncated(zip.begin(), zip.begin() + zip.size() / 2);
  std::vector<std::uint8_t> noise(500, 0x42);
  struct Case {
    const char* what;
    std::function<void(const std::string& exe)> make;
    const char* says;
  } cases[] = {
      {"nothing carried", [](const std::string&) {}, "Resources don't exist"},
      {"truncated archive", [&](const std::string& exe) { appendContainer(exe, truncated, 500); },
       "Failed to load resources from executable (the archive is damaged"},
      {"not an archive", [&](const std::string& exe) { appendContainer(exe, noise, 500); },
       "Failed to load resources from executable (the archive is damaged"},
      {"trailer that does not fit",
       [&](const std::string& exe) {
         appendContainer(exe, zip, 500);
         std::fstream file(exe, std::ios::in | std::ios::out | std::ios::binary);
         file.seekp(-8, std::ios::end);
         file.put('\x7f');  // the size no longer matches the trailer's place
       },
       "Failed to load resources from executable (its container trailer is damaged)"},
      {"damaged side file", [&](const std::string& exe) { dir.write(fs::path(exe).filename().string() + ".dat", "PK junk"); },
       ".dat (the archive is damaged"},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string exe = dir.write("damaged" + std::to_string(n++), "ELF");
    c.make(exe);
    boxes.clear();
    EXPECT_FALSE(gv::LoadedPackage::load(exe)) << c.what;
    ASSERT_FALSE(boxes.empty()) << c.what;
    EXPECT_NE(boxes.back().find(c.says), std::string::npos) << c.what << ": " << boxes.back();
  }
}

class ExtractTest : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    previous = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(previous);
    PackageTest::TearDown();
  }
  std::vector<std::string> extractedFiles() const {
    std::vector<std::string> files;
    if (!fs::exists(dir.file("target"))) return files;
    for (const auto& entry : fs::recursive_directory_iterator(dir.file("target")))
      if (!entry.is_directory()) files.push_back(entry.path().lexically_relative(dir.file("target")).string());
    std::sort(files.begin(), files.end());
    return files;
  }
  std::string previous;
};

TEST_F(ExtractTest, ScenePackageGivesBackSourcesAndImages) {
  dir.write("scene/city.gscn", "scene");
  dir.write("scene/mesh.x", "mesh");
  dir.write("scene/wall.png", "wall");
  dir.write("scene/scene_backup/city.lws", "lws");
  dir.write("scene/scene_backup/ship.lwo", "lwo");
  ASSERT_EQ(gv::buildScenePackage(target("city", gv::PackageForm::Executable), dir.file("scene/city.gscn")), 0);
  EXPECT_EQ(namesOf(entriesOf(*[&] {
              std::string error;
              return gv::loadAppendedArchive(dir.file("city"), 500, error);
            }())),
            namesOf(withEngine({{"gavo.gscn", ""}, {"mesh.x", ""}, {"wall.png", ""},
                                {"scene_backup/city.lws", ""}, {"scene_backup/ship.lwo", ""}})));
  fs::create_directories(dir.file("target"));
  ASSERT_EQ(gv::extractScenePackage(dir.file("city"), dir.file("target")), 0);
  std::vector<std::string> expected = {"ExeExtract/Images/wall.png", "ExeExtract/Objects/ship.lwo",
                                       "ExeExtract/Scenes/city.lws"};
  EXPECT_EQ(extractedFiles(), expected);
  EXPECT_EQ(readFile(dir.file("target/ExeExtract/Objects/ship.lwo")), "lwo");
}

TEST_F(ExtractTest, DemoPackagesAndSideFilesAreNotExtracted) {
  dir.write("demo/intro.demo.ini", "[part1]\n");
  gv::DemoPackageContent demo{dir.file("demo/intro.demo.ini"), {}, "", ""};
  ASSERT_EQ(gv::buildDemoPackage(target("intro", gv::PackageForm::Executable), demo), 0);
  EXPECT_EQ(gv::extractScenePackage(dir.file("intro"), dir.file("target")), 0);
  EXPECT_TRUE(extractedFiles().empty());

  ASSERT_EQ(gv::buildDemoPackage(target("side", gv::PackageForm::SideFile), demo), 0);
  EXPECT_EQ(gv::extractScenePackage(dir.file("side"), dir.file("target")), -1);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().rfind("Failed to open archive", 0), 0u) << boxes.back();
}

TEST_F(ExtractTest, EntryNamesNeverLeaveTheTargetFolder) {
  std::string exe = dir.write("hostile", "ELF");
  appendContainer(exe,
                  gv::test::makeZip({{"gavo.gscn", "scene"},
                                     {"scene_backup/../../../../escaped.lwo", "lwo"},
                                     {"..\\..\\escaped.png", "png"},
                                     {"/abs/escaped.jpg", "jpg"},
                                     {"..", "dots"},
                                     {"link.png", "through a link"}}),
                  500);
  fs::create_directories(dir.file("target/ExeExtract/Images"));
  fs::create_symlink(dir.file("outside.png"), dir.file("target/ExeExtract/Images/link.png"));
  EXPECT_EQ(gv::extractScenePackage(exe, dir.file("target")), -1) << "the link is not followed";
  EXPECT_FALSE(fs::exists(dir.file("outside.png")));
  for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
    std::string name = entry.path().filename().string();
    if (name.find("escaped") != std::string::npos) {
      EXPECT_EQ(entry.path().string().rfind(dir.file("target/ExeExtract/"), 0), 0u) << entry.path();
    }
  }
  EXPECT_EQ(readFile(dir.file("target/ExeExtract/Objects/escaped.lwo")), "lwo");
}

}  // namespace
