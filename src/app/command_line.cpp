#include "app/command_line.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

bool hasExtension(const std::string& name, std::size_t dot, const char* extension) {
  return strcasecmp(name.c_str() + dot, extension) == 0;
}

bool parsePair(const char* text, const char* format, std::int32_t& first, std::int32_t& second) {
  int a, b;
  if (std::sscanf(text, format, &a, &b) != 2) return false;
  first = a;
  second = b;
  return true;
}

// What an option does; `value` is null for options without one.
using OptionEffect = void (*)(CommandLineOptions& options, const char* value);

struct OptionEntry {
  const char* name;
  bool takesValue;
  OptionEffect apply;
};

const OptionEntry kOptions[] = {
    {"-framestart", true,
     [](CommandLineOptions& o, const char* v) {
       o.viewer.flags |= GVVIEW_START_FRAME;
       o.viewer.startFrame = std::atoi(v);
     }},
    {"-paused", false, [](CommandLineOptions& o, const char*) { o.viewer.flags |= GVVIEW_PAUSED; }},
    {"-ride", false, [](CommandLineOptions& o, const char*) { o.viewer.flags |= GVVIEW_RIDE; }},
    {"-rideopts", true, [](CommandLineOptions& o, const char* v) { o.viewer.rideOptions = std::atoi(v); }},
    {"-ridespeed", true, [](CommandLineOptions& o, const char* v) { o.viewer.rideSpeed = std::atoi(v); }},
    {"-nomusic", false, [](CommandLineOptions& o, const char*) { o.viewer.flags &= ~GVVIEW_MUSIC; }},
    {"-syncupdate", false, [](CommandLineOptions& o, const char*) { o.viewer.flags |= GVVIEW_SYNC_UPDATE; }},
    {"-noidleinactive", false,
     [](CommandLineOptions& o, const char*) { o.viewer.flags |= GVVIEW_NO_IDLE_INACTIVE; }},
    {"-display", true,
     [](CommandLineOptions& o, const char* v) { parsePair(v, "%dx%d", o.display.width, o.display.height); }},
    {"-windowed", true, [](CommandLineOptions& o, const char* v) { o.display.windowed = std::atoi(v); }},
    {"-windowpos", true,
     [](CommandLineOptions& o, const char* v) { parsePair(v, "%d,%d", o.display.windowX, o.display.windowY); }},
    {"-stereo", true, [](CommandLineOptions& o, const char* v) { o.display.stereo = std::atoi(v); }},
    {"-vsync", true, [](CommandLineOptions& o, const char* v) { o.display.vsync = std::atoi(v); }},
    {"-userlog", false, [](CommandLineOptions& o, const char*) { o.userLog = true; }},
    {"-cap", true, [](CommandLineOptions& o, const char* v) { o.capturePrefix = v; }},
    {"-capfps", true,
     [](CommandLineOptions& o, const char* v) { o.captureFps = static_cast<float>(std::atof(v)); }},
};

const OptionEntry* findOption(const char* argument) {
  for (const OptionEntry& entry : kOptions)
    if (std::strcmp(entry.name, argument) == 0) return &entry;
  return nullptr;
}

struct BuildEntry {
  const char* name;
  BuildOption option;
  int argumentCount;
};

const BuildEntry kBuildOptions[] = {
    {"-demoexe", BuildOption::DemoExe, 4},       {"-demodat", BuildOption::DemoDat, 4},
    {"-direxe", BuildOption::DirExe, 4},         {"-dirdat", BuildOption::DirDat, 4},
    {"-dirlistexe", BuildOption::DirListExe, 4}, {"-exersc", BuildOption::ExeRsc, 3},
};

}  // namespace

RunMode chooseRunMode(const std::string& name) {
  if (name.find(".demo.ini") != std::string::npos) return RunMode::DemoPlayer;
  if (name.find(".lws.ini") != std::string::npos) return RunMode::SceneViewer;
  std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return RunMode::Unsupported;
  if (hasExtension(name, dot, ".gavo") || hasExtension(name, dot, ".gscn")) return RunMode::SceneViewer;
  if (hasExtension(name, dot, ".x") || hasExtension(name, dot, ".lwo") || hasExtension(name, dot, ".obj"))
    return RunMode::ObjectViewer;
  if (hasExtension(name, dot, ".lua") || hasExtension(name, dot, ".glua")) return RunMode::ScriptRunner;
  return RunMode::Unsupported;
}

CommandLineOptions parseCommandLine(int argc, const char* const* argv) {
  CommandLineOptions options;
  options.viewer.flags = GVVIEW_COMMAND_LINE | GVVIEW_MUSIC;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (argument[0] != '-') {
      if (!options.file) options.file = argument;
      continue;
    }
    const OptionEntry* option = findOption(argument);
    if (!option) continue;
    if (!option->takesValue) {
      option->apply(options, nullptr);
    } else if (i + 1 < argc) {
      option->apply(options, argv[++i]);
    }
  }
  return options;
}

std::optional<BuildRequest> recognizeBuildOption(int argc, const char* const* argv) {
  if (argc < 2) return std::nullopt;
  for (const BuildEntry& entry : kBuildOptions) {
    if (argc != entry.argumentCount || std::strcmp(argv[1], entry.name) != 0) continue;
    return BuildRequest{entry.option, std::vector<std::string>(argv + 2, argv + argc)};
  }
  return std::nullopt;
}

const char* buildOptionName(BuildOption option) {
  for (const BuildEntry& entry : kBuildOptions)
    if (entry.option == option) return entry.name;
  return "";
}
