#pragma once
// Default values of global constants (`float4 Tint = {1, 0.5, 0.25, 1};`). The compiled code
// has no initialisers for constants, so the defaults are found in the preprocessed source and
// carried inside the compiled code as "gv-default <name> <values...>" source extension notes, which
// GLSL translation ignores and which travel with the code through the compiled-shader cache.
#include <string>
#include <vector>

#include "engine/hlsl/hlsl_compiler.h"

namespace gv::engine {

struct SGlobalDefault {
  std::string Name;
  std::vector<float> Values;  // flattened in declaration order; one value means all components

  bool operator==(const SGlobalDefault& other) const {
    return Name == other.Name && Values == other.Values;
  }
};

// File-scope declarations of `text` (preprocessed: no comments, macros expanded) whose
// initialiser is a literal: a number, true/false, a {...} list or a type constructor of
// literals. Any other initialiser is skipped.
std::vector<SGlobalDefault> scanGlobalDefaults(const std::string& text);

// Adds the defaults to `code` as notes; the code stays valid SPIR-V.
void embedGlobalDefaults(ShaderCode& code, const std::vector<SGlobalDefault>& defaults);

// The defaults that embedGlobalDefaults put into `code`.
std::vector<SGlobalDefault> readGlobalDefaults(const ShaderCode& code);

}  // namespace gv::engine
