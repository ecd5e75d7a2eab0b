// gavo-gf: inspects and converts GF files.
//   gavo-gf dump FILE      the document in the text form, on standard output
//   gavo-gf pack IN OUT    writes the document's binary form to OUT
//   gavo-gf scene FILE     a summary of the scene the file describes
// Exit status 0 on success, 1 when a file cannot be read or written, 2 on a usage error.
#include "scene/gf.h"
#include "scene/gf_write.h"
#include "scene/scene_desc.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

// The loader prints its messages on standard output, which carries the tool's own output;
// while a file loads they go to standard error instead.
class LoaderMessagesToStderr {
 public:
  LoaderMessagesToStderr() : saved_(dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
  }
  ~LoaderMessagesToStderr() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }
  LoaderMessagesToStderr(const LoaderMessagesToStderr&) = delete;
  LoaderMessagesToStderr& operator=(const LoaderMessagesToStderr&) = delete;

 private:
  int saved_;
};

struct DocumentDeleter {
  void operator()(GFDocument* document) const { GF_Free(document); }
};
using DocumentPtr = std::unique_ptr<GFDocument, DocumentDeleter>;

DocumentPtr load(const char* path) {
  LoaderMessagesToStderr redirect;
  DocumentPtr document(GF_Load(path));
  if (!document) std::fprintf(stderr, "gavo-gf: cannot read '%s' as a GF file\n", path);
  return document;
}

int dump(const char* path) {
  DocumentPtr document = load(path);
  if (!document) return kFailed;
  std::string problem = GF_TextFormProblem(GF_Root(document.get()));
  if (!problem.empty()) {
    std::fprintf(stderr, "gavo-gf: '%s' has no text form: %s\n", path, problem.c_str());
    return kFailed;
  }
  std::string text = GF_WriteText(GF_Root(document.get()));
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : kFailed;
}

int pack(const char* in, const char* out) {
  DocumentPtr document = load(in);
  if (!document) return kFailed;
  if (GF_Root(document.get())->count == 0) {
    std::fprintf(stderr, "gavo-gf: '%s' holds no nodes, and the binary form needs one\n", in);
    return kFailed;
  }
  std::vector<std::uint8_t> bytes = GF_WriteBinary(GF_Root(document.get()));
  std::FILE* file = std::fopen(out, "wb");
  bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (file && std::fclose(file) != 0) written = false;
  if (!written) {
    std::fprintf(stderr, "gavo-gf: cannot write '%s': %s\n", out, std::strerror(errno));
    return kFailed;
  }
  return 0;
}

int scene(const char* path) {
  SGvSceneDesc* desc;
  {
    LoaderMessagesToStderr redirect;
    desc = gvSceneDescLoad(path);
  }
  if (!desc) {
    std::fprintf(stderr, "gavo-gf: cannot read the scene in '%s': %s\n", path, gvSceneDescError());
    return kFailed;
  }
  if (*gvSceneDescError()) std::fprintf(stderr, "gavo-gf: warning: %s\n", gvSceneDescError());
  std::printf("frames: %d to %d, step %d\n", desc->frameStart, desc->frameEnd, desc->frameStep);
  std::printf("frames per second: %g\n", static_cast<double>(desc->framesPerSecond));
  std::printf("cameras: %zu\n", desc->cameras.size());
  std::printf("lights: %zu\n", desc->lights.size());
  std::printf("objects: %zu\n", desc->objects.size());
  std::printf("emitters: %zu\n", desc->emitters.size());
  std::printf("cube maps: %zu\n", desc->cubeMaps.size());
  std::printf("post passes: %zu\n", desc->postProcs.size());
  std::printf("render commands: %zu\n", desc->renderCommands.size());
  if (desc->loadAudio)
    std::printf("audio: %s, starting at %g s\n", desc->loadAudio, static_cast<double>(desc->audioStartTime));
  else
    std::printf("audio: none\n");
  gvSceneDescFree(desc);
  return 0;
}

int usage() {
  std::fprintf(stderr,
               "usage: gavo-gf dump FILE      print a GF file in the text form\n"
               "       gavo-gf pack IN OUT    write the binary form of IN to OUT\n"
               "       gavo-gf scene FILE     summarise the scene in a GF file\n");
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "dump" && argc == 3) return dump(argv[2]);
  if (command == "pack" && argc == 4) return pack(argv[2], argv[3]);
  if (command == "scene" && argc == 3) return scene(argv[2]);
  return usage();
}
