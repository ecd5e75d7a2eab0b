#include "app/context/settings.h"

#include "resources/files/files.h"

#include <iniparser.h>

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// iniparser prints its parse errors; an unreadable settings file simply counts as absent.
int silentIniErrors(const char*, ...) { return 0; }

// iniparser reads only named files; the settings may come from a package, so the bytes are
// handed over through an anonymous in-memory file.
dictionary* loadIni(const std::vector<std::uint8_t>& bytes) {
  int fd = memfd_create("gavo-setup.ini", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  std::size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  dictionary* ini = nullptr;
  if (written == bytes.size()) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    iniparser_set_error_callback(silentIniErrors);
    ini = iniparser_load(path);
    iniparser_set_error_callback(nullptr);
  }
  close(fd);
  return ini;
}

// "1", "yes" and "y" (any case) ask for a window, and so does no value at all.
s32 windowedValue(const char* text) {
  if (!text) return 1;
  return std::strcmp(text, "1") == 0 || strcasecmp(text, "yes") == 0 || strcasecmp(text, "y") == 0;
}

void readIntegers(dictionary* ini, const char* key, std::initializer_list<s32*> targets) {
  const char* text = iniparser_getstring(ini, key, nullptr);
  if (!text) return;
  int values[3];
  int count = std::sscanf(text, "%i %i %i", &values[0], &values[1], &values[2]);
  int i = 0;
  for (s32* target : targets) {
    if (i < count) *target = values[i];
    ++i;
  }
}

void readSetupSection(dictionary* ini, SGvSettings& s) {
  SGvDisplaySettings& d = s.display;
  readIntegers(ini, "setup:display", {&d.width, &d.height, &d.colourDepth});
  d.windowed = windowedValue(iniparser_getstring(ini, "setup:windowed", nullptr));
  readIntegers(ini, "setup:windowpos", {&d.windowX, &d.windowY});
  d.vsync = iniparser_getint(ini, "setup:vsync", -1);
  s.hideMouse = iniparser_getint(ini, "setup:hide_mouse", -1);
  d.framesPerSecond = iniparser_getint(ini, "setup:fps", -1);
  d.antialias = iniparser_getint(ini, "setup:antialias", -1);
  s.lightPrePass = iniparser_getint(ini, "setup:lightprepass", -1);
  d.shaders = iniparser_getint(ini, "setup:shaders", -1);
  d.stereo = iniparser_getint(ini, "setup:stereo", -1);
  if (const char* range = iniparser_getstring(ini, "setup:camerarange", nullptr)) {
    float nearPlane, farPlane;
    if (std::sscanf(range, "%f %f", &nearPlane, &farPlane) == 2) {
      s.cameraNear = nearPlane;
      s.cameraFar = farPlane;
    }
  }
}

void replaceIfSet(s32& field, s32 override) {
  if (override != -1) field = override;
}

SGvSetupParams setupParams(const SGvSettings& s, const std::string& baseDirectory) {
  SGvSetupParams p;
  const SGvDisplaySettings& d = s.display;
  p.baseDirectory = baseDirectory;
  p.cameraNear = s.cameraNear;
  p.cameraFar = s.cameraFar;
  p.width = d.width;
  p.height = d.height;
  p.colourDepth = d.colourDepth;
  p.windowed = d.windowed;
  p.windowX = d.windowX;
  p.windowY = d.windowY;
  p.vsync = d.vsync;
  p.framesPerSecond = d.framesPerSecond;
  p.antialias = d.antialias;
  p.lightPrePass = s.lightPrePass;
  p.hideMouse = s.hideMouse;
  p.shaders = d.shaders;
  p.stereo = d.stereo;
  return p;
}

}  // namespace

bool gvReadSettingsFile(const std::string& name, SGvSettings& settings) {
  std::string path = gv::findDataFile(name);
  if (!gv::fileExists(path)) return false;
  std::optional<std::vector<std::uint8_t>> bytes = gv::readWholeFile(path);
  if (!bytes) return false;
  dictionary* ini = loadIni(*bytes);
  if (!ini) return false;
  readSetupSection(ini, settings);
  iniparser_freedict(ini);
  return true;
}

void gvApplyDisplayOverrides(SGvSettings& settings, const SGvDisplaySettings& o) {
  SGvDisplaySettings& d = settings.display;
  replaceIfSet(d.width, o.width);
  replaceIfSet(d.height, o.height);
  replaceIfSet(d.colourDepth, o.colourDepth);
  replaceIfSet(d.windowed, o.windowed);
  replaceIfSet(d.windowX, o.windowX);
  replaceIfSet(d.windowY, o.windowY);
  replaceIfSet(d.vsync, o.vsync);
  replaceIfSet(d.framesPerSecond, o.framesPerSecond);
  replaceIfSet(d.antialias, o.antialias);
  replaceIfSet(d.shaders, o.shaders);
  replaceIfSet(d.stereo, o.stereo);
}

std::optional<SGvSetupParams> gvResolveSettings(const std::string& settingsFile, const std::string& baseDirectory,
                                                const SGvDisplaySettings& overrides, bool dialogAllowed) {
  if (!baseDirectory.empty()) gv::setBaseDirectory(baseDirectory);
  SGvSettings settings;
  if (!gvReadSettingsFile(settingsFile, settings) && dialogAllowed) {
    SGvDisplaySettings choice;
    if (gvScreenModeDialog(choice) != 0) return std::nullopt;
    SGvDisplaySettings& d = settings.display;
    d.width = choice.width;
    d.height = choice.height;
    d.colourDepth = choice.colourDepth;
    d.windowed = choice.windowed;
    d.vsync = 1;
    settings.hideMouse = choice.windowed == 0 ? 1 : 0;
  }
  gvApplyDisplayOverrides(settings, overrides);
  return setupParams(settings, baseDirectory);
}

int gvSetupFromSettings(const std::string& settingsFile, const std::string& baseDirectory,
                        const SGvDisplaySettings& overrides, bool dialogAllowed) {
  std::optional<SGvSetupParams> params = gvResolveSettings(settingsFile, baseDirectory, overrides, dialogAllowed);
  if (!params) return -1;
  return gvEngineStart(*params);
}

// Everything the engine needs is linked when it is built, so a library that is missing
// would have stopped the program from starting at all.
std::string gvMissingLibraries() { return std::string(); }
