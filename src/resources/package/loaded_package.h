#pragma once
// Reading a package back: the archive an executable carries, mounted into the file layer, and
// the unpacking of a packaged scene.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gv {

// The unscrambled archive of the container `resource` appended to the executable, checked to
// be a readable ZIP archive. Empty with `error` set when there is none or it is damaged.
std::optional<std::vector<std::uint8_t>> loadAppendedArchive(const std::string& executablePath,
                                                             std::uint32_t resource, std::string& error);

// The package an executable carries: its appended container 500, else its side file.
class LoadedPackage {
 public:
  // Logs "Resources don't exist" or "Failed to load resources from executable" (with the
  // reason) and gives nothing when the executable carries no usable package.
  static std::unique_ptr<LoadedPackage> load(const std::string& executablePath);

  // Mounts the archive into the file layer until the package is destroyed.
  int mount();
  bool fromExecutable() const { return sideFile_.empty(); }

  LoadedPackage(const LoadedPackage&) = delete;
  LoadedPackage& operator=(const LoadedPackage&) = delete;
  ~LoadedPackage();

 private:
  LoadedPackage() = default;
  std::vector<std::uint8_t> archive_;  // the appended form, unscrambled
  std::string sideFile_;               // the side-file form
  bool mounted_ = false;
};

// Unpacks the scene package appended to the executable into `directory`/ExeExtract: LightWave
// objects to Objects, scenes to Scenes, loose files to Images. A package that is not a scene
// package is left alone. 0 on success or when there is nothing to do, -1 on failure.
int extractScenePackage(const std::string& executablePath, const std::string& directory);

}  // namespace gv
