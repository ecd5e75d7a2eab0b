#pragma once
// Include files for the HLSL compiler, read through the engine's file system. A name is
// looked up in the directory of the file being compiled and in every directory an earlier
// include of the same compilation came from, so a file included from a subdirectory makes
// that subdirectory a search place for the includes that follow.
#include <irrlicht.h>

#include <list>
#include <string>
#include <vector>

#include "engine/hlsl/hlsl_compiler.h"

namespace gv {

class ShaderIncludeCallback final : public engine::IIncludeCallback {
 public:
  ShaderIncludeCallback(irr::io::IFileSystem* files, const std::string& sourceDirectory)
      : files_(files), directories_{sourceDirectory} {}

  bool Open(const char* name, const void** data, irr::u32* size) override;
  void Close(const void* data) override;

  // The paths of the include files read so far, as they were opened.
  const std::vector<std::string>& openedFiles() const { return opened_; }

 private:
  irr::io::IFileSystem* files_;
  std::vector<std::string> directories_;
  std::vector<std::string> opened_;
  std::list<std::string> texts_;  // handed out until closed; list nodes keep their addresses
};

}  // namespace gv
