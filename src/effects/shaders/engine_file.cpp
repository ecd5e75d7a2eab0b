#include "effects/shaders/engine_file.h"

namespace gv {

EFileRead readEngineFile(irr::io::IFileSystem* files, const std::string& path, std::string& text) {
  irr::io::IReadFile* file = files->createAndOpenFile(path.c_str());
  if (!file) return EFileRead::NotOpened;
  text.assign(static_cast<std::size_t>(file->getSize()), '\0');
  const bool whole = text.empty() || file->read(text.data(), static_cast<irr::u32>(text.size())) ==
                                         static_cast<irr::s32>(text.size());
  file->drop();
  return whole ? EFileRead::Read : EFileRead::ShortRead;
}

}  // namespace gv
