#include "resources/package/package.h"

namespace gv {
namespace {

// Any fixed value does: packages are read only by the engine that wrote them.
constexpr std::uint32_t kScrambleKey = 0x6A5C17E3;

}  // namespace

void scrambleArchive(std::uint8_t* data, std::size_t size) {
  // Byte-wise so that the result does not depend on the host's byte order or alignment.
  for (std::size_t word = 0; word + 4 <= size; word += 4)
    for (int i = 0; i < 4; ++i) data[word + i] ^= static_cast<std::uint8_t>(kScrambleKey >> (8 * i));
}

}  // namespace gv
