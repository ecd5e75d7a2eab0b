#include "support/zip_fixture.h"

#include <stdexcept>
#include <zip.h>

namespace gv::test {

std::vector<std::uint8_t> makeZip(const ZipEntries& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
  if (!archive) throw std::runtime_error("cannot create an archive in memory");
  zip_source_keep(buffer);
  for (const auto& [name, content] : entries) {
    zip_source_t* data = zip_source_buffer(archive, content.data(), content.size(), 0);
    if (!data || zip_file_add(archive, name.c_str(), data, ZIP_FL_OVERWRITE) < 0)
      throw std::runtime_error("cannot add " + name);
  }
  if (zip_close(archive) != 0) throw std::runtime_error("cannot write the archive");
  std::vector<std::uint8_t> bytes;
  zip_stat_t stat;
  if (zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
    bytes.resize(stat.size);
    zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
  }
  zip_source_free(buffer);
  return bytes;
}

}  // namespace gv::test
