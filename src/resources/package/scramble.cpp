#include "resources/package/package.h"

#include <cstring>

namespace gv {
namespace {

// Any fixed value does: packages are read only by the engine that wrote them.
constexpr std::uint32_t kScrambleKey = 0x6A5C17E3;

}  // namespace

void scrambleArchive(std::uint8_t* data, std::size_t size) {
  const std::size_t words = size / 4 * 4;
  std::uint8_t key[4];
  for (int i = 0; i < 4; ++i) key[i] = static_cast<std::uint8_t>(kScrambleKey >> (8 * i));
  // Eight bytes at a time with the key's bytes laid out in memory order, so that the result
  // does not depend on the host's byte order or on alignment.
  std::uint8_t keyBytes[8];
  for (int i = 0; i < 8; ++i) keyBytes[i] = key[i % 4];
  std::uint64_t wideKey;
  std::memcpy(&wideKey, keyBytes, sizeof wideKey);
  std::size_t at = 0;
  for (; at + 8 <= words; at += 8) {
    std::uint64_t chunk;
    std::memcpy(&chunk, data + at, sizeof chunk);
    chunk ^= wideKey;
    std::memcpy(data + at, &chunk, sizeof chunk);
  }
  for (; at < words; ++at) data[at] ^= key[at % 4];
}

}  // namespace gv
