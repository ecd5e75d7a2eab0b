#pragma once
// Packaged demos: a copy of the engine executable that carries a demo, scene, script or
// directory with its data in a ZIP archive, either appended to the copy (scrambled, as
// container 500) or beside it in a ".dat" side file. Builders log their failures as ERROR
// reports with a message box and return -1; 0 on success.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gv {

// Combines every complete 32-bit little-endian word with a fixed key by exclusive or; the last
// size % 4 bytes stay as they are. Applying it twice gives back the input.
void scrambleArchive(std::uint8_t* data, std::size_t size);

enum class PackageForm { Executable, SideFile };

struct PackageTarget {
  std::string output;            // the executable to create
  PackageForm form = PackageForm::Executable;
  std::string engineExecutable;  // copied to output; the engine data is taken from its directory
};

// What a demo package carries besides the engine data. The demo subsystem reads the
// description and fills this in; the directories are relative to the description's directory.
struct DemoPackageContent {
  std::string descriptionFile;
  std::vector<std::string> directories;  // scene directories, without duplicates
  std::string shadersDirectory;          // empty: none
  std::string musicDirectory;            // empty: the description's own directory
};

int buildDemoPackage(const PackageTarget& target, const DemoPackageContent& content);
int buildScenePackage(const PackageTarget& target, const std::string& sceneFile);
// Every file of the directory tree (relative to the current directory of the process).
int buildDirectoryPackage(const PackageTarget& target, const std::string& directory);
// The files a directory list names, relative to the current directory of the process.
int buildListPackage(const PackageTarget& target, const std::string& listFile);
// The engine's shader sources and textures only, appended as container 501.
int buildEngineDataPackage(const PackageTarget& target);

// One line of a directory list: the files of `directory` (empty: the base directory itself)
// whose names match `pattern`.
struct ListedFiles {
  std::string directory;
  std::string pattern;
};
std::vector<ListedFiles> parseDirectoryList(const std::string& text);

}  // namespace gv
