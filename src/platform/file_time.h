#pragma once
// Modification times of files on disk (not in mounted archives).
#include <cstdint>
#include <string>

namespace gv::platform {

// Seconds since the epoch of the file's last modification; false when it cannot be read.
bool fileModificationTime(const std::string& path, std::int64_t& seconds);

}  // namespace gv::platform
