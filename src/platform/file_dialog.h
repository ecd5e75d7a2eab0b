#pragma once
// The open-file dialog, through zenity or kdialog when one is installed and a display exists.
#include <optional>
#include <string>
#include <vector>

namespace gv::platform {

struct FileFilter {
  const char* label;     // "Lua script(.lua)"
  const char* patterns;  // ";"-separated, as in "*.lua;*.glua"
};

// True when a dialog can be shown: a display exists and zenity or kdialog is on the PATH.
bool fileDialogAvailable();

// Asks for an existing file. Returns its absolute path, or nothing when the user cancelled,
// no dialog is available, or the answer is not an existing file.
std::optional<std::string> openFileDialog(const char* title, const std::vector<FileFilter>& filters);

}  // namespace gv::platform
