#include "effects/shaders/shader_include_callback.h"

#include <algorithm>

#include "app/log/log.h"

namespace gv {

bool ShaderIncludeCallback::readWhole(const std::string& path, const void** data,
                                      irr::u32* size) {
  irr::io::IReadFile* file = files_->createAndOpenFile(path.c_str());
  if (!file) return false;
  const irr::u32 bytes = static_cast<irr::u32>(file->getSize());
  // One byte more than the text so that an empty file still gets a buffer of its own.
  char* buffer = new char[bytes + 1];
  const bool whole = bytes == 0 || file->read(buffer, bytes) == static_cast<irr::s32>(bytes);
  file->drop();
  if (!whole) {
    delete[] buffer;
    return false;
  }
  *data = buffer;
  *size = bytes;
  return true;
}

bool ShaderIncludeCallback::Open(const char* name, const void** data, irr::u32* size) {
  gvLog(GVLOG_DEBUG, "GvGPU: ShaderIncludeCallback: FileName='%s'", name);
  // The list can grow while it is searched: iterate over a copy.
  const std::vector<std::string> directories = directories_;
  for (const std::string& directory : directories) {
    const std::string path = directory + "/" + name;
    if (!readWhole(path, data, size)) {
      gvLog(GVLOG_DEBUG, "GvGPU: Include Not found: '%s'", path.c_str());
      continue;
    }
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
  delete[] static_cast<const char*>(data);
}

}  // namespace gv
