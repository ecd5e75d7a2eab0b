#pragma once
// Number reading shared by the definition's value readers and the loaders.
#include <irrTypes.h>

namespace gv {

// Reads up to count numbers separated by runs of space, tab, CR and LF, each the way
// Irrlicht's fast_atof reads one. Reading stops at the first character that cannot continue
// a number. The values not read are set to 0; returns how many were read.
irr::u32 readNumbers(const char* text, irr::f32* values, irr::u32 count);
// The way atoi reads: leading white space, optional sign, digits; nothing readable gives 0.
// Values beyond the 32-bit range are clamped.
irr::s32 readDecimalInteger(const char* text);
// Truncation toward zero, clamped to the 32-bit range (NaN gives 0).
irr::s32 truncateToInt(irr::f32 value);

}  // namespace gv
