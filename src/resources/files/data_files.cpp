// The data-file search over the engine's fixed data folders.
#include "resources/files/backends.h"

namespace gv {
namespace {

std::string base;

}  // namespace

const char* const kDataDirectories[7] = {"shaders",      "shadersPP", "shadersPP2", "shadersSURF",
                                         "shadersSURF2", "shadersHV", "textures"};

void setBaseDirectory(const std::string& path) { base = path; }

const std::string& baseDirectory() { return base; }

std::string findDataFile(const std::string& name) {
  if (fileExists(name)) return name;
  for (const char* dir : kDataDirectories) {
    std::string candidate = std::string(dir) + "/" + name;
    if (fileExists(candidate)) return candidate;
  }
  // The base directory carries its trailing separator.
  if (fileExists(base + name)) return base + name;
  for (const char* dir : kDataDirectories) {
    std::string candidate = base + dir + "/" + name;
    if (fileExists(candidate)) return candidate;
  }
  return name;
}

std::string sideFileName(const std::string& executablePath) {
  return plain::directoryPart(executablePath) + plain::fileName(executablePath, false) + ".dat";
}

}  // namespace gv
