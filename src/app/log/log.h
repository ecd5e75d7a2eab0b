#pragma once
// Process-wide log: levelled messages, the last error that script commands raise, message
// boxes and the texts that explain a failed engine start. Main thread only.
#include <cstdint>

#define GV_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))

// Levels, in the low 16 bits of the flags word.
enum : std::uint32_t {
  GVLOG_DEBUG = 0,
  GVLOG_INFO = 1,
  GVLOG_WARN = 2,
  GVLOG_ERROR = 3,
  GVLOG_NONE = 4,
};

// Flag bits: record the message as the last error; show it in a message box.
enum : std::uint32_t {
  GVLOG_RECORD = 0x10000,
  GVLOG_BOX = 0x20000,
};

// Longest text any of the log's buffers keeps; longer messages are cut here.
constexpr int kGvLogTextMax = 1023;

void gvLog(std::uint32_t flags, const char* format, ...) GV_PRINTF_FORMAT(2, 3);
// ERROR with a message box: failures a user must see.
void gvLogError(const char* format, ...) GV_PRINTF_FORMAT(1, 2);
// ERROR recorded as the last error with the entity number the command addressed.
void gvLogErrorId(std::int32_t value, const char* format, ...) GV_PRINTF_FORMAT(2, 3);
// ERROR recorded and shown in a box.
void gvLogErrorIdBox(std::int32_t value, const char* format, ...) GV_PRINTF_FORMAT(2, 3);

// The recorded last error's text, or nullptr when none is recorded; *value gets its number
// (or -1 when none).
const char* gvLogLastError(std::int32_t* value);
void gvLogClearLastError();

void gvLogSetLevel(std::int32_t threshold);
std::int32_t gvLogLevel();
void gvLogDisableBoxes();
bool gvLogBoxesEnabled();

// Raw line: the text to the debug channel, the text and a line end to standard output.
// Not subject to the threshold.
void gvPrint(const char* format, ...) GV_PRINTF_FORMAT(1, 2);
// A box titled "Gavo", shown whatever the boxes switch says.
void gvMessageBox(const char* format, ...) GV_PRINTF_FORMAT(1, 2);
// A box titled "File Operation Problem" naming the file and the system's last error.
void gvFileProblemBox(const char* text, const char* fileName);
// Tells the LightWave side, through the debug channel only, that the viewer time moved.
void gvPlaySyncMarker();

// Why the engine failed to start, and why its resources failed to load.
void gvSetStartupError(const char* format, ...) GV_PRINTF_FORMAT(1, 2);
const char* gvStartupError();
void gvSetResourceError(const char* format, ...) GV_PRINTF_FORMAT(1, 2);
const char* gvResourceError();

// The engine window hides while a message box is up and shows again after; the engine
// context installs these when it has a window.
struct GvLogWindowHooks {
  void (*hide)() = nullptr;
  void (*show)() = nullptr;
};
void gvLogSetWindowHooks(const GvLogWindowHooks& hooks);

// Back to the initial state (threshold INFO, boxes on, no last error, empty texts).
void gvLogReset();
