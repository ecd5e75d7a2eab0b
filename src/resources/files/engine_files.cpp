// The engine back end: files come from Irrlicht's file system, which also sees mounted
// archives.
#include "resources/files/backends.h"

#include <irrlicht.h>
#include <limits>

namespace gv::engine_files {
namespace {

class EngineStream final : public FileStream {
 public:
  explicit EngineStream(irr::io::IReadFile* file) : file_(file) {}
  ~EngineStream() override { file_->drop(); }
  int seek(long offset, int origin) override {
    long target = offset;
    if (origin == 1) target += file_->getPos();
    else if (origin == 2) target += file_->getSize();
    else if (origin != 0) return -1;
    if (target < 0 || target > file_->getSize()) return -1;
    return file_->seek(target, false) ? 0 : -1;
  }
  std::size_t read(void* buffer, std::size_t size, std::size_t count) override {
    if (size == 0 || count == 0 || count > std::numeric_limits<irr::u32>::max() / size) return 0;
    irr::s32 bytes = file_->read(buffer, static_cast<irr::u32>(size * count));
    return bytes > 0 ? static_cast<std::size_t>(bytes) / size : 0;
  }
  int getc() override {
    unsigned char byte;
    return file_->read(&byte, 1) == 1 ? byte : -1;
  }
  char* gets(char* buffer, int capacity) override {
    if (capacity <= 0) return nullptr;
    int length = 0;
    while (length < capacity - 1) {
      int c = getc();
      if (c < 0) break;
      buffer[length++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    if (length == 0) return nullptr;
    buffer[length] = '\0';
    return buffer;
  }
  long tell() override { return file_->getPos(); }

 private:
  irr::io::IReadFile* file_;
};

std::string text(const irr::io::path& path) { return path.c_str(); }

}  // namespace

FileSystemHooks hooksFor(irr::io::IFileSystem* fs) {
  FileSystemHooks hooks;
  hooks.open.open = [fs](const std::string& path, const char*) -> FileStreamPtr {
    irr::io::IReadFile* file = fs->createAndOpenFile(path.c_str());
    if (!file) return nullptr;
    return std::make_unique<EngineStream>(file);
  };
  hooks.directory.set = [fs](const std::string& path) { return fs->changeWorkingDirectoryTo(path.c_str()); };
  hooks.directory.enter = hooks.directory.set;
  hooks.directory.get = [fs]() { return text(fs->getWorkingDirectory()); };
  hooks.path.directoryPart = [fs](const std::string& path) { return text(fs->getFileDir(path.c_str())); };
  hooks.path.fileName = [fs](const std::string& path, bool keepExtension) {
    return text(fs->getFileBasename(path.c_str(), keepExtension));
  };
  hooks.path.absolutePath = [fs](const std::string& path) { return text(fs->getAbsolutePath(path.c_str())); };
  return hooks;
}

}  // namespace gv::engine_files
