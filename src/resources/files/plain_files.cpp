// The plain back end: stdio files relative to the layer's own current directory.
#include "resources/files/backends.h"

#include <cstdio>

namespace gv::plain {
namespace {

std::string currentDirectory;

bool isSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

std::size_t lastSeparator(const std::string& path) { return path.find_last_of("\\/:"); }

bool endsInSeparator(const std::string& text) { return !text.empty() && isSeparator(text.back()); }

class StdioStream final : public FileStream {
 public:
  explicit StdioStream(std::FILE* file) : file_(file) {}
  ~StdioStream() override { std::fclose(file_); }
  int seek(long offset, int origin) override {
    static const int origins[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2) return -1;
    return std::fseek(file_, offset, origins[origin]);
  }
  std::size_t read(void* buffer, std::size_t size, std::size_t count) override {
    return std::fread(buffer, size, count, file_);
  }
  int getc() override { return std::fgetc(file_); }
  char* gets(char* buffer, int capacity) override { return std::fgets(buffer, capacity, file_); }
  long tell() override { return std::ftell(file_); }

 private:
  std::FILE* file_;
};

}  // namespace

FileStreamPtr open(const std::string& path, const char* mode) {
  std::FILE* file = std::fopen(absolutePath(path).c_str(), mode);
  if (!file) return nullptr;
  return std::make_unique<StdioStream>(file);
}

bool setDirectory(const std::string& path) {
  if (path.size() > kMaxDirectory) return false;
  currentDirectory = path;
  return true;
}

bool enterDirectory(const std::string& path) {
  std::string entered = currentDirectory;
  if (!entered.empty() && !endsInSeparator(entered)) entered += '/';
  entered += path;
  return setDirectory(entered);
}

std::string getDirectory() { return currentDirectory; }

std::string directoryPart(const std::string& path) {
  std::size_t separator = lastSeparator(path);
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string fileName(const std::string& path, bool keepExtension) {
  std::size_t separator = lastSeparator(path);
  std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  if (!keepExtension) {
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
  }
  return name;
}

std::string absolutePath(const std::string& path) {
  // A path that is already absolute is not put under the current directory.
  if (currentDirectory.empty() || (!path.empty() && path.front() == '/')) return path;
  return endsInSeparator(currentDirectory) ? currentDirectory + path : currentDirectory + "/" + path;
}

}  // namespace gv::plain
