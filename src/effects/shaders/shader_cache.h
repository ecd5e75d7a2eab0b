#pragma once
// The compiled-shader cache: one file of compiled code per program and macro set in a cache
// directory, named after the source file, the entry function and a hash of the macro string,
// with the macro string in an information file beside it.
#include <irrlicht.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "effects/defs/effect_def.h"
#include "engine/hlsl/hlsl_compiler.h"

namespace gv {

enum EShaderCacheMode : std::int32_t {
  ESCM_READ = 1,
  ESCM_CHECK_TIMES = 2,
  ESCM_WRITE = 4,
};

class ShaderCache {
 public:
  explicit ShaderCache(irr::io::IFileSystem* files) : files_(files) {}

  void setDirectory(const std::string& directory, std::int32_t mode) {
    directory_ = directory;
    mode_ = mode;
  }

  // The cached code of a program, or nothing (disabled, missing, made with other macros, out
  // of date, unreadable or damaged). `includes` receives the source and the files it includes
  // whenever a cache file with the right macros exists.
  std::optional<engine::ShaderCode> read(const std::string& file, const std::string& entry,
                                         bool isVertex, const std::vector<SShaderMacro>& macros,
                                         std::vector<std::string>& includes);

  bool write(const std::string& file, const std::string& entry, bool isVertex,
             const std::vector<SShaderMacro>& macros, const engine::ShaderCode& code);

  // The files `file` includes with "#include \"name\"", followed `depth` levels further down,
  // added to `paths`.
  void scanIncludes(const std::string& file, int depth, std::set<std::string>& paths);

 private:
  std::string codePath(const std::string& file, const std::string& entry, bool isVertex,
                       const std::string& macroString) const;
  bool macrosMatch(const std::string& macroString, const std::string& codePath);
  bool upToDate(const std::string& codePath, const std::vector<std::string>& includes);
  std::optional<std::string> readText(const std::string& path);
  bool enabled(std::int32_t bit) const { return (mode_ & bit) && !directory_.empty(); }

  irr::io::IFileSystem* files_;
  std::string directory_;
  std::int32_t mode_ = 0;
};

// '\' turned into '/'.
std::string forwardSlashes(std::string path);

}  // namespace gv
