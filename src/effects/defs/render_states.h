#pragma once
// The words effect files use for render and sampler states, and what each means to the engine
// layer: Irrlicht's material values where Irrlicht has them, and the few markers the engine
// layer turns into OpenGL state itself. All of it lives in one table (render_states.cpp).
#include <irrTypes.h>

namespace gv {

enum class EStateWordKind {
  DepthFunc,     // value: E_COMPARISON_FUNC, or kDepthFuncNever; words compare exactly
  BlendFactor,   // value: E_BLEND_FACTOR; words compare ignoring case
  BaseMaterial,  // value: E_MATERIAL_TYPE, param: MaterialTypeParam bits; ignoring case
  Wrap,          // value: E_TEXTURE_CLAMP; exact
  CullFace,      // value: ECullFaces bits; exact
};

// Irrlicht 1.8 has no "never passes" depth function: its ECFN_NEVER switches the depth test
// off. A pass asking for NEVER writes nothing, which applyPassStates expresses through the
// colour mask and depth writes.
constexpr irr::s32 kDepthFuncNever = -1;

enum ECullFaces : irr::s32 { ECF_NONE = 0, ECF_BACK = 1, ECF_FRONT = 2 };

struct SStateWord {
  EStateWordKind Kind;
  const char* Word;
  irr::s32 Value;
  irr::u32 Param;
};

// The entry for a word of the given kind, or null.
const SStateWord* findStateWord(EStateWordKind kind, const char* word);

}  // namespace gv
