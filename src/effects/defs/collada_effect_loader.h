#pragma once
// COLLADA FX effects (the library_effects part of a COLLADA document), read into the same
// definition model as the Gavo effect files. The reader is tolerant: it copies the attributes
// and texts of the elements it knows, prints a line for and skips what it does not know, and
// fails only when the file cannot be read. Meaning is given to the words later, when a pass
// is interpreted.
#include "effects/defs/effect_def.h"

#include <cstddef>

namespace gv {

class CGvEffectDefCollada : public CGvEffectDef {
 public:
  using CGvEffectDef::CGvEffectDef;
};

class CGvEffectDefLoaderCollada : public IGvEffectDefLoader {
 public:
  bool isALoadableFileExtension(const char* fileName) const override;
  // One definition per file serves every request: macros passed in are ignored.
  bool usesMacros() const override { return false; }
  IGvEffectDef* createEffectDef(const char* path, const CGvMacro* macros, bool isOpenGL,
                                const char** errorText) override;
};

// Reads the effects of a COLLADA document held in memory into def. Several effects all write
// into the one definition: the last one's Id and Name stay, the rest accumulates.
void readColladaEffects(CGvEffectDef& def, const void* data, std::size_t size);

}  // namespace gv
