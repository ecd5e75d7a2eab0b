#include "resources/package/loaded_package.h"

#include "app/log/log.h"
#include "resources/container/appended_container.h"
#include "resources/files/files.h"
#include "resources/package/package.h"

#include <cstdio>
#include <zip.h>

namespace gv {
namespace {

bool readRange(const std::string& path, const AppendedContainer& container, std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  bytes.resize(container.size);
  bool read = fseeko(file, static_cast<off_t>(container.offset), SEEK_SET) == 0 &&
              std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  std::fclose(file);
  return read;
}

// The archive was opened only to see that its directory is whole: the reason when it is not.
std::string checkArchive(zip_t* archive, zip_error_t* error) {
  std::string reason;
  if (archive)
    zip_discard(archive);
  else
    reason = std::string("the archive is damaged: ") + zip_error_strerror(error);
  zip_error_fini(error);
  return reason;
}

std::string checkArchiveMemory(const std::vector<std::uint8_t>& bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
  if (source && !archive) zip_source_free(source);
  return checkArchive(archive, &error);
}

std::string checkArchiveFile(const std::string& path) {
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  return checkArchive(archive, &error);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> loadAppendedArchive(const std::string& executablePath,
                                                             std::uint32_t resource, std::string& error) {
  std::optional<AppendedContainer> container = findAppendedContainer(executablePath, resource);
  if (!container) {
    error = hasDamagedContainer(executablePath) ? "its container trailer is damaged" : "it carries no container";
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes;
  if (!readRange(executablePath, *container, bytes)) {
    error = "cannot read its container";
    return std::nullopt;
  }
  scrambleArchive(bytes.data(), bytes.size());
  error = checkArchiveMemory(bytes);
  if (!error.empty()) return std::nullopt;
  return bytes;
}

std::unique_ptr<LoadedPackage> LoadedPackage::load(const std::string& executablePath) {
  std::unique_ptr<LoadedPackage> package(new LoadedPackage);
  std::string error;
  if (findAppendedContainer(executablePath, kPackageResource) || hasDamagedContainer(executablePath)) {
    std::optional<std::vector<std::uint8_t>> archive = loadAppendedArchive(executablePath, kPackageResource, error);
    if (!archive) {
      gvLogError("Failed to load resources from executable (%s)", error.c_str());
      return nullptr;
    }
    package->archive_ = std::move(*archive);
    return package;
  }
  std::string sideFile = sideFileName(executablePath);
  if (!fileExists(sideFile)) {
    gvLogError("Resources don't exist");
    return nullptr;
  }
  error = checkArchiveFile(sideFile);
  if (!error.empty()) {
    gvLogError("Failed to load resources from %s (%s)", sideFile.c_str(), error.c_str());
    return nullptr;
  }
  package->sideFile_ = sideFile;
  return package;
}

int LoadedPackage::mount() {
  int result = fromExecutable() ? mountArchiveMemory(archive_.data(), archive_.size()) : mountArchiveFile(sideFile_);
  mounted_ = result == 0;
  return result;
}

LoadedPackage::~LoadedPackage() {
  if (mounted_) forgetArchive();
}

}  // namespace gv
