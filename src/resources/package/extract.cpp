// Unpacking a packaged scene: its LightWave sources and its images, for an artist who lost them.
#include "resources/package/loaded_package.h"

#include "app/log/log.h"
#include "resources/container/appended_container.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace gv {
namespace {

constexpr const char* kSceneBackup = "scene_backup/";

std::string lowerExtension(const std::string& name) {
  std::size_t dot = name.find_last_of('.');
  std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// The entry's last name component, or empty when that could name anything but a plain file in
// the target folder.
std::string lastComponent(const std::string& name) {
  std::size_t separator = name.find_last_of("/\\");
  std::string last = separator == std::string::npos ? name : name.substr(separator + 1);
  return last == "." || last == ".." ? std::string() : last;
}

// The folder an entry goes to, or nullptr when it stays in the package.
const char* folderFor(const std::string& name) {
  std::string extension = lowerExtension(name);
  if (name.rfind(kSceneBackup, 0) == 0) {
    if (extension == "lwo") return "Objects";
    if (extension == "lws") return "Scenes";
  }
  if (name.find('/') != std::string::npos || extension == "x" || extension == "gscn" || extension == "gavo")
    return nullptr;
  return "Images";
}

bool isScenePackage(zip_t* archive) {
  bool backup = false, scene = false, demo = false;
  for (zip_int64_t i = 0, n = zip_get_num_entries(archive, 0); i < n; ++i) {
    std::string name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
    backup |= name.find(kSceneBackup) != std::string::npos;
    scene |= name.find("gavo.gscn") != std::string::npos;
    demo |= name.find("gavo.demo.ini") != std::string::npos;
  }
  return backup && scene && !demo;
}

// Never follows a link that sits where the file goes: it could point anywhere.
bool writeFile(const std::string& path, const std::vector<char>& bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::size_t written = 0;
  while (written < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  return ::close(fd) == 0 && written == bytes.size();
}

int extractEntry(zip_t* archive, zip_uint64_t index, const std::string& target) {
  zip_stat_t stat;
  if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
    gvMessageBox("Failed to stat file");
    return -1;
  }
  std::vector<char> bytes(stat.size);
  zip_file_t* file = zip_fopen_index(archive, index, 0);
  bool read = file && zip_fread(file, bytes.data(), bytes.size()) == static_cast<zip_int64_t>(bytes.size());
  if (file) zip_fclose(file);
  if (!read) {
    gvMessageBox("Failed to extract file %s", target.c_str());
    return -1;
  }
  if (!writeFile(target, bytes)) {
    gvMessageBox("Failed to write file %s", target.c_str());
    return -1;
  }
  return 0;
}

bool makeDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) return true;
  gvLogError("Failed to create directory %s", path.c_str());
  return false;
}

int extractFrom(zip_t* archive, const std::string& directory) {
  if (!isScenePackage(archive)) {
    gvPrint("The package holds no scene with its sources: nothing to extract");
    return 0;
  }
  std::string root = directory + "/ExeExtract";
  for (const std::string& path : {root, root + "/Images", root + "/Objects", root + "/Scenes"})
    if (!makeDirectory(path)) return -1;
  for (zip_int64_t i = 0, n = zip_get_num_entries(archive, 0); i < n; ++i) {
    std::string name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
    const char* folder = folderFor(name);
    std::string last = lastComponent(name);
    if (name.find('.') == std::string::npos || !folder || last.empty()) continue;
    std::string target = root + "/" + folder + "/" + last;
    gvPrint("Extract File '%s'", target.c_str());
    if (extractEntry(archive, static_cast<zip_uint64_t>(i), target) != 0) return -1;
  }
  return 0;
}

}  // namespace

int extractScenePackage(const std::string& executablePath, const std::string& directory) {
  if (!findAppendedContainer(executablePath, kPackageResource) && !hasDamagedContainer(executablePath)) {
    gvLogError("Failed to open archive: %s carries no package of its own", executablePath.c_str());
    return -1;
  }
  std::string error;
  std::optional<std::vector<std::uint8_t>> bytes = loadAppendedArchive(executablePath, kPackageResource, error);
  if (!bytes) {
    gvLogError("Failed to load resources from executable (%s)", error.c_str());
    return -1;
  }
  zip_error_t zipError;
  zip_error_init(&zipError);
  zip_source_t* source = zip_source_buffer_create(bytes->data(), bytes->size(), 0, &zipError);
  zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
  zip_error_fini(&zipError);
  if (!archive) {
    if (source) zip_source_free(source);
    gvLogError("Failed to open archive");
    return -1;
  }
  int result = extractFrom(archive, directory);
  zip_discard(archive);
  return result;
}

}  // namespace gv
