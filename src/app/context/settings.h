#pragma once
// Start-up settings: the settings file "gavo-setup.ini", the start-up dialog and the
// command-line overrides, resolved into the engine's start parameters.
#include "app/command_line.h"
#include "app/context/engine.h"

#include <optional>
#include <string>
#include <vector>

// Everything the settings file can say; -1 is "not set".
struct SGvSettings {
  SGvDisplaySettings display;
  s32 hideMouse = -1;
  s32 lightPrePass = -1;
  f32 cameraNear = 0.1f;
  f32 cameraFar = 1000.0f;
};

// Reads section [Setup] of the file found by the data-file search into the settings. False,
// with the settings untouched, when the file is missing or does not parse.
bool gvReadSettingsFile(const std::string& name, SGvSettings& settings);
// Every override that is set replaces the setting.
void gvApplyDisplayOverrides(SGvSettings& settings, const SGvDisplaySettings& overrides);
// The start parameters from file, dialog (only when allowed and no file exists) and
// overrides; nothing when the user cancelled the dialog.
std::optional<SGvSetupParams> gvResolveSettings(const std::string& settingsFile, const std::string& baseDirectory,
                                                const SGvDisplaySettings& overrides, bool dialogAllowed);
// Resolves the settings and starts the engine: 0, or -1 on failure or a cancelled dialog.
int gvSetupFromSettings(const std::string& settingsFile, const std::string& baseDirectory,
                        const SGvDisplaySettings& overrides, bool dialogAllowed);

// The start-up dialog. On Start fills the record, keeps a copy for gvScreenModeOption and
// returns 0; a cancel (or no display to show it on) returns -1 and keeps the last choice.
int gvScreenModeDialog(SGvDisplaySettings& choice);
// A field of the last confirmed dialog by name ("width", "height", "windowed", "bpp",
// "vsync", "fps", "antialias", "shaders", "stereo", "centered", any case); 0 before any
// dialog; -1 for any other name or none.
s32 gvScreenModeOption(const char* name);
// What graphics libraries are missing, for the dialog's status line; empty when none.
std::string gvMissingLibraries();

// The dialog's list of display modes.
struct SGvDisplayMode {
  s32 width = 0;
  s32 height = 0;
  s32 depth = 0;
  s32 refreshRate = 0;
};
constexpr int kMaxDialogModes = 200;
// Keeps modes of 32 bits or more, drops repeats of width, height and depth, keeps at most
// 200, sorts by width, height, depth, refresh rate.
std::vector<SGvDisplayMode> gvDialogModes(const std::vector<SGvDisplayMode>& offered);
// "%4d x %4d", with " (recommended)" for 1280 x 720 at 32 bits.
std::string gvDialogModeText(const SGvDisplayMode& mode);
// The entry selected when the dialog opens: the recommended mode, else the desktop mode,
// else 1920 x 1080 at 32 bits; -1 when none of them is listed.
int gvDialogPreselection(const std::vector<SGvDisplayMode>& modes, const SGvDisplayMode& desktop);
