#include "app/entry.h"

#include "app/log/log.h"
#include "platform/file_dialog.h"
#include "platform/process.h"
#include "resources/container/appended_container.h"
#include "resources/files/files.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kSettingsFile = "gavo-setup.ini";

const std::vector<gv::platform::FileFilter> kOpenFilters = {
    {"All supported", "*.gscn;*.x;*.demo.ini;*.lua;*.glua"},
    {"Gavo Scene (.gscn)", "*.gscn"},
    {"Gavo Demo (demo.ini)", "*.demo.ini"},
    {"DirectX Object(.x)", "*.x"},
    {"Lua script(.lua)", "*.lua;*.glua"},
    {"All", "*.*"},
};

// Calls an owner, or says in one line that the build has none.
template <typename Owner, typename... Args>
int callOwner(const Owner& owner, const char* what, Args&&... args) {
  if (!owner) {
    gvPrint("%s is not available in this build", what);
    return GV_EXIT_MODE_FAILED;
  }
  return owner(std::forward<Args>(args)...) == 0 ? GV_EXIT_OK : GV_EXIT_MODE_FAILED;
}

std::optional<std::string> askForFile() {
  if (!gv::platform::fileDialogAvailable()) {
    std::fputs(gvUsageText(), stdout);
    return std::nullopt;
  }
  return gv::platform::openFileDialog("Open Gavo file", kOpenFilters);
}

int runPackage(const StartupRecord& record, const ModeOwners& owners) {
  if (record.argc == 2 && std::strcmp(record.argv[1], "-extract") == 0)
    return callOwner(owners.extract, "Extracting a package", record.executablePath);
  return callOwner(owners.packagedPlayer, "The packaged-demo player", record.executablePath);
}

int startEngine(const StartupRecord& record, const CommandLineOptions& options, RunMode mode,
                const ModeOwners& owners) {
  if (!owners.startEngine) {
    gvPrint("The engine start is not available in this build");
    return GV_EXIT_STARTUP;
  }
  EngineStartRequest request{kSettingsFile, record.executableDirectory, options.display,
                             mode == RunMode::DemoPlayer};
  return owners.startEngine(request) == 0 ? GV_EXIT_OK : GV_EXIT_STARTUP;
}

int runEngineMode(RunMode mode, const std::string& file, const CommandLineOptions& options,
                  const ModeOwners& owners) {
  switch (mode) {
    case RunMode::ObjectViewer:
      return callOwner(owners.objectViewer, "The object viewer", file);
    case RunMode::SceneViewer:
      return callOwner(owners.sceneViewer, "The scene viewer", file, options.viewer);
    case RunMode::DemoPlayer:
      if (options.capturePrefix) {
        float fps = options.captureFps == 0.0f ? 30.0f : options.captureFps;
        return callOwner(owners.demoCapture, "Demo capture", file, *options.capturePrefix, fps);
      }
      return callOwner(owners.demoPlayer, "The demo player", file);
    default:
      return GV_EXIT_STARTUP;
  }
}

}  // namespace

bool gvSysInit(int argc, const char* const* argv, StartupRecord& record) {
  // -console needs nothing on Linux: the standard streams already reach the terminal that
  // started the program, so the option is accepted and otherwise ignored.
  record.executablePath = gv::platform::executablePath();
  if (record.executablePath.empty()) return false;
  record.executableDirectory = record.executablePath.substr(0, record.executablePath.find_last_of('/') + 1);
  record.argc = argc;
  record.argv = argv;
  return true;
}

int gvRunCommandLine(const StartupRecord& record, const ModeOwners& owners) {
  const int argc = record.argc;
  const char* const* argv = record.argv;
  gv::setBaseDirectory(record.executableDirectory);

  if (argc >= 2 && std::strcmp(argv[1], "-binary") == 0) {
    SGvViewerOptions viewer;
    viewer.flags = GVVIEW_COMMAND_LINE | GVVIEW_CONVERSION_RUN | GVVIEW_MUSIC;
    std::optional<std::string> scene;
    if (argc >= 3) scene = argv[2];
    return callOwner(owners.conversionRun, "The scene conversion run", scene, viewer);
  }
  if (std::optional<BuildRequest> build = recognizeBuildOption(argc, argv))
    return callOwner(owners.build, buildOptionName(build->option), *build, record);
  if (gv::carriesPackage(record.executablePath)) return runPackage(record, owners);

  CommandLineOptions options = parseCommandLine(argc, argv);
  if (options.userLog) {
    gvLogSetLevel(GVLOG_WARN);
    gvLogDisableBoxes();
  }
  std::optional<std::string> file = options.file ? options.file : askForFile();
  if (!file) return GV_EXIT_STARTUP;

  RunMode mode = chooseRunMode(*file);
  if (mode == RunMode::Unsupported) {
    gvLogError("File format of '%s' is not supported", file->c_str());
    return GV_EXIT_STARTUP;
  }
  if (mode == RunMode::ScriptRunner) {
    gv::setBaseDirectory(record.executableDirectory);
    return callOwner(owners.scriptRunner, "The script runner", *file, false);
  }
  if (int status = startEngine(record, options, mode, owners); status != GV_EXIT_OK) return status;
  int status = runEngineMode(mode, *file, options, owners);
  if (owners.stopEngine) owners.stopEngine();
  return status;
}

int gvMain(int argc, const char* const* argv, const ModeOwners& owners) {
  StartupRecord record;
  if (!gvSysInit(argc, argv, record)) {
    std::printf("gvSysInit Failed\n");
    return GV_EXIT_STARTUP;
  }
  return gvRunCommandLine(record, owners);
}
