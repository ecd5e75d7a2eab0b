#include "resources/container/appended_container.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <cstring>

namespace {

using gv::AppendedContainer;
using gv::test::TempDir;

std::string trailer(std::uint32_t resource, std::uint64_t offset, std::uint64_t size) {
  std::vector<std::uint8_t> bytes = gv::encodeContainerTrailer({resource, offset, size});
  return std::string(bytes.begin(), bytes.end());
}

std::vector<AppendedContainer> listBytes(const std::string& file) {
  return gv::listAppendedContainers(file.size(), [&](std::uint64_t offset, void* buffer, std::size_t size) {
    if (offset + size > file.size()) return false;
    std::memcpy(buffer, file.data() + offset, size);
    return true;
  });
}

TEST(AppendedContainer, ChainedContainersAreListedNewestFirst) {
  std::string file = "ELF-executable";             // 14 bytes
  file += "rsc501" + trailer(501, 14, 6);          // container at 14, trailer ends at 52
  file += "package500" + trailer(500, 52, 10);     // container at 52
  std::vector<AppendedContainer> found = listBytes(file);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].resource, 500u);
  EXPECT_EQ(found[0].offset, 52u);
  EXPECT_EQ(found[0].size, 10u);
  EXPECT_EQ(found[1].resource, 501u);
  EXPECT_EQ(found[1].offset, 14u);
}

TEST(AppendedContainer, TrailersThatDoNotFitEndTheChain) {
  struct Case {
    const char* what;
    std::string file;
    std::size_t found;
  } cases[] = {
      {"plain executable", std::string(100, 'x'), 0},
      {"shorter than a trailer", "GAVOPAK1", 0},
      {"size disagrees with the trailer's place", "exe" + std::string("data") + trailer(500, 3, 5), 0},
      {"offset past the trailer", "exe" + trailer(500, 1000, 0), 0},
      {"size overflows", "exe" + trailer(500, 3, ~0ull), 0},
      {"empty container", "exe" + trailer(500, 3, 0), 1},
      {"bad earlier link", "exe" + std::string("ab") + trailer(500, 0, 4) + "cd" + trailer(500, 37, 2), 1},
  };
  for (const auto& c : cases) EXPECT_EQ(listBytes(c.file).size(), c.found) << c.what;
}

TEST(AppendedContainer, FoundInAFileAndWithTheSideFile) {
  TempDir dir;
  std::string exe = dir.write("intro", "ELF" + std::string("zip") + trailer(501, 3, 3));
  EXPECT_FALSE(gv::findAppendedContainer(exe, gv::kPackageResource));
  EXPECT_TRUE(gv::findAppendedContainer(exe, gv::kEngineDataResource));
  EXPECT_FALSE(gv::carriesPackage(exe));  // only resource 500 makes a package
  dir.write("intro.dat", "zip");
  EXPECT_TRUE(gv::carriesPackage(exe));
  EXPECT_TRUE(gv::listAppendedContainers(dir.file("missing")).empty());
}

TEST(AppendedContainer, ADamagedNewestTrailerMarksADamagedPackage) {
  TempDir dir;
  std::string damaged = dir.write("damaged", "ELF" + std::string("zip") + trailer(500, 2, 3));
  std::string engineData = dir.write("engine-data", "ELF" + std::string("zip") + trailer(501, 3, 3));
  std::string plain = dir.write("plain", std::string(64, 'x'));
  std::string cut = dir.write("cut", "ELF" + std::string("zip") + trailer(500, 3, 3).substr(0, 20));
  EXPECT_TRUE(gv::hasDamagedContainer(damaged));
  EXPECT_TRUE(gv::hasDamagedContainer(cut)) << "a trailer cut short by a truncated copy";
  EXPECT_TRUE(gv::carriesPackage(damaged)) << "the player reports what is wrong with it";
  EXPECT_FALSE(gv::hasDamagedContainer(engineData));
  EXPECT_FALSE(gv::hasDamagedContainer(plain));
  EXPECT_FALSE(gv::hasDamagedContainer(dir.file("missing")));
}

}  // namespace
