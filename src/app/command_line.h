#pragma once
// The command line: viewer options, display overrides, capture options, the build options
// and the run mode a file name picks.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Viewer option flags.
enum : std::uint32_t {
  GVVIEW_COMMAND_LINE = 0x01,
  GVVIEW_CONVERSION_RUN = 0x02,
  GVVIEW_PAUSED = 0x04,
  GVVIEW_START_FRAME = 0x08,
  GVVIEW_RIDE = 0x10,
  GVVIEW_MUSIC = 0x20,
  GVVIEW_SYNC_UPDATE = 0x40,
  GVVIEW_NO_IDLE_INACTIVE = 0x80,
};

struct SGvViewerOptions {
  std::uint32_t flags = 0;
  std::int32_t startFrame = 0;
  std::int32_t rideSpeed = 0;    // cm/s; 0 means the default of 1000
  std::int32_t rideOptions = 0;  // 0x01 collide, 0x02 walk, 0x04 mouse look
};

// Display overrides; -1 means "not given". The settings merge lets any other value win.
struct SGvDisplaySettings {
  std::int32_t width = -1;
  std::int32_t height = -1;
  std::int32_t windowed = -1;
  std::int32_t windowX = -1;
  std::int32_t windowY = -1;
  std::int32_t colourDepth = -1;
  std::int32_t vsync = -1;
  std::int32_t framesPerSecond = -1;
  std::int32_t antialias = -1;
  std::int32_t shaders = -1;
  std::int32_t stereo = -1;
  std::int32_t centred = -1;
};

enum class RunMode {
  Unsupported = 0,
  ObjectViewer = 1,
  SceneViewer = 2,
  DemoPlayer = 3,
  PackagedPlayer = 4,
  ScriptRunner = 5,
};

// The run mode a file name asks for.
RunMode chooseRunMode(const std::string& fileName);

struct CommandLineOptions {
  SGvViewerOptions viewer;
  SGvDisplaySettings display;
  std::optional<std::string> capturePrefix;
  float captureFps = 30.0f;
  bool userLog = false;
  std::optional<std::string> file;  // the first argument that is not an option
};

// Reads the options of arguments 1 to argc - 1. Unknown options are ignored; an option whose
// value would be past the last argument is treated as absent.
CommandLineOptions parseCommandLine(int argc, const char* const* argv);

enum class BuildOption { DemoExe, DemoDat, DirExe, DirDat, DirListExe, ExeRsc };

struct BuildRequest {
  BuildOption option;
  std::vector<std::string> operands;  // target executable, then the demo file, directory or list
};

// A build option counts only with its exact argument count: four arguments for -demoexe,
// -demodat, -direxe, -dirdat and -dirlistexe, three for -exersc.
std::optional<BuildRequest> recognizeBuildOption(int argc, const char* const* argv);

const char* buildOptionName(BuildOption option);
