#include "platform/file_time.h"

#include <sys/stat.h>

namespace gv::platform {

bool fileModificationTime(const std::string& path, std::int64_t& seconds) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return false;
  seconds = static_cast<std::int64_t>(info.st_mtime);
  return true;
}

}  // namespace gv::platform
