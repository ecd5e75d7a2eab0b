#pragma once
// Whole files read through the engine's file system, which also sees mounted archives.
#include <irrlicht.h>

#include <string>

namespace gv {

enum class EFileRead { Read, NotOpened, ShortRead };

// The whole file in `text`; the result says whether it could not be opened or not be read
// completely (messages tell those apart).
EFileRead readEngineFile(irr::io::IFileSystem* files, const std::string& path, std::string& text);

}  // namespace gv
