#include "resources/container/appended_container.h"

#include "resources/files/files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gv {
namespace {

constexpr char kMagic[8] = {'G', 'A', 'V', 'O', 'P', 'A', 'K', '1'};
// Bounds the walk over a corrupt or hostile chain.
constexpr int kMaxChainedContainers = 64;

void putLittleEndian(std::uint8_t* out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t getLittleEndian(const std::uint8_t* in, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | in[i];
  return value;
}

}  // namespace

std::vector<std::uint8_t> encodeContainerTrailer(const AppendedContainer& container) {
  std::vector<std::uint8_t> trailer(kContainerTrailerSize, 0);
  std::memcpy(trailer.data(), kMagic, sizeof kMagic);
  putLittleEndian(&trailer[8], container.resource, 4);
  putLittleEndian(&trailer[16], container.offset, 8);
  putLittleEndian(&trailer[24], container.size, 8);
  return trailer;
}

std::vector<AppendedContainer> listAppendedContainers(std::uint64_t fileSize, const ReadAt& readAt) {
  std::vector<AppendedContainer> found;
  std::uint64_t end = fileSize;
  while (end >= kContainerTrailerSize && found.size() < kMaxChainedContainers) {
    std::uint8_t trailer[kContainerTrailerSize];
    std::uint64_t trailerStart = end - kContainerTrailerSize;
    if (!readAt(trailerStart, trailer, sizeof trailer)) break;
    if (std::memcmp(trailer, kMagic, sizeof kMagic) != 0) break;
    AppendedContainer container;
    container.resource = static_cast<std::uint32_t>(getLittleEndian(&trailer[8], 4));
    container.offset = getLittleEndian(&trailer[16], 8);
    container.size = getLittleEndian(&trailer[24], 8);
    if (container.offset > trailerStart || container.size != trailerStart - container.offset) break;
    found.push_back(container);
    end = container.offset;
  }
  return found;
}

std::vector<AppendedContainer> listAppendedContainers(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return {};
  std::vector<AppendedContainer> found;
  if (fseeko(file, 0, SEEK_END) == 0) {
    off_t size = ftello(file);
    auto readAt = [file](std::uint64_t offset, void* buffer, std::size_t bytes) {
      return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 && std::fread(buffer, 1, bytes, file) == bytes;
    };
    if (size > 0) found = listAppendedContainers(static_cast<std::uint64_t>(size), readAt);
  }
  std::fclose(file);
  return found;
}

std::optional<AppendedContainer> findAppendedContainer(const std::string& path, std::uint32_t resource) {
  for (const AppendedContainer& container : listAppendedContainers(path))
    if (container.resource == resource) return container;
  return std::nullopt;
}

bool hasDamagedContainer(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  // A whole trailer, or one cut short by a truncated copy, has its magic in the last
  // 2 * 32 - 1 bytes.
  char tail[2 * kContainerTrailerSize - 1];
  std::size_t got = 0;
  if (fseeko(file, 0, SEEK_END) == 0) {
    off_t size = ftello(file);
    off_t start = size > static_cast<off_t>(sizeof tail) ? size - static_cast<off_t>(sizeof tail) : 0;
    if (fseeko(file, start, SEEK_SET) == 0) got = std::fread(tail, 1, sizeof tail, file);
  }
  std::fclose(file);
  bool magicNearTheEnd = std::search(tail, tail + got, kMagic, kMagic + sizeof kMagic) != tail + got;
  return magicNearTheEnd && listAppendedContainers(path).empty();
}

bool carriesPackage(const std::string& executablePath) {
  return findAppendedContainer(executablePath, kPackageResource) || fileExists(sideFileName(executablePath)) ||
         hasDamagedContainer(executablePath);
}

}  // namespace gv
