#pragma once
// The debugger output channel: texts meant for a developer's tools rather than for the user.
// Linux has no system channel, so the texts are dropped unless GAVO_DEBUG_CHANNEL is set,
// in which case each text goes to standard error exactly as written.

namespace gv::platform {

void writeDebugChannel(const char* text);

}  // namespace gv::platform
