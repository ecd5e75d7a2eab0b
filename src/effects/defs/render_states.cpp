#include "effects/defs/render_states.h"

#include <EMaterialTypes.h>
#include <SMaterial.h>

#include <strings.h>

#include <cstring>

namespace gv {

namespace {

using namespace irr::video;

constexpr irr::u32 blendBits(E_BLEND_FACTOR src, E_BLEND_FACTOR dest, irr::u32 alphaSource) {
  // The layout of Irrlicht's pack_textureBlendFunc, with modulate 1x.
  return (alphaSource << 12) | (EMFN_MODULATE_1X << 8) | (src << 4) | dest;
}

using K = EStateWordKind;

const SStateWord kStateWords[] = {
    {K::DepthFunc, "NEVER", kDepthFuncNever, 0},
    {K::DepthFunc, "LESS", ECFN_LESS, 0},
    {K::DepthFunc, "LEQUAL", ECFN_LESSEQUAL, 0},
    {K::DepthFunc, "EQUAL", ECFN_EQUAL, 0},
    {K::DepthFunc, "GREATER", ECFN_GREATER, 0},
    {K::DepthFunc, "NOTEQUAL", ECFN_NOTEQUAL, 0},
    {K::DepthFunc, "GEQUAL", ECFN_GREATEREQUAL, 0},
    {K::DepthFunc, "ALWAYS", ECFN_ALWAYS, 0},

    {K::BlendFactor, "ZERO", EBF_ZERO, 0},
    {K::BlendFactor, "ONE", EBF_ONE, 0},
    {K::BlendFactor, "DEST_COLOR", EBF_DST_COLOR, 0},
    {K::BlendFactor, "ONE_MINUS_DEST_COLOR", EBF_ONE_MINUS_DST_COLOR, 0},
    {K::BlendFactor, "SRC_COLOR", EBF_SRC_COLOR, 0},
    {K::BlendFactor, "ONE_MINUS_SRC_COLOR", EBF_ONE_MINUS_SRC_COLOR, 0},
    {K::BlendFactor, "SRC_ALPHA", EBF_SRC_ALPHA, 0},
    {K::BlendFactor, "ONE_MINUS_SRC_ALPHA", EBF_ONE_MINUS_SRC_ALPHA, 0},
    {K::BlendFactor, "DEST_ALPHA", EBF_DST_ALPHA, 0},
    {K::BlendFactor, "ONE_MINUS_DEST_ALPHA", EBF_ONE_MINUS_DST_ALPHA, 0},
    {K::BlendFactor, "SRC_ALPHA_SATURATE", EBF_SRC_ALPHA_SATURATE, 0},

    {K::BaseMaterial, "solid", EMT_SOLID, 0},
    {K::BaseMaterial, "transparent_add_color", EMT_TRANSPARENT_ADD_COLOR, 0},
    {K::BaseMaterial, "transparent_vertex_alpha", EMT_TRANSPARENT_VERTEX_ALPHA, 0},
    {K::BaseMaterial, "transparent", EMT_TRANSPARENT_ALPHA_CHANNEL, 0},
    {K::BaseMaterial, "transparent_alpha_channel", EMT_TRANSPARENT_ALPHA_CHANNEL, 0},
    {K::BaseMaterial, "transparent_alpha_channel_ref", EMT_TRANSPARENT_ALPHA_CHANNEL_REF, 0},
    {K::BaseMaterial, "transparent_one_one", EMT_ONETEXTURE_BLEND, blendBits(EBF_ONE, EBF_ONE, EAS_NONE)},
    {K::BaseMaterial, "transparent_sub_color", EMT_ONETEXTURE_BLEND,
     blendBits(EBF_ZERO, EBF_ONE_MINUS_SRC_COLOR, EAS_NONE)},

    {K::Wrap, "WRAP", ETC_REPEAT, 0},
    {K::Wrap, "REPEAT", ETC_REPEAT, 0},
    {K::Wrap, "CLAMP", ETC_CLAMP, 0},
    {K::Wrap, "CLAMP_TO_EDGE", ETC_CLAMP_TO_EDGE, 0},
    {K::Wrap, "CLAMP_TO_BORDER", ETC_CLAMP_TO_BORDER, 0},
    {K::Wrap, "BORDER", ETC_CLAMP_TO_BORDER, 0},
    {K::Wrap, "MIRROR", ETC_MIRROR, 0},
    {K::Wrap, "MIRROR_CLAMP", ETC_MIRROR_CLAMP, 0},
    {K::Wrap, "MIRRORED_REPEAT", ETC_MIRROR_CLAMP, 0},
    {K::Wrap, "MIRROR_CLAMP_TO_EDGE", ETC_MIRROR_CLAMP_TO_EDGE, 0},
    {K::Wrap, "MIRROR_CLAMP_TO_BORDER", ETC_MIRROR_CLAMP_TO_BORDER, 0},
    {K::Wrap, "MIRROR_ONCE", ETC_MIRROR_CLAMP_TO_BORDER, 0},

    {K::CullFace, "BACK", ECF_BACK, 0},
    {K::CullFace, "FRONT", ECF_FRONT, 0},
    {K::CullFace, "FRONT_AND_BACK", ECF_BACK | ECF_FRONT, 0},
};

bool ignoresCase(EStateWordKind kind) {
  return kind == K::BlendFactor || kind == K::BaseMaterial;
}

}  // namespace

const SStateWord* findStateWord(EStateWordKind kind, const char* word) {
  if (!word) return nullptr;
  for (const SStateWord& entry : kStateWords) {
    if (entry.Kind != kind) continue;
    bool same = ignoresCase(kind) ? strcasecmp(entry.Word, word) == 0 : std::strcmp(entry.Word, word) == 0;
    if (same) return &entry;
  }
  return nullptr;
}

}  // namespace gv
