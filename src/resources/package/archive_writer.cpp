#include "resources/package/archive_writer.h"

#include <cstdio>
#include <fstream>
#include <zip.h>

namespace gv::package {
namespace {

constexpr zip_uint32_t kCompressionLevel = 6;

// The 22-byte end-of-central-directory record of an archive without entries: libzip writes
// no file at all for an empty archive, but a package must still be a valid archive.
bool writeEmptyArchive(const std::string& path) {
  static const unsigned char kEmpty[22] = {'P', 'K', 5, 6};
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(kEmpty, sizeof kEmpty, 1, file) == 1;
  return std::fclose(file) == 0 && written;
}

}  // namespace

ArchiveWriter::~ArchiveWriter() {
  if (archive_) zip_discard(archive_);
}

bool ArchiveWriter::create(const std::string& path, std::string& error) {
  int code = 0;
  archive_ = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!archive_) {
    zip_error_t zipError;
    zip_error_init_with_code(&zipError, code);
    error = zip_error_strerror(&zipError);
    zip_error_fini(&zipError);
    return false;
  }
  path_ = path;
  return true;
}

ArchiveWriter::Added ArchiveWriter::add(const std::string& file, const std::string& name) {
  if (zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE) >= 0) return Added::AlreadyThere;
  // libzip reads the file when the archive is written; make sure now that it can.
  if (!std::ifstream(file, std::ios::binary)) return Added::Unreadable;
  zip_source_t* source = zip_source_file(archive_, file.c_str(), 0, -1);
  if (!source) return Added::Unreadable;
  zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    return Added::Refused;
  }
  zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, kCompressionLevel);
  ++entries_;
  return Added::Yes;
}

bool ArchiveWriter::close(std::string& error) {
  zip* archive = archive_;
  archive_ = nullptr;
  if (zip_close(archive) != 0) {
    error = zip_strerror(archive);
    zip_discard(archive);
    return false;
  }
  if (entries_ == 0 && !writeEmptyArchive(path_)) {
    error = "cannot write an empty archive";
    return false;
  }
  return true;
}

}  // namespace gv::package
