// Reading a demo description into the demo record.
#include "demo/demo.h"

#include "app/log/log.h"
#include "resources/files/files.h"

#include <cstdarg>
#include <cstdlib>
#include <iniparser.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

int silentIniErrors(const char*, ...) { return 0; }

// iniparser reads only named files: the description, which may come from a package, is handed
// over through an in-memory file. Windows editors start UTF-8 files with a byte-order mark,
// which iniparser refuses, so it is dropped.
dictionary* loadIni(const std::vector<std::uint8_t>& bytes) {
  std::size_t skip = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
  int fd = memfd_create("gavo-demo", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  bool written = write(fd, bytes.data() + skip, bytes.size() - skip) == static_cast<ssize_t>(bytes.size() - skip);
  dictionary* ini = nullptr;
  if (written) {
    iniparser_set_error_callback(silentIniErrors);
    ini = iniparser_load(("/proc/self/fd/" + std::to_string(fd)).c_str());
    iniparser_set_error_callback(nullptr);
  }
  close(fd);
  return ini;
}

// Keys of one section; a text longer than its field makes the whole file unusable, since a cut
// name would load the wrong file.
class SectionReader {
 public:
  SectionReader(dictionary* ini, std::string section) : ini_(ini), section_(std::move(section)) {}

  bool has(const std::string& key) const { return iniparser_find_entry(ini_, full(key).c_str()) != 0; }
  std::int32_t integer(const std::string& key, std::int32_t absent) const {
    return iniparser_getint(ini_, full(key).c_str(), absent);
  }
  std::string text(const std::string& key) {
    std::string value = iniparser_getstring(ini_, full(key).c_str(), "");
    if (value.size() > kGvDemoTextMax && ok_) {
      gvLogError("Fail to load the demo: [%s] %s is longer than %zu characters", section_.c_str(), key.c_str(),
                 kGvDemoTextMax);
      ok_ = false;
    }
    return value;
  }
  bool ok() const { return ok_; }

 private:
  std::string full(const std::string& key) const { return section_ + ":" + key; }
  dictionary* ini_;
  std::string section_;
  bool ok_ = true;
};

std::string numbered(const char* kind, int n, const char* key) {
  return std::string(kind) + "." + std::to_string(n) + "." + key;
}

void readCameraRange(SGvDemoPart& part, SectionReader& keys) {
  std::string range = keys.text("camerarange");
  const char* at = range.c_str();
  char* end = nullptr;
  float nearPlane = std::strtof(at, &end);
  if (end != at) part.nearPlane = nearPlane;
  at = end;
  float farPlane = std::strtof(at, &end);
  if (end != at) part.farPlane = farPlane;
}

void readExtras(SGvDemoPart& part, SectionReader& keys) {
  for (int n = 0; n < kGvDemoEntryNumbers && part.extras.size() < kGvDemoMaxExtras; ++n) {
    if (!keys.has(numbered("extra", n, "directory")) || !keys.has(numbered("extra", n, "filename"))) continue;
    SGvDemoExtra extra;
    extra.directory = keys.text(numbered("extra", n, "directory"));
    extra.filename = keys.text(numbered("extra", n, "filename"));
    extra.time = keys.integer(numbered("extra", n, "time"), 0);
    extra.length = keys.integer(numbered("extra", n, "length"), 0);
    extra.reuseObjects = keys.integer(numbered("extra", n, "reuseobjects"), 0) != 0;
    extra.flushObjects = keys.integer(numbered("extra", n, "flushobjects"), 0) != 0;
    part.extras.push_back(extra);
  }
}

void readShaders(SGvDemoPart& part, SectionReader& keys) {
  for (int n = 0; n < kGvDemoEntryNumbers && part.shaders.size() < kGvDemoMaxShaders; ++n) {
    if (!keys.has(numbered("shader", n, "name"))) continue;
    SGvDemoShader shader;
    shader.name = keys.text(numbered("shader", n, "name"));
    shader.time = keys.integer(numbered("shader", n, "time"), 0);
    shader.length = keys.integer(numbered("shader", n, "length"), 0);
    part.shaders.push_back(shader);
  }
}

void readFaders(SGvDemoPart& part, SectionReader& keys) {
  for (int n = 0; n < kGvDemoEntryNumbers && part.faders.size() < kGvDemoMaxFaders; ++n) {
    std::int32_t time = keys.integer(numbered("fader", n, "time"), kGvDemoNone);
    if (time == kGvDemoNone) continue;
    SGvDemoFader fader;
    fader.time = time;
    fader.length = keys.integer(numbered("fader", n, "length"), 1000);
    fader.fadeLength = keys.integer(numbered("fader", n, "fadelength"), 1000);
    fader.color = static_cast<std::uint32_t>(keys.integer(numbered("fader", n, "color"), 0));
    fader.fadeOut = keys.integer(numbered("fader", n, "fadein"), kGvDemoNone) == kGvDemoNone;
    part.faders.push_back(fader);
  }
}

bool readPart(SGvDemoPart& part, SectionReader keys) {
  part.time = keys.integer("time", kGvDemoNone);
  part.timeReset = keys.integer("timereset", 0);
  part.baseTime = part.timeReset != 0 ? 0 : part.time;
  part.music = keys.text("music");
  part.directory = keys.text("directory");
  part.filename = keys.text("filename");
  readCameraRange(part, keys);
  part.reuseObjects = keys.integer("reuseobjects", 0) != 0;
  part.flushObjects = keys.integer("flushobjects", 0) != 0;
  readExtras(part, keys);
  readShaders(part, keys);
  readFaders(part, keys);
  return keys.ok();
}

bool readParts(SGvDemo& demo, dictionary* ini) {
  for (int i = 0, sections = iniparser_getnsec(ini); i < sections; ++i) {
    std::string name = iniparser_getsecname(ini, i);
    if (name.find("part") == std::string::npos) continue;
    if (demo.parts.size() == kGvDemoMaxParts) {
      gvLogError("Fail to load the demo: more than %d parts", kGvDemoMaxParts);
      return false;
    }
    if (name.size() > kGvDemoPartNameMax) {
      gvLogError("Fail to load the demo: the part name %s is longer than %zu characters", name.c_str(),
                 kGvDemoPartNameMax);
      return false;
    }
    SGvDemoPart part;
    part.name = name;
    if (!readPart(part, SectionReader(ini, name))) return false;
    demo.parts.push_back(std::move(part));
  }
  return true;
}

bool readDemo(SGvDemo& demo, dictionary* ini) {
  SectionReader setup(ini, "setup");
  demo.musicDirectory = setup.text("musicdirectory");
  demo.paletteDirectory = setup.text("palettedirectory");
  demo.shadersDirectory = setup.text("shadersdirectory");
  if (!setup.ok() || !readParts(demo, ini)) return false;
  if (demo.parts.empty()) {
    gvLogError("No parts!");
    return false;
  }
  return true;
}

}  // namespace

int gvDemoRead(SGvDemo& demo, const std::string& path) {
  demo = SGvDemo();
  if (path.empty()) {
    gvLogError("Fail to load %s", "");
    return -1;
  }
  std::optional<std::vector<std::uint8_t>> bytes = gv::readWholeFile(path);
  if (!bytes) {
    gvLogError("Fail to load %s", path.c_str());
    return -1;
  }
  dictionary* ini = loadIni(*bytes);
  if (!ini) {
    gvLogError("Fail to parse ini");
    return -1;
  }
  bool read = readDemo(demo, ini);
  iniparser_freedict(ini);
  if (!read) demo = SGvDemo();
  return read ? 0 : -1;
}
