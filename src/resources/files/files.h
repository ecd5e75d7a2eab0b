#pragma once
// The file-access layer. Before the engine runs, the plain back end reads files with stdio
// relative to its own current directory; once the engine runs, its file system serves them,
// and a packaged demo's archive is mounted into it. Main thread only.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace irr::io {
class IFileSystem;
}

namespace gv {

// An open file for reading. Destroying the stream closes it.
class FileStream {
 public:
  virtual ~FileStream() = default;
  // origin: 0 from the start, 1 from the current position, 2 from the end. 0 on success.
  virtual int seek(long offset, int origin) = 0;
  // Reads up to size * count bytes; returns the number of whole items read.
  virtual std::size_t read(void* buffer, std::size_t size, std::size_t count) = 0;
  // The next byte, or -1 at the end.
  virtual int getc() = 0;
  // Reads up to and including the next line feed (at most capacity - 1 bytes) and
  // terminates the text; nullptr when no byte could be read.
  virtual char* gets(char* buffer, int capacity) = 0;
  virtual long tell() = 0;
};
using FileStreamPtr = std::unique_ptr<FileStream>;

// Replaceable behaviour of the layer; an empty callback means the plain back end's default.
struct FileSystemHooks {
  struct Open {
    std::function<FileStreamPtr(const std::string& path, const char* mode)> open;
  } open;
  struct Directory {
    std::function<bool(const std::string& path)> set;
    std::function<bool(const std::string& path)> enter;
    std::function<std::string()> get;
  } directory;
  struct Path {
    std::function<std::string(const std::string& path)> directoryPart;
    std::function<std::string(const std::string& path, bool keepExtension)> fileName;
    std::function<std::string(const std::string& path)> absolutePath;
  } path;
};

void setFileSystemHooks(FileSystemHooks hooks);

// Opens a file for reading ("r", "rb", "rt"); other modes are refused. nullptr when the file
// cannot be opened: callers treat that as a missing file.
FileStreamPtr openFile(const std::string& path, const char* mode);
bool fileExists(const std::string& path);
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path);

// Current directory and path helpers, through the installed back end.
bool setDirectory(const std::string& path);
bool enterDirectory(const std::string& path);
std::string getDirectory();
std::string directoryPart(const std::string& path);
std::string fileName(const std::string& path, bool keepExtension);
std::string absolutePath(const std::string& path);

// Back ends. useEngineFiles keeps the pointer without taking a reference: call
// releaseEngineFiles before the engine's file system goes away.
void usePlainFiles();
void useEngineFiles(irr::io::IFileSystem* fileSystem);

// Archive mounting. A mount requested while no engine runs is remembered and made by the
// next engine start (reapplyArchive). Memory handed to mountArchiveMemory must stay valid
// while the mount is kept.
enum class ArchiveMode { None, File, Memory };
struct ArchiveSource {
  ArchiveMode mode = ArchiveMode::None;
  std::string path;              // ArchiveMode::File
  const void* data = nullptr;    // ArchiveMode::Memory
  std::size_t size = 0;
};

int gvSetupFilesystem(irr::io::IFileSystem& fileSystem, const ArchiveSource& source);
int mountArchiveFile(const std::string& path);
int mountArchiveMemory(const void* data, std::size_t size);
// Engine start: mounts the remembered archive into the new engine's file system, or
// installs the engine back end when there is none.
int reapplyArchive(irr::io::IFileSystem* fileSystem);
// Engine stop: back to plain files; the remembered archive is kept for the next start.
void releaseEngineFiles();
bool isArchiveMounted();
// Forgets the remembered archive (the packaged run that owned its memory has ended).
void forgetArchive();

// Data files: shaders and textures searched in fixed folders under the base directory.
extern const char* const kDataDirectories[7];
constexpr const char* kShaderCacheDirectory = "shadersCache";
void setBaseDirectory(const std::string& path);
const std::string& baseDirectory();
std::string findDataFile(const std::string& name);

// The ".dat" file that holds a package beside its executable.
std::string sideFileName(const std::string& executablePath);

}  // namespace gv
