#pragma once
// Gavo effect files: HLSL sources ("hlsl", "fx") that describe themselves in comment lines
// between "[GAVO_BEGIN]" and "[GAVO_END]". Every technique compiles the file itself as its
// vertex and pixel program; the macros each technique adds select its code.
#include "effects/defs/effect_def.h"

#include <string_view>

namespace gv {

class CGvEffectDefGavo : public CGvEffectDef {
 public:
  using CGvEffectDef::CGvEffectDef;
};

class CGvEffectDefLoaderGavo : public IGvEffectDefLoader {
 public:
  bool isALoadableFileExtension(const char* fileName) const override;
  bool usesMacros() const override { return true; }
  IGvEffectDef* createEffectDef(const char* path, const CGvMacro* macros, bool isOpenGL,
                                const char** errorText) override;
};

// Fills an empty definition from an effect file's text (which ends at its first NUL).
// Returns null on success, else the message of the first failing line. Messages live in one
// process-wide buffer that the next failure overwrites.
const char* readGavoEffectText(CGvEffectDef& def, std::string_view text, const CGvMacro* macros);

}  // namespace gv
