#include "app/log/log.h"

#include "platform/debug_channel.h"
#include "platform/message_box.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

using Text = char[kGvLogTextMax + 1];

struct LogState {
  std::int32_t threshold = GVLOG_INFO;
  bool boxesEnabled = true;
  Text message = "";
  bool lastErrorPresent = false;
  std::int32_t lastErrorValue = -1;
  Text lastErrorText = "";
  Text startupError = "";
  Text resourceError = "";
  GvLogWindowHooks windowHooks;
};

LogState state;

void formatInto(Text& out, const char* format, va_list args) {
  std::vsnprintf(out, sizeof out, format, args);
}

void copyText(Text& out, const char* text) {
  std::snprintf(out, sizeof out, "%s", text);
}

const char* levelName(std::uint32_t level) {
  static const char* const names[] = {"DEBUG", "INFO", "WARN", "ERROR", "NONE"};
  return level < 5 ? names[level] : "???";
}

void printLine(const char* text) {
  gv::platform::writeDebugChannel(text);
  std::fputs(text, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void showBox(const char* title, const char* text, gv::platform::BoxIcon icon) {
  if (state.windowHooks.hide) state.windowHooks.hide();
  gv::platform::showMessageBox(title, text, icon);
  if (state.windowHooks.show) state.windowHooks.show();
}

void logFormatted(std::uint32_t flags, std::int32_t value, const char* format, va_list args) {
  formatInto(state.message, format, args);
  if (flags & GVLOG_RECORD) {
    state.lastErrorPresent = true;
    state.lastErrorValue = value;
    copyText(state.lastErrorText, state.message);
  }
  std::uint32_t level = flags & 0xFFFF;
  if (static_cast<std::int32_t>(level) >= state.threshold) {
    char line[kGvLogTextMax + 16];  // room for the level name around a full message
    std::snprintf(line, sizeof line, "%s : %s\n", levelName(level), state.message);
    printLine(line);
  }
  if ((flags & GVLOG_BOX) && state.boxesEnabled)
    showBox("Gavo", state.message, gv::platform::BoxIcon::Information);
}

}  // namespace

void gvLog(std::uint32_t flags, const char* format, ...) {
  va_list args;
  va_start(args, format);
  logFormatted(flags, -1, format, args);
  va_end(args);
}

void gvLogError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  logFormatted(GVLOG_ERROR | GVLOG_BOX, -1, format, args);
  va_end(args);
}

void gvLogErrorId(std::int32_t value, const char* format, ...) {
  va_list args;
  va_start(args, format);
  logFormatted(GVLOG_ERROR | GVLOG_RECORD, value, format, args);
  va_end(args);
}

void gvLogErrorIdBox(std::int32_t value, const char* format, ...) {
  va_list args;
  va_start(args, format);
  logFormatted(GVLOG_ERROR | GVLOG_RECORD | GVLOG_BOX, value, format, args);
  va_end(args);
}

const char* gvLogLastError(std::int32_t* value) {
  if (!state.lastErrorPresent) {
    if (value) *value = -1;
    return nullptr;
  }
  if (value) *value = state.lastErrorValue;
  return state.lastErrorText;
}

void gvLogClearLastError() { state.lastErrorPresent = false; }

void gvLogSetLevel(std::int32_t threshold) { state.threshold = threshold; }
std::int32_t gvLogLevel() { return state.threshold; }
void gvLogDisableBoxes() { state.boxesEnabled = false; }
bool gvLogBoxesEnabled() { return state.boxesEnabled; }

void gvPrint(const char* format, ...) {
  Text text;
  va_list args;
  va_start(args, format);
  formatInto(text, format, args);
  va_end(args);
  printLine(text);
}

void gvMessageBox(const char* format, ...) {
  Text text;
  va_list args;
  va_start(args, format);
  formatInto(text, format, args);
  va_end(args);
  showBox("Gavo", text, gv::platform::BoxIcon::Information);
}

void gvFileProblemBox(const char* text, const char* fileName) {
  const char* reason = std::strerror(errno);
  Text box;
  std::snprintf(box, sizeof box, "%s\nFile: '%s'\nSystem reports: %s", text, fileName, reason);
  showBox("File Operation Problem", box, gv::platform::BoxIcon::Error);
}

void gvPlaySyncMarker() { gv::platform::writeDebugChannel("PLAYSYNC"); }

void gvSetStartupError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  formatInto(state.startupError, format, args);
  va_end(args);
}

const char* gvStartupError() { return state.startupError; }

void gvSetResourceError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  formatInto(state.resourceError, format, args);
  va_end(args);
}

const char* gvResourceError() { return state.resourceError; }

void gvLogSetWindowHooks(const GvLogWindowHooks& hooks) { state.windowHooks = hooks; }

void gvLogReset() { state = LogState(); }
