#pragma once
// A temporary folder removed with everything in it when the test ends.
#include <string>

namespace gv::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's path, without a trailing slash.
  const std::string& path() const { return path_; }
  // path() + "/" + relative
  std::string file(const std::string& relative) const;
  // Writes a file (creating its folders) and returns its full path.
  std::string write(const std::string& relative, const std::string& content) const;

 private:
  std::string path_;
};

}  // namespace gv::test
