#include "resources/package/package.h"

namespace gv {
namespace {

ListedFiles splitLine(const std::string& line) {
  std::size_t separator = line.find_last_of("/\\");
  if (separator == std::string::npos) return {"", line};
  // A line whose only separator leads it names files of the base directory.
  return {line.substr(0, separator), line.substr(separator + 1)};
}

}  // namespace

std::vector<ListedFiles> parseDirectoryList(const std::string& text) {
  std::vector<ListedFiles> listed;
  std::size_t at = 0;
  while (at < text.size()) {
    at = text.find_first_not_of(" \r\n", at);
    if (at == std::string::npos) break;
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    // Blanks that end a line are never part of a file pattern.
    line.erase(line.find_last_not_of(" \t") + 1);
    if (!line.empty()) listed.push_back(splitLine(line));
    at = end;
  }
  return listed;
}

}  // namespace gv
