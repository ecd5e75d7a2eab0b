#include "platform/debug_channel.h"

#include "platform/process.h"

#include <cstdio>

namespace gv::platform {

void writeDebugChannel(const char* text) {
  if (!environmentFlag("GAVO_DEBUG_CHANNEL")) return;
  std::fputs(text, stderr);
  std::fflush(stderr);
}

}  // namespace gv::platform
