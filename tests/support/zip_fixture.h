#pragma once
// Builds small ZIP archives in memory for tests.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace gv::test {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;  // name, content

std::vector<std::uint8_t> makeZip(const ZipEntries& entries);

}  // namespace gv::test
