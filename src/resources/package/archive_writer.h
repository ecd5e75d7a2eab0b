#pragma once
// Writing a ZIP archive file with libzip: deflate at level 6, files read from disk when the
// archive is closed.
#include <string>

struct zip;

namespace gv::package {

class ArchiveWriter {
 public:
  ArchiveWriter() = default;
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;
  // An archive that was never closed is discarded.
  ~ArchiveWriter();

  // Creates the archive, replacing any file of that name. false with `error` set on failure.
  bool create(const std::string& path, std::string& error);

  enum class Added { Yes, AlreadyThere, Unreadable, Refused };
  // Adds the file on disk under `name`. A name already in the archive (compared without case,
  // as the engine looks names up) keeps its first file.
  Added add(const std::string& file, const std::string& name);

  // Writes the archive; an archive with no entry is written as an empty ZIP archive.
  bool close(std::string& error);
  int entries() const { return entries_; }

 private:
  zip* archive_ = nullptr;
  std::string path_;
  int entries_ = 0;
};

}  // namespace gv::package
