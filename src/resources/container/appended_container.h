#pragma once
// Containers appended to an executable. ELF files carry no resources, so a package is the
// executable followed by its ZIP container and a fixed 32-byte trailer:
//
//   offset  size  field
//        0     8  magic "GAVOPAK1"
//        8     4  resource number (500 packaged data, 501 engine data), little-endian
//       12     4  zero
//       16     8  offset of the container from the start of the file, little-endian
//       24     8  size of the container in bytes, little-endian
//
// The container ends where its trailer begins. Several containers chain: the trailer of an
// earlier one ends where the next container begins.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gv {

constexpr std::uint32_t kPackageResource = 500;
constexpr std::uint32_t kEngineDataResource = 501;
constexpr std::size_t kContainerTrailerSize = 32;

struct AppendedContainer {
  std::uint32_t resource = 0;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
};

// Encodes the trailer that follows a container of `size` bytes starting at `offset`.
std::vector<std::uint8_t> encodeContainerTrailer(const AppendedContainer& container);

// The containers of a file of `fileSize` bytes whose bytes `readAt` reads, newest
// first. A trailer that does not fit the file ends the chain.
using ReadAt = std::function<bool(std::uint64_t offset, void* buffer, std::size_t size)>;
std::vector<AppendedContainer> listAppendedContainers(std::uint64_t fileSize, const ReadAt& readAt);

// The same for a file on disk; empty when it cannot be read.
std::vector<AppendedContainer> listAppendedContainers(const std::string& path);

// The newest container with the given resource number.
std::optional<AppendedContainer> findAppendedContainer(const std::string& path, std::uint32_t resource);

// True when the file ends in a container trailer that does not fit it, or in part of one (a
// truncated or damaged package).
bool hasDamagedContainer(const std::string& path);

// True when the executable carries a package: an appended resource 500 or a side file. A
// damaged container counts, so that the player can say what is wrong with it.
bool carriesPackage(const std::string& executablePath);

}  // namespace gv
