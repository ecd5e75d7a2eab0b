#pragma once
// Facts about the running process and its desktop.
#include <string>

namespace gv::platform {

// Longest path the engine accepts anywhere (Linux PATH_MAX, terminator excluded).
constexpr std::size_t kMaxPath = 4095;

// Absolute path of the running executable, or empty when it cannot be read.
std::string executablePath();

// True when an X11 or Wayland display is named in the environment.
bool hasDisplay();

// True when the environment variable is set to a non-empty value other than "0".
bool environmentFlag(const char* name);

}  // namespace gv::platform
