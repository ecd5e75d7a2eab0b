// The engine back end and archive mounting, on Irrlicht's NULL driver.
#include "resources/files/files.h"

#include "app/log/log.h"
#include "platform/message_box.h"
#include "support/temp_dir.h"
#include "support/zip_fixture.h"

#include <gtest/gtest.h>
#include <irrlicht.h>

namespace {

using gv::test::TempDir;

std::vector<std::string> boxes;
void recordBox(const char*, const char* text, gv::platform::BoxIcon) { boxes.push_back(text); }

std::string readText(const std::string& path) {
  auto bytes = gv::readWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

class EngineFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    gvLogReset();
    gvLogSetLevel(GVLOG_NONE);
    boxes.clear();
    previousBox = gv::platform::setMessageBoxHandler(recordBox);
    gv::forgetArchive();
    gv::releaseEngineFiles();
  }
  void TearDown() override {
    stopEngine();
    gv::forgetArchive();
    gv::platform::setMessageBoxHandler(previousBox);
    gvLogReset();
  }
  irr::io::IFileSystem* startEngine() {
    irr::SIrrlichtCreationParameters params;
    params.DriverType = irr::video::EDT_NULL;
    params.LoggingLevel = irr::ELL_NONE;
    device = irr::createDeviceEx(params);
    if (!device) return nullptr;
    EXPECT_EQ(gv::reapplyArchive(device->getFileSystem()), 0);
    return device->getFileSystem();
  }
  void stopEngine() {
    if (!device) return;
    gv::releaseEngineFiles();
    device->drop();
    device = nullptr;
  }

  TempDir dir;
  irr::IrrlichtDevice* device = nullptr;
  gv::platform::MessageBoxHandler previousBox = nullptr;
  const gv::test::ZipEntries entries = {
      {"gavo.demo.ini", "[setup]\n"},
      {"Scenes/City/City.GSCN", "scene"},
      {"shaders/light.fx", "fx"},
  };
};

TEST_F(EngineFilesTest, MemoryArchiveRequestedBeforeStartIsMountedByTheStart) {
  std::vector<std::uint8_t> zip = gv::test::makeZip(entries);
  ASSERT_EQ(gv::mountArchiveMemory(zip.data(), zip.size()), 0);
  EXPECT_TRUE(gv::isArchiveMounted());
  EXPECT_FALSE(gv::fileExists("gavo.demo.ini"));  // plain files until the engine runs

  ASSERT_TRUE(startEngine());
  EXPECT_TRUE(gv::fileExists("gavo.demo.ini"));
  EXPECT_EQ(readText("scenes/city/city.gscn"), "scene");  // look-ups ignore case
  EXPECT_EQ(readText("Scenes/City/City.GSCN"), "scene");
  EXPECT_FALSE(gv::fileExists("city.gscn"));  // paths are kept, not flattened

  gv::setBaseDirectory("");
  EXPECT_EQ(gv::findDataFile("light.fx"), "shaders/light.fx");

  // The archive survives an engine restart.
  stopEngine();
  EXPECT_FALSE(gv::fileExists("gavo.demo.ini"));
  ASSERT_TRUE(startEngine());
  EXPECT_TRUE(gv::fileExists("gavo.demo.ini"));
}

TEST_F(EngineFilesTest, ArchiveFileMountedWhileTheEngineRuns) {
  std::vector<std::uint8_t> zip = gv::test::makeZip(entries);
  std::string path = dir.write("intro.dat", std::string(zip.begin(), zip.end()));
  ASSERT_TRUE(startEngine());
  EXPECT_FALSE(gv::isArchiveMounted());
  ASSERT_EQ(gv::mountArchiveFile(path), 0);
  EXPECT_TRUE(gv::isArchiveMounted());
  EXPECT_EQ(readText("shaders/light.fx"), "fx");
}

TEST_F(EngineFilesTest, FailedMountsSayWhyAndKeepTheMode) {
  std::string notZip = dir.write("broken.dat", "this is no archive");
  ASSERT_TRUE(startEngine());
  EXPECT_EQ(gv::mountArchiveFile(notZip), -1);
  EXPECT_FALSE(gv::isArchiveMounted());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "gvSetupFilesystem: Failed addFileArchive '" + notZip + "'");

  std::string garbage = "garbage bytes";
  EXPECT_EQ(gv::mountArchiveMemory(garbage.data(), garbage.size()), -1);
  EXPECT_FALSE(gv::isArchiveMounted());
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1], "gvSetupFilesystem: Failed addFileArchive from memory");
}

TEST_F(EngineFilesTest, StreamsAndPathHelpersGoThroughTheEngine) {
  dir.write("data/text.txt", "one\ntwo");
  ASSERT_TRUE(startEngine());
  EXPECT_TRUE(gv::setDirectory(dir.path()));
  EXPECT_EQ(gv::getDirectory(), dir.path());
  EXPECT_TRUE(gv::enterDirectory("data"));
  EXPECT_EQ(gv::getDirectory(), dir.file("data"));
  EXPECT_EQ(gv::absolutePath("text.txt"), dir.file("data/text.txt"));
  EXPECT_EQ(gv::fileName("scenes/scene.lws.ini", false), "scene.lws");
  EXPECT_EQ(gv::fileName("scenes/scene.lws.ini", true), "scene.lws.ini");
  EXPECT_EQ(gv::directoryPart("scenes/scene.lws.ini"), "scenes");

  gv::FileStreamPtr file = gv::openFile("text.txt", "rb");
  ASSERT_TRUE(file);
  char line[16];
  ASSERT_TRUE(file->gets(line, sizeof line));
  EXPECT_STREQ(line, "one\n");
  EXPECT_EQ(file->getc(), 't');
  EXPECT_EQ(file->tell(), 5);
  EXPECT_EQ(file->seek(-1, 2), 0);
  EXPECT_EQ(file->getc(), 'o');
  EXPECT_EQ(file->getc(), -1);
  EXPECT_NE(file->seek(1, 2), 0);  // past the end
  EXPECT_EQ(file->seek(0, 0), 0);
  char all[8];
  EXPECT_EQ(file->read(all, 1, sizeof all), 7u);
  EXPECT_EQ(file->gets(line, sizeof line), nullptr);
}

}  // namespace
