#pragma once
// The words of the Gavo effect file declarations: parameter types, binding semantics,
// surface and texture channels, and the flag words of texture and parameter lines.
// Every look-up ignores case.
#include <irrTypes.h>

#include <string_view>

namespace gv::gavo {

// The type code of a declaration's type word, or 0 when the word declares nothing.
irr::s32 parameterTypeFromWord(std::string_view word);

// The semantic recorded for a name of the semantic table (some record their transposed or
// renamed counterpart), or null when the name is not in the table.
const char* semanticFromWord(std::string_view word);

// A surface channel name as the table spells it, or null.
const char* surfaceChannelFromWord(std::string_view word);

// The texture channel a word names ("Color" names "BaseColor"), or null.
const char* textureChannelFromWord(std::string_view word);

enum ETextureFlag : irr::u32 {
  ETF_CUBE = 0x1,
  ETF_3D = 0x2,
  ETF_PRESET = 0x4,
  ETF_REPEAT = 0x8,
  ETF_CLAMP = 0x10,
  ETF_CLAMP_TO_EDGE = 0x20,
  ETF_CLAMP_V = 0x40,
  ETF_CLAMP_TO_EDGE_V = 0x80,
  ETF_NO_MIP_MAP = 0x100,
  ETF_FILTER_POINT = 0x200,
  ETF_TRILINEAR = 0x400,
  ETF_R32F = 0x800,
  ETF_SRGB = 0x1000,
  ETF_LINEAR = 0x2000,
  ETF_IMAGE = 0x4000,
  ETF_IMAGEREF = 0x8000,
  ETF_VERTEX = 0x10000,
  ETF_DIVIDER = 0x20000,
  ETF_DIVAFTER = 0x40000,
};
irr::u32 textureFlagFromWord(std::string_view word);

enum EParameterFlag : irr::u32 {
  EPF_PIXEL = 0x1,
  EPF_VERTEX = 0x2,
  EPF_BOTH = 0x4,
  EPF_COLOR = 0x8,
  EPF_PERCENT = 0x10,
  EPF_DIVIDER = 0x20,
  EPF_DIVAFTER = 0x40,
};
irr::u32 parameterFlagFromWord(std::string_view word);

bool equalsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace gv::gavo
