#include "resources/files/backends.h"

#include "app/log/log.h"

#include <cstring>

namespace gv {
namespace {

FileSystemHooks hooks;

}  // namespace

bool isReadMode(const char* mode) {
  return mode && mode[0] == 'r' && std::strchr(mode, '+') == nullptr;
}

void setFileSystemHooks(FileSystemHooks newHooks) { hooks = std::move(newHooks); }

FileStreamPtr openFile(const std::string& path, const char* mode) {
  if (!isReadMode(mode)) return nullptr;
  return hooks.open.open ? hooks.open.open(path, mode) : plain::open(path, mode);
}

bool fileExists(const std::string& path) { return openFile(path, "rb") != nullptr; }

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
  FileStreamPtr file = openFile(path, "rb");
  if (!file || file->seek(0, 2) != 0) return std::nullopt;
  long size = file->tell();
  if (size < 0 || file->seek(0, 0) != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && file->read(bytes.data(), bytes.size(), 1) != 1) return std::nullopt;
  return bytes;
}

bool setDirectory(const std::string& path) {
  return hooks.directory.set ? hooks.directory.set(path) : plain::setDirectory(path);
}

bool enterDirectory(const std::string& path) {
  return hooks.directory.enter ? hooks.directory.enter(path) : plain::enterDirectory(path);
}

std::string getDirectory() {
  return hooks.directory.get ? hooks.directory.get() : plain::getDirectory();
}

std::string directoryPart(const std::string& path) {
  return hooks.path.directoryPart ? hooks.path.directoryPart(path) : plain::directoryPart(path);
}

std::string fileName(const std::string& path, bool keepExtension) {
  return hooks.path.fileName ? hooks.path.fileName(path, keepExtension)
                             : plain::fileName(path, keepExtension);
}

std::string absolutePath(const std::string& path) {
  return hooks.path.absolutePath ? hooks.path.absolutePath(path) : plain::absolutePath(path);
}

void usePlainFiles() {
  hooks = FileSystemHooks();
  gvLog(GVLOG_INFO, "setup filesystem stdio");
}

void useEngineFiles(irr::io::IFileSystem* fileSystem) {
  hooks = engine_files::hooksFor(fileSystem);
  gvLog(GVLOG_INFO, "setup filesystem irrstd");
}

}  // namespace gv
