#pragma once
// The owners the entry point hands control to. Each subsystem that owns a run mode fills its
// entry when the executable is put together; an entry left empty reports that its mode is
// not available in this build. Every owner returns 0 on success and non-zero on failure.
#include "app/command_line.h"

#include <functional>
#include <optional>
#include <string>

struct StartupRecord {
  std::string executablePath;
  std::string executableDirectory;  // with its trailing separator
  int argc = 0;
  const char* const* argv = nullptr;
};

// What the settings and engine start get from the command line.
struct EngineStartRequest {
  std::string settingsFile;  // "gavo-setup.ini"
  std::string baseDirectory;
  SGvDisplaySettings display;
  bool dialogAllowed = false;
};

struct ModeOwners {
  // Reads a scene and releases it without rendering; no file means "ask for one".
  std::function<int(const std::optional<std::string>& file, const SGvViewerOptions&)> conversionRun;
  std::function<int(const BuildRequest&, const StartupRecord&)> build;
  std::function<int(const std::string& executablePath)> extract;
  std::function<int(const std::string& executablePath)> packagedPlayer;
  // Resolves the settings, starts the engine and shows its window.
  std::function<int(const EngineStartRequest&)> startEngine;
  std::function<void()> stopEngine;
  std::function<int(const std::string& file)> objectViewer;
  std::function<int(const std::string& file, const SGvViewerOptions&)> sceneViewer;
  std::function<int(const std::string& file)> demoPlayer;
  std::function<int(const std::string& file, const std::string& prefix, float fps)> demoCapture;
  std::function<int(const std::string& file, bool packaged)> scriptRunner;
};
