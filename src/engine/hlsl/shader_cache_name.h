#pragma once
// Names of compiled programs in the compiled-shader cache: a program is stored under its
// directory, file, entry function and a 160-bit hash of its macro string.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "effects/defs/effect_def.h"

namespace gv::engine {

// Name, blank, Definition and "~" for each macro, in the (sorted) order given.
std::string shaderMacroString(const std::vector<SShaderMacro>& macros);

std::array<std::uint8_t, 20> shaderMacroHash(const std::string& text);

// 32 characters from the alphabet "123456789ABCDEFGHJKMNPQRSTUVWXYZ".
std::string shaderHashText(const std::array<std::uint8_t, 20>& hash);

// Directory part!base name!entry!hash text.vso or .pso; the information file adds ".inf".
std::string shaderCacheFileName(const std::string& sourceFile, const std::string& entry,
                                bool isVertex, const std::string& macroString);

}  // namespace gv::engine
