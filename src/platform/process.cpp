#include "platform/process.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace gv::platform {

std::string executablePath() {
  char buffer[kMaxPath + 2];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  // A result that fills the buffer may have been cut: refuse it rather than use a wrong path.
  if (length <= 0 || static_cast<std::size_t>(length) > kMaxPath) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
}

bool environmentFlag(const char* name) {
  const char* value = std::getenv(name);
  return value && *value && std::strcmp(value, "0") != 0;
}

bool hasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace gv::platform
