// Building packages: copy the engine executable, write the archive, append it or leave it
// beside the copy.
#include "resources/package/package.h"

#include "app/log/log.h"
#include "resources/container/appended_container.h"
#include "resources/files/files.h"
#include "resources/package/archive_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fnmatch.h>
#include <initializer_list>

namespace fs = std::filesystem;

namespace gv {
namespace {

using package::ArchiveWriter;
using Patterns = std::initializer_list<const char*>;

const Patterns kImages = {"*.jpg", "*.png", "*.jpeg", "*.bmp", "*.tga", "*.gif", "*.raw", "*.dds", "*.hdr"};
const Patterns kShaderSources = {"*.hlsl", "*.vsh", "*.psh", "*.fx", "*.dae", "*.xml", "*.h"};
const Patterns kSceneData = {"*.x", "*.gmorph", "*.gmdd", "*.gpnts", "*.lws.ini.bin", "*.gavo", "*.gscn"};
const Patterns kMusic = {"*.mp3", "*.mpg", "*.mpeg"};
const Patterns kCompiledShaders = {"*.vso", "*.pso", "*.vso.inf", "*.pso.inf"};
const Patterns kCameraShaders = {"*.fx", "*.hlsl", "*.h"};
const Patterns kSceneMeshes = {"*.x", "*.gmorph", "*.gmdd", "*.gpnts"};
const Patterns kLightWaveSources = {"*.lwo", "*.lws"};
const char* const kShaderDirectories[] = {"shaders",      "shadersPP",    "shadersPP2",        "shadersSURF",
                                          "shadersSURF2", "shadersSURF2/include", "shadersHV", "shadersHV/include"};
constexpr std::size_t kCopyChunk = 1 << 20;  // a multiple of 4: chunks scramble like the whole

std::string slashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

fs::path withoutTrailingSeparator(const fs::path& path) {
  fs::path normal = path.lexically_normal();
  return normal.has_filename() || normal == normal.root_path() ? normal : normal.parent_path();
}

bool escapes(const fs::path& relative) {
  return relative.empty() || relative.is_absolute() || *relative.begin() == "..";
}

// Names matching the pattern in the order a listing gives them, sorted so that packages are
// reproducible. Directory names and case do not matter: demo files come from Windows.
std::vector<std::string> matchingFiles(const fs::path& directory, const char* pattern) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (fnmatch(pattern, name.c_str(), FNM_CASEFOLD) == 0 && it->is_regular_file(error)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class PackageBuilder {
 public:
  PackageBuilder(const PackageTarget& target, std::uint32_t resource) : target_(target), resource_(resource) {}

  // Copies the executable and creates the archive.
  bool begin() {
    output_ = fs::absolute(target_.output).lexically_normal();
    engineDirectory_ = fs::absolute(target_.engineExecutable).parent_path();
    if (!copyExecutable()) return false;
    archivePath_ = sideFileName(output_.string());
    if (target_.form == PackageForm::Executable) archivePath_ += ".tmp";
    std::error_code error;
    fs::remove(archivePath_, error);
    if (error) {
      gvLogError("Failed to delete archive file %s", archivePath_.c_str());
      return false;
    }
    excluded_ = {canonical(output_), canonical(sideFileName(output_.string())), canonical(archivePath_)};
    std::string reason;
    if (!writer_.create(archivePath_, reason)) {
      gvLogError("Failed to create archive %s: %s", archivePath_.c_str(), reason.c_str());
      return false;
    }
    return true;
  }

  // The files of base/directory that match the pattern, named relative to base.
  bool addFiles(const fs::path& baseDirectory, const std::string& directory, const char* pattern) {
    fs::path base = withoutTrailingSeparator(baseDirectory);
    fs::path folder = withoutTrailingSeparator(base / slashes(directory));
    fs::path relative = folder.lexically_relative(base);
    if (relative.empty() || (relative != "." && escapes(relative))) {
      gvLogError("Failed to combine basedir=%s directory=%s", base.c_str(), directory.c_str());
      return false;
    }
    fs::path realFolder = canonical(folder);
    for (const std::string& name : matchingFiles(folder, pattern)) {
      if (isExcluded(realFolder / name)) continue;
      std::string entry = (relative / name).lexically_normal().generic_string();
      if (!add(folder / name, entry)) return false;
    }
    return true;
  }

  bool addGroup(const fs::path& base, const std::string& directory, Patterns patterns) {
    for (const char* pattern : patterns)
      if (!addFiles(base, directory, pattern)) return false;
    return true;
  }

  bool addFileAs(const fs::path& file, const std::string& name) { return add(file, name); }

  // Every file of the tree under `root`, named relative to it.
  bool addTree(const fs::path& root) {
    std::vector<fs::path> files;
    std::error_code error;
    fs::path realRoot = canonical(root);
    for (fs::recursive_directory_iterator it(realRoot, error), end; !error && it != end; it.increment(error))
      if (it->is_regular_file(error) && !isExcluded(it->path())) files.push_back(it->path());
    if (error) {
      gvLogError("Failed to list directory %s: %s", root.c_str(), error.message().c_str());
      return false;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files)
      if (!add(file, file.lexically_relative(realRoot).generic_string())) return false;
    return true;
  }

  // The engine's own data beside the executable: shader sources and textures, and for a
  // played package the compiled shaders too.
  bool addEngineData(bool compiledShaders) {
    if (compiledShaders && !addGroup(engineDirectory_, kShaderCacheDirectory, kCompiledShaders)) return false;
    for (const char* directory : kShaderDirectories)
      if (!addGroup(engineDirectory_, directory, kShaderSources)) return false;
    return addGroup(engineDirectory_, "textures", kImages);
  }

  int finish() {
    std::string reason;
    if (!writer_.close(reason)) {
      gvLogError("Failed to write archive %s: %s", archivePath_.c_str(), reason.c_str());
      return -1;
    }
    if (target_.form == PackageForm::SideFile) return 0;
    if (!appendArchive()) return -1;
    std::remove(archivePath_.c_str());
    return 0;
  }

 private:
  static fs::path canonical(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::weakly_canonical(path, error);
    return error ? path : real;
  }

  bool isExcluded(const fs::path& realPath) const {
    return std::find(excluded_.begin(), excluded_.end(), realPath) != excluded_.end();
  }

  bool copyExecutable() {
    std::error_code error;
    std::string from = target_.engineExecutable, to = output_.string();
    if (fs::exists(output_) && fs::equivalent(from, output_, error)) {
      gvLogError("Failed to copy %s to %s: a package cannot replace the running executable", from.c_str(),
                 to.c_str());
      return false;
    }
    // Unlinking first also replaces an executable that is running.
    fs::remove(output_, error);
    if (error || !fs::copy_file(from, output_, error)) {
      gvLogError("Failed to copy %s to %s", from.c_str(), to.c_str());
      return false;
    }
    return true;
  }

  bool add(const fs::path& file, const std::string& name) {
    switch (writer_.add(file.string(), name)) {
      case ArchiveWriter::Added::Yes:
        return true;
      case ArchiveWriter::Added::AlreadyThere:
        gvLog(GVLOG_DEBUG, "%s is already in the package; %s left out", name.c_str(), file.c_str());
        return true;
      case ArchiveWriter::Added::Unreadable:
        gvLogError("Failed to read file path=%s", file.c_str());
        return false;
      case ArchiveWriter::Added::Refused:
        break;
    }
    gvLogError("Failed to add file %s to archive %s", file.c_str(), archivePath_.c_str());
    return false;
  }

  // Appends the scrambled archive and its trailer to the executable.
  bool appendArchive() {
    std::string out = output_.string();
    std::FILE* archive = std::fopen(archivePath_.c_str(), "rb");
    if (!archive) {
      gvLogError("Failed to read  %s", archivePath_.c_str());
      return false;
    }
    std::FILE* executable = std::fopen(out.c_str(), "ab");
    if (!executable) {
      std::fclose(archive);
      gvLogError("Failed to BeginUpdate %s", out.c_str());
      return false;
    }
    bool ok = appendScrambled(archive, executable);
    std::fclose(archive);
    if (std::fclose(executable) != 0 && ok) {
      gvLogError("Failed to EndUpdate %s lastError=%d", out.c_str(), errno);
      return false;
    }
    return ok;
  }

  bool appendScrambled(std::FILE* archive, std::FILE* executable) {
    std::string out = output_.string();
    AppendedContainer container{resource_, 0, 0};
    long executableSize = std::fseek(executable, 0, SEEK_END) == 0 ? std::ftell(executable) : -1;
    if (executableSize < 0) {
      gvLogError("Failed to BeginUpdate %s", out.c_str());
      return false;
    }
    container.offset = static_cast<std::uint64_t>(executableSize);
    std::vector<std::uint8_t> chunk(kCopyChunk);
    std::size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), archive)) > 0) {
      scrambleArchive(chunk.data(), got);
      if (std::fwrite(chunk.data(), 1, got, executable) != got) {
        gvLogError("Failed to UpdateResource %s", out.c_str());
        return false;
      }
      container.size += got;
    }
    if (std::ferror(archive)) {
      gvLogError("Failed to read  %s", archivePath_.c_str());
      return false;
    }
    std::vector<std::uint8_t> trailer = encodeContainerTrailer(container);
    if (std::fwrite(trailer.data(), 1, trailer.size(), executable) != trailer.size()) {
      gvLogError("Failed to UpdateResource %s", out.c_str());
      return false;
    }
    return true;
  }

  PackageTarget target_;
  std::uint32_t resource_;
  fs::path output_, engineDirectory_;
  std::string archivePath_;
  std::vector<fs::path> excluded_;
  ArchiveWriter writer_;
};

