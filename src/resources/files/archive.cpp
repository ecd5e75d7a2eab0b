// Mounting a packaged demo's ZIP archive into the engine's file system.
#include "resources/files/backends.h"

#include "app/log/log.h"

#include <irrlicht.h>
#include <limits>

namespace gv {
namespace {

ArchiveSource remembered;                       // kept across engine restarts
irr::io::IFileSystem* runningEngine = nullptr;  // the file system of the running engine

bool addArchive(irr::io::IFileSystem& fs, const ArchiveSource& source) {
  const bool ignoreCase = true, ignorePaths = false;
  if (source.mode == ArchiveMode::File) {
    if (fs.addFileArchive(source.path.c_str(), ignoreCase, ignorePaths, irr::io::EFAT_ZIP, "")) return true;
    gvLogError("gvSetupFilesystem: Failed addFileArchive '%s'", source.path.c_str());
    return false;
  }
  irr::io::IReadFile* file = nullptr;
  if (source.size <= static_cast<std::size_t>(std::numeric_limits<irr::s32>::max()))
    file = fs.createMemoryReadFile(const_cast<void*>(source.data), static_cast<irr::s32>(source.size),
                                   "MyRscFile", false);
  if (!file) {
    gvLogError("gvSetupFilesystem: Failed to create file from memory");
    return false;
  }
  bool added = fs.addFileArchive(file, ignoreCase, ignorePaths, irr::io::EFAT_ZIP, "");
  file->drop();
  if (!added) gvLogError("gvSetupFilesystem: Failed addFileArchive from memory");
  return added;
}

int mount(const ArchiveSource& source) {
  if (!runningEngine) {
    usePlainFiles();
    remembered = source;
    return 0;
  }
  if (gvSetupFilesystem(*runningEngine, source) != 0) return -1;
  remembered = source;
  return 0;
}

}  // namespace

int gvSetupFilesystem(irr::io::IFileSystem& fs, const ArchiveSource& source) {
  gvLog(GVLOG_INFO, "setup filesystem irrzip");
  useEngineFiles(&fs);
  if (!addArchive(fs, source)) return -1;
  fs.setFileListSystem(irr::io::FILESYSTEM_VIRTUAL);
  return 0;
}

int mountArchiveFile(const std::string& path) {
  ArchiveSource source;
  source.mode = ArchiveMode::File;
  source.path = path;
  return mount(source);
}

int mountArchiveMemory(const void* data, std::size_t size) {
  ArchiveSource source;
  source.mode = ArchiveMode::Memory;
  source.data = data;
  source.size = size;
  return mount(source);
}

int reapplyArchive(irr::io::IFileSystem* fileSystem) {
  runningEngine = fileSystem;
  if (remembered.mode != ArchiveMode::None) return gvSetupFilesystem(*fileSystem, remembered);
  useEngineFiles(fileSystem);
  return 0;
}

void releaseEngineFiles() {
  runningEngine = nullptr;
  usePlainFiles();
}

bool isArchiveMounted() { return remembered.mode != ArchiveMode::None; }

void forgetArchive() { remembered = ArchiveSource(); }

}  // namespace gv
