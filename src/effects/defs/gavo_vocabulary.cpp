#include "effects/defs/gavo_vocabulary.h"

#include "effects/defs/effect_def.h"

namespace gv::gavo {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

struct SWordValue {
  const char* Word;
  irr::u32 Value;
};

template <std::size_t N>
irr::u32 valueOf(const SWordValue (&table)[N], std::string_view word) {
  for (const SWordValue& entry : table)
    if (equalsIgnoringCase(entry.Word, word)) return entry.Value;
  return 0;
}

const SWordValue kParameterTypes[] = {
    {"int", EPT_INT},       {"integer", EPT_INT},   {"bool", EPT_BOOL},     {"float", EPT_FLOAT},
    {"floatN", EPT_FLOAT},  {"floatNRef", EPT_FLOAT}, {"float2", EPT_FLOAT2}, {"float3", EPT_FLOAT3},
    {"float4", EPT_FLOAT4}, {"float4x4", EPT_FLOAT4X4},
};

// Each name with the semantic it records; null: the name itself.
const struct SSemanticName {
  const char* Name;
  const char* Recorded;
} kSemantics[] = {
    {"Time0_X", "TimeScene"}, {"Time_0_X", "TimeScene"}, {"Time", nullptr}, {"TimeScene", nullptr},
    {"Fps", nullptr}, {"Projection", "ProjectionTranspose"}, {"ProjectionTranspose", "Projection"},
    {"ViewProjection", "ViewProjectionTranspose"}, {"ViewProjectionTranspose", "ViewProjection"},
    {"View", "ViewTranspose"}, {"ViewInverse", "ViewInverseTranspose"},
    {"ViewInverseTranspose", "ViewInverse"}, {"ViewTranspose", "View"},
    {"PrevProjection", "PrevProjectionTranspose"}, {"PrevProjectionTranspose", "PrevProjection"},
    {"PrevViewProjection", "PrevViewProjectionTranspose"},
    {"PrevViewProjectionTranspose", "PrevViewProjection"}, {"PrevView", "PrevViewTranspose"},
    {"PrevViewInverse", "PrevViewInverseTranspose"},
    {"PrevViewInverseTranspose", "PrevViewInverse"}, {"PrevViewTranspose", "PrevView"},
    {"ViewInversePrevViewProjection", "ViewInversePrevViewProjectionTranspose"},
    {"ViewInversePrevViewProjectionTranspose", "ViewInversePrevViewProjection"},
    {"ViewPosition", nullptr}, {"WorldViewProjection", "WorldViewProjectionTranspose"},
    {"WorldViewProjectionTranspose", "WorldViewProjection"}, {"WorldView", "WorldViewTranspose"},
    {"WorldViewTranspose", "WorldView"}, {"WorldViewInverse", "WorldViewInverseTranspose"},
    {"WorldViewInverseTranspose", "WorldViewInverse"}, {"WorldInverse", "WorldInverseTranspose"},
    {"WorldInverseTranspose", "WorldInverse"}, {"World", "WorldTranspose"},
    {"WorldTranspose", "World"}, {"WorldTranslation", nullptr}, {"WorldRotation", nullptr},
    {"WorldScale", nullptr}, {"FrustrumFarCorners", nullptr}, {"FrustrumFarCornersWorld", nullptr},
    {"ZFarValue", nullptr}, {"ZNearValue", nullptr}, {"TargetSize", nullptr},
    {"ScreenSize", nullptr}, {"PixelSize", nullptr}, {"HalfPixelSize", nullptr},
    {"HalfScreenHalfPixelSize", nullptr}, {"QuarterScreenHalfPixelSize", nullptr}, {"Fov", nullptr},
    {"FocalLength", nullptr}, {"FocalDistance", nullptr}, {"FStop", nullptr},
    {"FocalRange", nullptr}, {"DofMaxCoc", nullptr}, {"DofFocalRangeMin", nullptr},
    {"DofFocalRangeFocused", nullptr}, {"DofFocalRangeMax", nullptr}, {"DofRadiusScale", nullptr},
    {"GlowIntensity", nullptr}, {"BloomThreshold", nullptr}, {"BloomIntensity", nullptr},
    {"GlowSurfaceIntensity", nullptr}, {"SrrNbPixStepMult", nullptr},
    {"SrrMaxDepthTestMult", nullptr}, {"SrrFuzziness", nullptr}, {"ObjectPos0", nullptr},
    {"ObjectPos1", nullptr}, {"ObjectPos2", nullptr}, {"ObjectPos3", nullptr},
    {"ObjectPos4", nullptr}, {"ObjectPos5", nullptr}, {"ObjectPos6", nullptr},
    {"ObjectPos7", nullptr}, {"ObjectRot0", nullptr}, {"ObjectRot1", nullptr},
    {"ObjectRot2", nullptr}, {"ObjectRot3", nullptr}, {"ObjectRot4", nullptr},
    {"ObjectRot5", nullptr}, {"ObjectRot6", nullptr}, {"ObjectRot7", nullptr},
    {"ObjectScale0", nullptr}, {"ObjectScale1", nullptr}, {"ObjectScale2", nullptr},
    {"ObjectScale3", nullptr}, {"ObjectScale4", nullptr}, {"ObjectScale5", nullptr},
    {"ObjectScale6", nullptr}, {"ObjectScale7", nullptr}, {"ObjectTrans0", nullptr},
    {"ObjectTrans1", nullptr}, {"ObjectTrans2", nullptr}, {"ObjectTrans3", nullptr},
    {"ObjectTrans4", nullptr}, {"ObjectTrans5", nullptr}, {"ObjectTrans6", nullptr},
    {"ObjectTrans7", nullptr}, {"ObjectInvTrans0", nullptr}, {"ObjectInvTrans1", nullptr},
    {"ObjectInvTrans2", nullptr}, {"ObjectInvTrans3", nullptr}, {"ObjectInvTrans4", nullptr},
    {"ObjectInvTrans5", nullptr}, {"ObjectInvTrans6", nullptr}, {"ObjectInvTrans7", nullptr},
    {"LightPos0", nullptr}, {"LightPos1", nullptr}, {"LightPos2", nullptr}, {"LightPos3", nullptr},
    {"LightPos4", nullptr}, {"LightDir0", nullptr}, {"LightDir1", nullptr}, {"LightDir2", nullptr},
    {"LightDir3", nullptr}, {"LightDir4", nullptr}, {"LightViewConvert0", nullptr},
    {"LightViewConvert1", nullptr}, {"LightViewConvert2", nullptr}, {"LightViewConvert3", nullptr},
    {"LightDiffuse0", nullptr}, {"LightDiffuse1", nullptr}, {"LightAmbient0", "LightAmbient"},
    {"LightAmbient1", "LightAmbient"}, {"Light[0].Params", nullptr}, {"Light[1].Params", nullptr},
    {"Light[2].Params", nullptr}, {"Light[3].Params", nullptr}, {"Light[4].Params", nullptr},
    {"Light[0].ViewConvert", nullptr}, {"Light[1].ViewConvert", nullptr},
    {"Light[2].ViewConvert", nullptr}, {"Light[3].ViewConvert", nullptr},
    {"Light[4].ViewConvert", nullptr}, {"LightsIni", nullptr}, {"LightsNum", nullptr},
    {"LightParams", nullptr}, {"LineStartsEnds", nullptr}, {"LineEnds", nullptr},
    {"DownScale4x4Samples", nullptr}, {"DownScale2x2Samples", nullptr},
    {"HalfDownScale2x2Samples", nullptr}, {"ParticleColor", "LWHV_Color"},
    {"ParticleSize", "LWHV_Size"}, {"ParticleRotation", "LWHV_Rotation"},
    {"ParticleGradColorNum", "LWHV_ColorNumKeys"},
    {"ParticleGradColorKeyParams", "LWHV_ColorKeyParams"},
    {"ParticleGradColorKeyValues", "LWHV_ColorKeyValues"},
    {"ParticleGradSizeNum", "LWHV_SizeNumKeys"},
    {"ParticleGradSizeKeyParams", "LWHV_SizeKeyParams"},
    {"ParticleGradSizeKeyValues", "LWHV_SizeKeyValues"}, {"ParticleTimeNow", "Time"},
    {"Surface_Roughness", "LW_Roughness"}, {"Surface_ReflectionMaxMip", "LW_ReflectionMaxMip"},
    {"CubeMapPosition", nullptr}, {"CubeMapAABBPosition", nullptr}, {"CubeMapAABBScale", nullptr},
    {"Texture[0].Size", nullptr}, {"Texture[1].Size", nullptr}, {"Texture[2].Size", nullptr},
    {"Texture[3].Size", nullptr}, {"Texture[4].Size", nullptr}, {"Texture[5].Size", nullptr},
    {"Texture[6].Size", nullptr}, {"Texture[7].Size", nullptr}, {"Texture[0].NumMips", nullptr},
    {"Texture[1].NumMips", nullptr}, {"Texture[2].NumMips", nullptr},
    {"Texture[3].NumMips", nullptr}, {"Texture[4].NumMips", nullptr},
    {"Texture[5].NumMips", nullptr}, {"Texture[6].NumMips", nullptr},
    {"Texture[7].NumMips", nullptr},
};

const char* const kSurfaceChannels[] = {
    "BaseColor", "Luminosity", "Diffuse", "Specularity", "Reflectivity", "Transparency", "Translucency",
    "IOR", "Bump", "Glossiness", "SpecialBuffer1", "SpecialBuffer2", "SpecialBuffer3", "SpecialBuffer4",
    "DiffuseSharpness", "BumpDropoff", "SmoothingAngle", "ReflectionSeamAngle", "RefractionSeamAngle",
    "ReflectionBlurring", "RefractionBlurring", "ColorFilter", "ColorHighlights", "AdditiveTransparency",
    "AlphaValue", "GlowValue", "LineColor", "LineSize", "AlphaOptions", "ReflectionOptions",
    "RefractionOptions", "Sidedness", "ExcludeFromVStack", "Glow", "RenderOutlines", "ReflectionImage",
    "RefractionImage", "VertexColoring", "VertexNormal",
};

const char* const kTextureChannels[] = {
    "BaseColor", "Luminosity", "Diffuse", "Specularity", "Reflectivity", "Transparency", "Translucency",
    "RefractionIndex", "Bump", "Glossiness", "ReflectionImage", "RefractionImage",
};

const SWordValue kTextureFlags[] = {
    {"cube", ETF_CUBE},
    {"3d", ETF_3D},
    {"preset", ETF_PRESET},
    {"repeat", ETF_REPEAT},
    {"clamp", ETF_CLAMP},
    {"clamp_to_edge", ETF_CLAMP_TO_EDGE},
    {"clamp_v", ETF_CLAMP_V},
    {"clamp_to_edge_v", ETF_CLAMP_TO_EDGE_V},
    {"noMipMap", ETF_NO_MIP_MAP},
    {"filterPoint", ETF_FILTER_POINT},
    {"trilinear", ETF_TRILINEAR},
    {"r32f", ETF_R32F},
    {"srgb", ETF_SRGB},
    {"linear", ETF_LINEAR},
    {"image", ETF_IMAGE},
    {"imageref", ETF_IMAGEREF},
    {"vertex", ETF_VERTEX},
    {"divider", ETF_DIVIDER},
    {"divafter", ETF_DIVAFTER},
};

const SWordValue kParameterFlags[] = {
    {"pixel", EPF_PIXEL},     {"vertex", EPF_VERTEX},   {"both", EPF_BOTH},         {"color", EPF_COLOR},
    {"percent", EPF_PERCENT}, {"divider", EPF_DIVIDER}, {"divafter", EPF_DIVAFTER},
};

template <std::size_t N>
const char* spelledAs(const char* const (&names)[N], std::string_view word) {
  for (const char* name : names)
    if (equalsIgnoringCase(name, word)) return name;
  return nullptr;
}

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

irr::s32 parameterTypeFromWord(std::string_view word) {
  return static_cast<irr::s32>(valueOf(kParameterTypes, word));
}

const char* semanticFromWord(std::string_view word) {
  for (const SSemanticName& entry : kSemantics)
    if (equalsIgnoringCase(entry.Name, word)) return entry.Recorded ? entry.Recorded : entry.Name;
  return nullptr;
}

const char* surfaceChannelFromWord(std::string_view word) { return spelledAs(kSurfaceChannels, word); }

const char* textureChannelFromWord(std::string_view word) {
  if (equalsIgnoringCase(word, "Color")) return "BaseColor";
  return spelledAs(kTextureChannels, word);
}

irr::u32 textureFlagFromWord(std::string_view word) { return valueOf(kTextureFlags, word); }

irr::u32 parameterFlagFromWord(std::string_view word) { return valueOf(kParameterFlags, word); }

}  // namespace gv::gavo