fs::path absoluteFile(const std::string& file) { return fs::absolute(slashes(file)).lexically_normal(); }

// The steps every played package shares: begin, the content, the engine data, finish.
template <typename Content>
int buildPlayedPackage(const PackageTarget& target, Content&& content) {
  PackageBuilder builder(target, kPackageResource);
  if (!builder.begin() || !content(builder) || !builder.addEngineData(true)) return -1;
  return builder.finish();
}

}  // namespace

int buildDemoPackage(const PackageTarget& target, const DemoPackageContent& demo) {
  return buildPlayedPackage(target, [&](PackageBuilder& builder) {
    fs::path description = absoluteFile(demo.descriptionFile);
    fs::path base = description.parent_path();
    for (const std::string& directory : demo.directories)
      if (!builder.addGroup(base, directory, kSceneData) || !builder.addGroup(base, directory, kImages) ||
          !builder.addGroup(base, directory, kShaderSources))
        return false;
    if (!demo.shadersDirectory.empty() && !builder.addGroup(base, demo.shadersDirectory, kCameraShaders)) return false;
    if (!builder.addFileAs(description, "gavo.demo.ini")) return false;
    if (!builder.addGroup(base, demo.musicDirectory, kMusic)) return false;
    for (const char* loading : {"loading.png", "loading.hlsl"}) {
      std::error_code error;
      if (fs::is_regular_file(base / loading, error) && !builder.addFileAs(base / loading, loading)) return false;
    }
    return true;
  });
}

