// Demo description files come from anywhere: whatever the bytes, reading one must keep
// every text and count within the demo record's limits.
#include "app/log/log.h"
#include "demo/demo.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// One file reused for every input (the reader takes a path), removed at exit.
struct InputFile {
  std::string path;
  InputFile() {
    char pattern[] = "/tmp/gavo-demo-fuzz-XXXXXX";
    int fd = mkstemp(pattern);
    if (fd < 0) std::abort();
    close(fd);
    path = pattern;
  }
  ~InputFile() { std::remove(path.c_str()); }
};

const std::string& inputPath() {
  static InputFile file;
  return file.path;
}

void check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gvLogSetLevel(GVLOG_NONE);
  gvLogDisableBoxes();
  std::FILE* file = std::fopen(inputPath().c_str(), "wb");
  if (!file) std::abort();
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  SGvDemo demo;
  if (gvDemoRead(demo, inputPath()) != 0) {
    check(demo.parts.empty());
    return 0;
  }
  check(!demo.parts.empty() && demo.parts.size() <= static_cast<std::size_t>(kGvDemoMaxParts));
  check(demo.musicDirectory.size() <= kGvDemoTextMax && demo.shadersDirectory.size() <= kGvDemoTextMax);
  for (const SGvDemoPart& part : demo.parts) {
    check(part.name.size() <= kGvDemoPartNameMax && part.name.find("part") != std::string::npos);
    check(part.music.size() <= kGvDemoTextMax && part.directory.size() <= kGvDemoTextMax &&
          part.filename.size() <= kGvDemoTextMax);
    check(part.extras.size() <= static_cast<std::size_t>(kGvDemoMaxExtras));
    check(part.shaders.size() <= static_cast<std::size_t>(kGvDemoMaxShaders));
    check(part.faders.size() <= static_cast<std::size_t>(kGvDemoMaxFaders));
    for (const SGvDemoExtra& extra : part.extras)
      check(extra.directory.size() <= kGvDemoTextMax && extra.filename.size() <= kGvDemoTextMax);
    for (const SGvDemoShader& shader : part.shaders) check(shader.name.size() <= kGvDemoTextMax);
  }
  std::optional<std::vector<std::string>> directories = gvDemoPackageDirectories(demo);
  if (directories) check(directories->size() <= static_cast<std::size_t>(kGvDemoMaxPackageDirectories));
  return 0;
}
