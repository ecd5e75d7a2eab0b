#include "resources/files/files.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using gv::test::TempDir;

class PlainFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    testing::internal::CaptureStdout();
    gv::usePlainFiles();
    testing::internal::GetCapturedStdout();
    gv::setDirectory("");
    gv::setBaseDirectory("");
  }
  void TearDown() override {
    gv::setDirectory("");
    gv::setBaseDirectory("");
  }
  TempDir dir;
};

TEST_F(PlainFilesTest, AbsolutePathJoinsTheCurrentDirectory) {
  struct Case {
    const char* current;
    const char* path;
    const char* absolute;
  } cases[] = {
      {"", "scene.gscn", "scene.gscn"},
      {"data", "scene.gscn", "data/scene.gscn"},
      {"data/", "scene.gscn", "data/scene.gscn"},
      {"C:", "scene.gscn", "C:scene.gscn"},
      {"data\\", "scene.gscn", "data\\scene.gscn"},
      {"data", "/abs/scene.gscn", "/abs/scene.gscn"},  // an absolute path stays as it is
  };
  for (const Case& c : cases) {
    gv::setDirectory(c.current);
    EXPECT_EQ(gv::absolutePath(c.path), c.absolute) << c.current << " + " << c.path;
  }
}

TEST_F(PlainFilesTest, DirectoryPartAndFileName) {
  struct Case {
    const char* path;
    const char* directory;
    const char* nameWithExtension;
    const char* nameWithout;
  } cases[] = {
      {"scenes/scene.lws.ini", "scenes/", "scene.lws.ini", "scene.lws"},
      {"scene.gscn", "", "scene.gscn", "scene"},
      {"c:\\demo\\intro.demo.ini", "c:\\demo\\", "intro.demo.ini", "intro.demo"},
      {"C:readme", "C:", "readme", "readme"},
      {"dir/", "dir/", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(gv::directoryPart(c.path), c.directory) << c.path;
    EXPECT_EQ(gv::fileName(c.path, true), c.nameWithExtension) << c.path;
    EXPECT_EQ(gv::fileName(c.path, false), c.nameWithout) << c.path;
  }
}

TEST_F(PlainFilesTest, EnterDirectoryAppendsWithOneSeparatorAndLongPathsAreRefused) {
  gv::setDirectory("data");
  gv::enterDirectory("scenes");
  EXPECT_EQ(gv::getDirectory(), "data/scenes");
  gv::setDirectory("data/");
  gv::enterDirectory("scenes");
  EXPECT_EQ(gv::getDirectory(), "data/scenes");
  gv::setDirectory("");
  gv::enterDirectory("scenes");
  EXPECT_EQ(gv::getDirectory(), "scenes");

  EXPECT_TRUE(gv::setDirectory(std::string(2047, 'a')));
  EXPECT_FALSE(gv::enterDirectory("b"));
  EXPECT_EQ(gv::getDirectory().size(), 2047u);
  EXPECT_FALSE(gv::setDirectory(std::string(2048, 'a')));
}

TEST_F(PlainFilesTest, StreamOperations) {
  dir.write("text.txt", "first line\nsecond\nlast");
  gv::setDirectory(dir.path());
  gv::FileStreamPtr file = gv::openFile("text.txt", "rb");
  ASSERT_TRUE(file);
  char line[64];
  ASSERT_TRUE(file->gets(line, sizeof line));
  EXPECT_STREQ(line, "first line\n");
  EXPECT_EQ(file->tell(), 11);
  EXPECT_EQ(file->getc(), 's');
  ASSERT_TRUE(file->gets(line, 4));  // capacity cuts the line
  EXPECT_STREQ(line, "eco");
  EXPECT_EQ(file->seek(-4, 2), 0);
  ASSERT_TRUE(file->gets(line, sizeof line));
  EXPECT_STREQ(line, "last");
  EXPECT_EQ(file->gets(line, sizeof line), nullptr);
  EXPECT_EQ(file->getc(), -1);
  EXPECT_EQ(file->seek(6, 0), 0);
  char word[4];
  EXPECT_EQ(file->read(word, 2, 2), 2u);
  EXPECT_EQ(std::string(word, 4), "line");
  EXPECT_EQ(file->seek(1, 1), 0);
  EXPECT_EQ(file->getc(), 's');
}

TEST_F(PlainFilesTest, MissingFilesWriteModesAndWholeReads) {
  std::string path = dir.write("data.bin", std::string("\0\1\2\3", 4));
  EXPECT_FALSE(gv::openFile(dir.file("missing"), "rb"));
  EXPECT_FALSE(gv::fileExists(dir.file("missing")));
  EXPECT_TRUE(gv::fileExists(path));
  for (const char* mode : {"w", "wb", "a", "r+"}) EXPECT_FALSE(gv::openFile(path, mode)) << mode;
  auto bytes = gv::readWholeFile(path);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{0, 1, 2, 3}));  // nothing was truncated
  EXPECT_FALSE(gv::readWholeFile(dir.file("missing")));
  auto empty = gv::readWholeFile(dir.write("empty", ""));
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
}

TEST_F(PlainFilesTest, FindDataFileSearchesInOrder) {
  // current directory: dir/cur; base directory: dir/base/
  gv::setDirectory(dir.file("cur"));
  gv::setBaseDirectory(dir.file("base/"));
  dir.write("cur/asgiven.fx", "");
  dir.write("cur/shadersPP/asgiven.fx", "");
  dir.write("cur/shadersPP/pp.fx", "");
  dir.write("cur/textures/pp.fx", "");
  dir.write("base/shadersPP/based.fx", "");
  dir.write("base/rootfile.png", "");
  dir.write("base/shaders/rootfile.png", "");
  dir.write("base/textures/tex.png", "");

  struct Case {
    const char* name;
    std::string found;
  } cases[] = {
      {"asgiven.fx", "asgiven.fx"},  // as given wins over a data directory
      {"pp.fx", "shadersPP/pp.fx"},  // first data directory in order
      {"based.fx", dir.file("base/shadersPP/based.fx")},
      {"rootfile.png", dir.file("base/rootfile.png")},  // base itself before its data directories
      {"tex.png", dir.file("base/textures/tex.png")},
      {"nowhere.fx", "nowhere.fx"},
  };
  for (const Case& c : cases) EXPECT_EQ(gv::findDataFile(c.name), c.found) << c.name;
}

TEST_F(PlainFilesTest, HooksReplaceTheDefaults) {
  gv::FileSystemHooks hooks;
  hooks.path.fileName = [](const std::string&, bool) { return std::string("hooked"); };
  gv::setFileSystemHooks(hooks);
  EXPECT_EQ(gv::fileName("a/b.c", true), "hooked");
  EXPECT_EQ(gv::directoryPart("a/b.c"), "a/");  // the other groups keep their defaults
  gv::setFileSystemHooks({});
}

TEST(SideFile, NamedLikeTheExecutableWithDat) {
  EXPECT_EQ(gv::sideFileName("/opt/demo/intro"), "/opt/demo/intro.dat");
  EXPECT_EQ(gv::sideFileName("/opt/demo/intro.exe"), "/opt/demo/intro.dat");
  EXPECT_EQ(gv::sideFileName("/opt/demo.d/intro"), "/opt/demo.d/intro.dat");
}

}  // namespace