int buildScenePackage(const PackageTarget& target, const std::string& sceneFile) {
  return buildPlayedPackage(target, [&](PackageBuilder& builder) {
    fs::path scene = absoluteFile(sceneFile);
    fs::path base = scene.parent_path();
    return builder.addGroup(base, "", kSceneMeshes) && builder.addGroup(base, "", kImages) &&
           builder.addFileAs(scene, "gavo.gscn") && builder.addGroup(base, "scene_backup", kLightWaveSources);
  });
}

int buildDirectoryPackage(const PackageTarget& target, const std::string& directory) {
  std::error_code error;
  fs::path root = absoluteFile(directory);
  if (!fs::is_directory(root, error)) {
    gvLogError("Failed to open directory %s", directory.c_str());
    return -1;
  }
  return buildPlayedPackage(target, [&](PackageBuilder& builder) { return builder.addTree(root); });
}

int buildListPackage(const PackageTarget& target, const std::string& listFile) {
  std::optional<std::vector<std::uint8_t>> text = readWholeFile(absoluteFile(listFile).string());
  if (!text) {
    gvLogError("Failed to read  %s", listFile.c_str());
    return -1;
  }
  std::vector<ListedFiles> lines = parseDirectoryList(std::string(text->begin(), text->end()));
  return buildPlayedPackage(target, [&](PackageBuilder& builder) {
    fs::path base = fs::current_path();
    for (const ListedFiles& line : lines)
      if (!builder.addFiles(base, line.directory, line.pattern.c_str())) return false;
    return true;
  });
}

int buildEngineDataPackage(const PackageTarget& target) {
  PackageTarget appended = target;
  appended.form = PackageForm::Executable;
  PackageBuilder builder(appended, kEngineDataResource);
  if (!builder.begin() || !builder.addEngineData(false)) return -1;
  return builder.finish();
}

}  // namespace gv
