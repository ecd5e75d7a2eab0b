#include "effects/shaders/shader_cache.h"

#include <algorithm>
#include <cstring>

#include "app/log/log.h"
#include "effects/shaders/engine_file.h"
#include "engine/hlsl/glsl_translation.h"
#include "engine/hlsl/shader_cache_name.h"
#include "platform/file_time.h"

namespace gv {
namespace {

std::string fileDir(irr::io::IFileSystem* files, const std::string& path) {
  return files->getFileDir(path.c_str()).c_str();
}

}  // namespace

std::string forwardSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::optional<std::string> ShaderCache::readText(const std::string& path) {
  std::string text;
  if (readEngineFile(files_, path, text) != EFileRead::Read) return std::nullopt;
  return text;
}

std::string ShaderCache::codePath(const std::string& file, const std::string& entry,
                                  bool isVertex, const std::string& macroString) const {
  return directory_ + "/" + engine::shaderCacheFileName(file, entry, isVertex, macroString);
}

bool ShaderCache::macrosMatch(const std::string& macroString, const std::string& codePath) {
  const std::string infoPath = codePath + ".inf";
  const std::optional<std::string> cached = readText(infoPath);
  if (!cached) {
    gvLog(GVLOG_ERROR, "GvGPU: isCachedShaderMatch:read file '%s' FAILED", infoPath.c_str());
    return false;
  }
  if (*cached == macroString) return true;
  gvLog(GVLOG_WARN,
        "GvGPU: WARNING ! Conflict in Shader Cache on '%s' : Cached Macros : '%s' ; New Macros "
        "'%s'",
        codePath.c_str(), cached->c_str(), macroString.c_str());
  return false;
}

bool ShaderCache::upToDate(const std::string& codePath, const std::vector<std::string>& includes) {
  std::int64_t cacheTime = 0;
  if (!platform::fileModificationTime(codePath, cacheTime)) {
    gvLog(GVLOG_ERROR, "GvGPU: failed to stat '%s'", codePath.c_str());
    return false;
  }
  for (const std::string& path : includes) {
    std::int64_t sourceTime = 0;
    if (!platform::fileModificationTime(path, sourceTime)) {
      gvLog(GVLOG_ERROR, "GvGPU: failed to stat file '%s'", path.c_str());
      continue;
    }
    if (sourceTime > cacheTime) {
      gvLog(GVLOG_DEBUG, "GvGPU: file '%s' more recent", path.c_str());
      gvLog(GVLOG_DEBUG, "GvGPU: '%s' not up to date against shader files", codePath.c_str());
      return false;
    }
  }
  gvLog(GVLOG_DEBUG, "GvGPU: '%s' is up to date", codePath.c_str());
  return true;
}

void ShaderCache::scanIncludes(const std::string& file, int depth, std::set<std::string>& paths) {
  const std::optional<std::string> text = readText(file);
  if (!text) {
    gvLog(GVLOG_ERROR, "GvGPU: getShaderIncludes:read file '%s' FAILED", file.c_str());
    return;
  }
  // Every directive counts, commented out or not: a stale cache entry costs more than a
  // needless recompile.
  std::vector<std::string> names;
  for (std::size_t at = text->find("#include"); at != std::string::npos;
       at = text->find("#include", at + 1)) {
    const std::size_t lineEnd = text->find_first_of("\r\n", at);
    if (lineEnd == std::string::npos) continue;
    const std::size_t open = text->find('"', at);
    if (open >= lineEnd) continue;
    const std::size_t close = text->find('"', open + 1);
    if (close >= lineEnd) continue;
    names.push_back(text->substr(open + 1, close - open - 1));
  }
  const std::string directory = fileDir(files_, file);
  for (const std::string& name : names) paths.insert(forwardSlashes(directory + "/" + name));
  if (depth <= 0) return;
  for (const std::string& name : names) scanIncludes(directory + "/" + name, depth - 1, paths);
}

std::optional<engine::ShaderCode> ShaderCache::read(const std::string& file,
                                                    const std::string& entry, bool isVertex,
                                                    const std::vector<SShaderMacro>& macros,
                                                    std::vector<std::string>& includes) {
  if (!files_) {
    gvLog(GVLOG_ERROR, "GvGPU: failed to get filesystem");
    return std::nullopt;
  }
  if (!enabled(ESCM_READ)) {
    gvLog(GVLOG_DEBUG, "GvGPU: Cache not read enabled");
    return std::nullopt;
  }
  const std::string macroString = engine::shaderMacroString(macros);
  const std::string path = codePath(file, entry, isVertex, macroString);
  gvLog(GVLOG_DEBUG, "GvGPU: Read from cache = '%s'", path.c_str());
  if (!files_->existFile(path.c_str())) {
    gvLog(GVLOG_DEBUG, "GvGPU: File does not exist in the cache '%s'", path.c_str());
    return std::nullopt;
  }
  if (!macrosMatch(macroString, path)) return std::nullopt;

  std::set<std::string> found;
  scanIncludes(file, 4, found);
  found.insert(forwardSlashes(file));
  includes.assign(found.begin(), found.end());
  if ((mode_ & ESCM_CHECK_TIMES) && !upToDate(path, includes)) return std::nullopt;

  std::string bytes;
  const EFileRead read = readEngineFile(files_, path, bytes);
  if (read == EFileRead::NotOpened) {
    gvLog(GVLOG_ERROR, "GvGPU: Cached Compiled Shader cannot be opened '%s'", path.c_str());
    return std::nullopt;
  }
  engine::ShaderCode code(bytes.size() / 4);
  std::memcpy(code.data(), bytes.data(), code.size() * 4);
  if (read == EFileRead::ShortRead || bytes.size() % 4 != 0 ||
      !engine::isValidSpirvModule(code)) {
    gvLog(GVLOG_ERROR, "GvGPU: Cached Compiled Shader file cannot be read %s", path.c_str());
    return std::nullopt;
  }
  return code;
}

bool ShaderCache::write(const std::string& file, const std::string& entry, bool isVertex,
                        const std::vector<SShaderMacro>& macros, const engine::ShaderCode& code) {
  if (!files_) {
    gvLog(GVLOG_ERROR, "GvGPU: failed to get filesystem");
    return false;
  }
  if (!enabled(ESCM_WRITE)) {
    gvLog(GVLOG_DEBUG, "GvGPU: Cache not write enabled");
    return false;
  }
  const std::string macroString = engine::shaderMacroString(macros);
  const std::string path = codePath(file, entry, isVertex, macroString);
  gvLog(GVLOG_DEBUG, "GvGPU: Write to cache '%s'", path.c_str());

  irr::io::IWriteFile* out = files_->createAndWriteFile(path.c_str());
  if (!out) {
    gvLog(GVLOG_DEBUG, "GvGPU: Cached Compiled Shader cannot be opened for write '%s'",
          path.c_str());
    return false;
  }
  const irr::s32 codeBytes = static_cast<irr::s32>(code.size() * sizeof(code[0]));
  const bool codeWritten = out->write(code.data(), static_cast<irr::u32>(codeBytes)) == codeBytes;
  out->drop();
  if (!codeWritten) {
    gvLog(GVLOG_ERROR, "GvGPU: Cached Compiled Shader file cannot be write %s", path.c_str());
    return false;
  }

  const std::string infoPath = path + ".inf";
  out = files_->createAndWriteFile(infoPath.c_str());
  if (!out) {
    gvLog(GVLOG_ERROR, "GvGPU: Cached Shader Info cannot be opened for write '%s'",
          infoPath.c_str());
    return false;
  }
  const irr::s32 infoBytes = static_cast<irr::s32>(macroString.size());
  const bool infoWritten =
      infoBytes == 0 || out->write(macroString.data(), static_cast<irr::u32>(infoBytes)) == infoBytes;
  out->drop();
  if (!infoWritten) {
    gvLog(GVLOG_ERROR, "GvGPU: Cached Shader Info cannot be write %s", infoPath.c_str());
    return false;
  }
  return true;
}

}  // namespace gv
