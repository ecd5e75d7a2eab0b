#include "app/package_modes.h"

#include "app/log/log.h"
#include "demo/demo.h"
#include "resources/files/files.h"
#include "resources/package/loaded_package.h"
#include "resources/package/package.h"

#include <memory>

namespace {

constexpr const char* kSettingsFile = "gavo-setup.ini";

int buildDemoOrScene(const gv::PackageTarget& target, const std::string& file) {
  if (file.find(".gscn") != std::string::npos) return gv::buildScenePackage(target, file);
  SGvDemo demo;
  if (gvDemoRead(demo, file) != 0) {
    gvLogError("Failed to load ini file %s", file.c_str());
    return -1;
  }
  std::optional<std::vector<std::string>> directories = gvDemoPackageDirectories(demo);
  if (!directories) return -1;
  return gv::buildDemoPackage(target, {file, *directories, demo.shadersDirectory, demo.musicDirectory});
}

// Calls the owner of what the package holds, or says that this build lacks it.
template <typename Owner, typename... Args>
int play(const Owner& owner, const char* what, Args&&... args) {
  if (!owner) {
    gvPrint("%s is not available in this build", what);
    return -1;
  }
  return owner(std::forward<Args>(args)...);
}

int playContent(const ModeOwners& owners) {
  if (gv::fileExists("gavo.demo.ini")) return play(owners.demoPlayer, "The demo player", std::string("gavo.demo.ini"));
  if (gv::fileExists("gavo.gscn"))
    return play(owners.sceneViewer, "The scene viewer", std::string("gavo.gscn"), SGvViewerOptions());
  if (gv::fileExists("main.lua")) return play(owners.scriptRunner, "The script runner", std::string("main.lua"), true);
  gvPrint("The package holds no demo, scene or script");
  return 0;
}

}  // namespace

int gvRunBuildOption(const BuildRequest& request, const StartupRecord& record) {
  gv::PackageTarget target;
  target.output = request.operands.at(0);
  target.engineExecutable = record.executablePath;
  bool sideFile = request.option == BuildOption::DemoDat || request.option == BuildOption::DirDat;
  target.form = sideFile ? gv::PackageForm::SideFile : gv::PackageForm::Executable;
  switch (request.option) {
    case BuildOption::DemoExe:
    case BuildOption::DemoDat:
      return buildDemoOrScene(target, request.operands.at(1));
    case BuildOption::DirExe:
    case BuildOption::DirDat:
      return gv::buildDirectoryPackage(target, request.operands.at(1));
    case BuildOption::DirListExe:
      return gv::buildListPackage(target, request.operands.at(1));
    case BuildOption::ExeRsc:
      return gv::buildEngineDataPackage(target);
  }
  return -1;
}

int gvExtractPackage(const std::string& executablePath) { return gv::extractScenePackage(executablePath, "."); }

int gvPlayPackage(const std::string& executablePath, const ModeOwners& owners) {
  std::unique_ptr<gv::LoadedPackage> package = gv::LoadedPackage::load(executablePath);
  if (!package || package->mount() != 0) return -1;
  if (!owners.startEngine) {
    gvPrint("The engine start is not available in this build");
    return -1;
  }
  EngineStartRequest request{kSettingsFile, gv::directoryPart(executablePath), SGvDisplaySettings(), true};
  if (owners.startEngine(request) != 0) return -1;
  int result = playContent(owners);
  if (owners.stopEngine) owners.stopEngine();
  // The package goes after the engine that read from it.
  package.reset();
  return result;
}
