// Any file may be started as gavo's executable: the trailer walk must stay inside the bytes
// and report only containers that fit them.
#include "resources/container/appended_container.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto readAt = [&](std::uint64_t offset, void* buffer, std::size_t bytes) {
    if (offset > size || bytes > size - offset) return false;
    std::memcpy(buffer, data + offset, bytes);
    return true;
  };
  std::uint64_t end = size;
  for (const gv::AppendedContainer& c : gv::listAppendedContainers(size, readAt)) {
    if (c.offset + c.size + gv::kContainerTrailerSize != end) std::abort();
    end = c.offset;
  }
  return 0;
}
