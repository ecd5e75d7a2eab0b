#include "effects/shaders/shader_include_callback.h"

#include <algorithm>

#include "app/log/log.h"
#include "effects/shaders/engine_file.h"

namespace gv {

bool ShaderIncludeCallback::Open(const char* name, const void** data, irr::u32* size) {
  gvLog(GVLOG_DEBUG, "GvGPU: ShaderIncludeCallback: FileName='%s'", name);
  // The list can grow while it is searched: iterate over a copy.
  const std::vector<std::string> directories = directories_;
  for (const std::string& directory : directories) {
    const std::string path = directory + "/" + name;
    std::string text;
    if (readEngineFile(files_, path, text) != EFileRead::Read) {
      gvLog(GVLOG_DEBUG, "GvGPU: Include Not found: '%s'", path.c_str());
      continue;
    }
    const std::string& kept = texts_.emplace_back(std::move(text));
    *data = kept.data();
    *size = static_cast<irr::u32>(kept.size());
    gvLog(GVLOG_DEBUG, "GvGPU: Include found: '%s'", path.c_str());
    std::sort(directories_.begin(), directories_.end());
    const std::string found = files_->getFileDir(path.c_str()).c_str();
    if (std::find(directories_.begin(), directories_.end(), found) == directories_.end())
      directories_.push_back(found);
    opened_.push_back(path);
    return true;
  }
  gvLog(GVLOG_ERROR, "GvGPU: ShaderIncludeCallback:Open FileName='%s' FAILED", name);
  return false;
}

void ShaderIncludeCallback::Close(const void* data) {
  if (!data) {
    gvLog(GVLOG_ERROR, "GvGPU: ShaderIncludeCallback:Close pData IS NULL!");
    return;
  }
  gvLog(GVLOG_DEBUG, "ShaderIncludeCallback:Close pData=0x%08lx",
        static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(data)));
  texts_.remove_if([data](const std::string& text) { return text.data() == data; });
}

}  // namespace gv
