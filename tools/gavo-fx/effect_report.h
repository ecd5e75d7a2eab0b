#pragma once
// The text gavo-fx prints for a definition: header, parameters, techniques with their
// passes, programs, states and evaluation steps, and what each pass means to the engine.
#include "effects/defs/effect_def.h"

#include <ostream>

namespace gv::fx {

void printEffectDef(const IGvEffectDef& def, std::ostream& out);

}  // namespace gv::fx
