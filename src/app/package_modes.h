#pragma once
// The run modes of packages: the build options, the packaged player and -extract.
#include "app/run_modes.h"

#include <string>

// Runs a build option: copies the running executable and gives it the package. 0 when the
// package was written.
int gvRunBuildOption(const BuildRequest& request, const StartupRecord& record);

// Unpacks the scene package the executable carries into the current directory.
int gvExtractPackage(const std::string& executablePath);

// Plays the package the executable carries: mounts it, resolves the settings (the start-up
// dialog when no settings file lies beside the executable) and starts the engine, then
// plays the package's demo, scene or script through the owners. 0 also when the package
// holds none of them.
int gvPlayPackage(const std::string& executablePath, const ModeOwners& owners);
