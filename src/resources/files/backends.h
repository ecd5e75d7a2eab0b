#pragma once
// The two back ends behind the file-access layer (internal to the layer).
#include "resources/files/files.h"

namespace gv::plain {

constexpr std::size_t kMaxDirectory = 2047;

FileStreamPtr open(const std::string& path, const char* mode);
bool setDirectory(const std::string& path);
bool enterDirectory(const std::string& path);
std::string getDirectory();
std::string directoryPart(const std::string& path);
std::string fileName(const std::string& path, bool keepExtension);
std::string absolutePath(const std::string& path);

}  // namespace gv::plain

namespace gv::engine_files {

FileSystemHooks hooksFor(irr::io::IFileSystem* fileSystem);

}  // namespace gv::engine_files

namespace gv {

// Only reading modes are served: the layer has no write operation, and opening "w"
// through it would silently empty a file.
bool isReadMode(const char* mode);

}  // namespace gv
