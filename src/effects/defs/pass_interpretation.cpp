#include "effects/defs/pass_interpretation.h"

#include "app/log/log.h"
#include "effects/defs/render_states.h"
#include "resources/files/files.h"

#include <irrMath.h>

#include <strings.h>

#include <cstring>

namespace gv {

using namespace irr::video;

namespace {

const char* const kNoPassDescription = "Failed to get pass description";
const char* const kNoShaderDescription = "Failed to get Shader Desc";

stringc withoutFileScheme(const char* source) {
  const char* scheme = std::strstr(source, "file://");
  return scheme ? stringc(scheme + 7) : stringc(source);
}

bool readVertexProgram(const SShaderInfo& shader, SPassPrograms& programs, stringc& error) {
  static const E_VERTEX_SHADER_TYPE kTargets[] = {EVST_VS_1_1, EVST_VS_2_0, EVST_VS_3_0};
  programs.VertexFile = withoutFileScheme(shader.Source);
  if (programs.VertexFile.empty()) {
    error = stringc("Inconsistent Vertex Shader Filename ") + shader.Source;
    return false;
  }
  programs.VertexEntry = shader.Entry;
  if (shader.Target < EST_VS_1_1 || shader.Target > EST_VS_3_0) {
    error = "Unsupported Vertex Compiler target";
    return false;
  }
  programs.VertexTarget = kTargets[shader.Target - EST_VS_1_1];
  return true;
}

bool readPixelProgram(const SShaderInfo& shader, SPassPrograms& programs, stringc& error) {
  static const E_PIXEL_SHADER_TYPE kTargets[] = {EPST_PS_1_1, EPST_PS_2_0, EPST_PS_3_0};
  programs.PixelFile = withoutFileScheme(shader.Source);
  if (programs.PixelFile.empty()) {
    error = stringc("Inconsistent Pixel Shader Filename ") + shader.Source;
    return false;
  }
  programs.PixelEntry = shader.Entry;
  if (shader.Target < EST_PS_1_1 || shader.Target > EST_PS_3_0) {
    error = "Unsupported Pixel Compiler target";
    return false;
  }
  programs.PixelTarget = kTargets[shader.Target - EST_PS_1_1];
  return true;
}

// A blend factor state: its default when missing, ONE for a word the table lacks.
E_BLEND_FACTOR blendFactor(const IGvEffectDef& def, const SPass* pass, const char* name,
                           E_BLEND_FACTOR fallback) {
  const SState* state = def.findState(pass, name);
  if (!state) return fallback;
  const SStateWord* word = findStateWord(EStateWordKind::BlendFactor, state->Value.c_str());
  return word ? static_cast<E_BLEND_FACTOR>(word->Value) : EBF_ONE;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

const char* skipBlanks(const char* p) {
  while (isBlank(*p)) ++p;
  return p;
}


}  // namespace

bool readPassPrograms(const IGvEffectDef& def, const SPass* pass, SPassPrograms& programs, stringc& error) {
  programs = SPassPrograms();
  SPassInfo info;
  if (!def.getPassInfo(pass, info)) {
    error = kNoPassDescription;
    return false;
  }
  for (u32 i = 0; i < info.ShaderCount; ++i) {
    SShaderInfo shader;
    if (!def.getShaderInfo(def.getShader(pass, i), shader)) {
      error = kNoShaderDescription;
      return false;
    }
    if (shader.Stage == ESS_VERTEX && !readVertexProgram(shader, programs, error)) return false;
    if (shader.Stage == ESS_PIXEL && !readPixelProgram(shader, programs, error)) return false;
  }
  return true;
}

bool readPassMaterial(const IGvEffectDef& def, const SPass* pass, s32& materialType, f32& materialParam,
                      stringc& error) {
  materialType = -1;
  materialParam = 0.f;
  if (!pass) {
    error = kNoPassDescription;
    return false;
  }
  const SState* blend = def.findState(pass, "blend_enable");
  if (blend && strcasecmp(blend->Value.c_str(), "true") == 0) {
    // "blend_equation" has no Irrlicht material equivalent: the engine blends by adding.
    E_BLEND_FACTOR src = blendFactor(def, pass, "blend_func src", EBF_ONE);
    E_BLEND_FACTOR dest = blendFactor(def, pass, "blend_func dest", EBF_ZERO);
    materialType = EMT_ONETEXTURE_BLEND;
    materialParam = pack_textureBlendFunc(src, dest, EMFN_MODULATE_1X, EAS_TEXTURE);
    return true;
  }
  const char* base = nullptr;
  if (!def.getValueText(def.findAnnotation(pass, "baseMaterial"), &base)) return true;
  const SStateWord* word = findStateWord(EStateWordKind::BaseMaterial, base);
  if (!word) {
    error = stringc("Invalid base material annotation ") + base;
    return false;
  }
  materialType = word->Value;
  materialParam = irr::core::FR(word->Param);
  return true;
}

bool parseShaderMacros(const IGvEffectDef& def, const SShader* shader, Array<SShaderMacro>& macros,
                       stringc& error) {
  SShaderInfo info;
  if (!def.getShaderInfo(shader, info)) {
    error = kNoShaderDescription;
    return false;
  }
  for (u32 i = 0; i < info.MacroCount; ++i) {
    const char* line = nullptr;
    if (!def.getShaderMacro(shader, i, &line)) {
      error = "Failed to get source inline";
      return false;
    }
    const char* define = std::strstr(line, "#define");
    if (!define) {
      error = "Invalid source inline : no #define";
      return false;
    }
    const char* name = skipBlanks(define + 7);
    if (*name == '\0') {
      error = "Invalid source inline : malformed after #define";
      return false;
    }
    const char* nameEnd = name;
    while (*nameEnd && !isBlank(*nameEnd)) ++nameEnd;
    SShaderMacro macro;
    macro.Name = stringc(name, static_cast<u32>(nameEnd - name));
    macro.Definition = skipBlanks(nameEnd);
    macros.push_back(macro);
  }
  return true;
}

void mergeMacros(Array<SShaderMacro>& target, const Array<SShaderMacro>& source) {
  for (u32 i = 0; i < source.size(); ++i) {
    const SShaderMacro& macro = source[i];
    const SShaderMacro* existing = nullptr;
    for (u32 j = 0; j < target.size() && !existing; ++j)
      if (target[j].Name == macro.Name) existing = &target[j];
    if (!existing) {
      target.push_back(macro);
    } else if (existing->Definition != macro.Definition) {
      gvLog(GVLOG_WARN, "Warning: when merging macros, duplicate %s with different definitions '%s' and '%s' ",
            macro.Name.c_str(), existing->Definition.c_str(), macro.Definition.c_str());
    }
  }
}

bool collectPassMacros(const IGvEffectDef& def, const SPass* pass, Array<SShaderMacro>& macros,
                       stringc& error) {
  SPassInfo info;
  if (!def.getPassInfo(pass, info)) {
    error = kNoPassDescription;
    return false;
  }
  for (u32 i = 0; i < info.ShaderCount; ++i) {
    Array<SShaderMacro> shaderMacros;
    if (!parseShaderMacros(def, def.getShader(pass, i), shaderMacros, error)) return false;
    mergeMacros(macros, shaderMacros);
  }
  return true;
}

CGvMacroList::CGvMacroList(const Array<SShaderMacro>& macros) : macros_(macros) { build(); }

CGvMacroList& CGvMacroList::operator=(const CGvMacroList& other) {
  if (this != &other) {
    macros_ = other.macros_;
    build();
  }
  return *this;
}

void CGvMacroList::build() {
  // The entries point into macros_, which is not changed after this.
  entries_.clear();
  for (u32 i = 0; i < macros_.size(); ++i) {
    const SShaderMacro& macro = macros_[i];
    if (macro.Name.empty()) continue;
    entries_.push_back({macro.Name.c_str(), macro.Definition.empty() ? nullptr : macro.Definition.c_str()});
  }
  if (!entries_.empty()) entries_.push_back({nullptr, nullptr});
}

stringc resolveShaderPath(const IGvEffectDef& def, const Array<stringc>& searchDirectories, const stringc& name) {
  stringc fileName = def.getFileName();
  s32 slash = fileName.findLast('/');
  stringc beside = slash < 0 ? name : fileName.subString(0, slash + 1) + name;
  if (fileExists(beside.c_str())) return beside;
  for (u32 i = 0; i < searchDirectories.size(); ++i) {
    stringc candidate = searchDirectories[i] + "/" + name;
    if (fileExists(candidate.c_str())) return candidate;
  }
  return name;
}

bool planPassMaterial(const IGvEffectDef& def, const SPass* pass, const Array<stringc>& searchDirectories,
                      s32 defaultBaseMaterial, const CGvMacro* callerMacros, SPassMaterialPlan& plan,
                      stringc& error) {
  s32 materialType = -1;
  if (!readPassPrograms(def, pass, plan.Programs, error) ||
      !readPassMaterial(def, pass, materialType, plan.MaterialParam, error))
    return false;
  plan.BaseMaterial = materialType != -1 ? materialType
                      : defaultBaseMaterial != -1 ? defaultBaseMaterial
                                                  : static_cast<s32>(EMT_SOLID);
  Array<SShaderMacro> macros;
  for (const CGvMacro* m = callerMacros; m && m->Name; ++m)
    macros.push_back({m->Name, m->Definition ? m->Definition : ""});
  Array<SShaderMacro> passMacros;
  if (!collectPassMacros(def, pass, passMacros, error)) return false;
  mergeMacros(macros, passMacros);
  plan.Macros = CGvMacroList(macros);
  plan.Programs.VertexFile = resolveShaderPath(def, searchDirectories, plan.Programs.VertexFile);
  plan.Programs.PixelFile = resolveShaderPath(def, searchDirectories, plan.Programs.PixelFile);
  return true;
}

namespace {

// Irrlicht 1.8 spells "depth test off" as ECFN_NEVER.
constexpr irr::u8 kDepthTestOff = ECFN_NEVER;

// The states as a pass sets them, resolved once all are read: Direct3D keeps the depth test
// switch apart from the depth function, so their order in the file does not matter.
struct SPassStateReading {
  bool DepthTestOff = false;
  const SStateWord* DepthFunc = nullptr;
  bool DepthMaskSet = false;
  bool DepthMask = true;
  bool CullSet = false;
  bool CullEnabled = true;
  s32 CullFaces = ECF_BACK;

  void read(const SStateInfo& state, SPassStates& result) {
    const char* name = state.Name;
    if (std::strcmp(name, "depth_func") == 0) {
      result.Flags |= EPSF_DEPTH_FUNC;
      if (const SStateWord* word = findStateWord(EStateWordKind::DepthFunc, state.Value)) DepthFunc = word;
    } else if (std::strcmp(name, "depth_mask") == 0) {
      result.Flags |= EPSF_DEPTH_MASK;
      DepthMaskSet = true;
      DepthMask = isTrue(state.Value);
    } else if (std::strcmp(name, "depth_test_enable") == 0) {
      result.Flags |= EPSF_DEPTH_TEST_ENABLE;
      if (!isTrue(state.Value)) DepthTestOff = true;
    } else if (std::strcmp(name, "point_size_enable") == 0) {
      result.Flags |= EPSF_POINT_SIZE_ENABLE;
      result.PointSprites = isTrue(state.Value);
    } else if (std::strcmp(name, "cull_face_enable") == 0) {
      result.Flags |= EPSF_CULL;
      CullSet = true;
      CullEnabled = isTrue(state.Value);
    } else if (std::strcmp(name, "cull_face") == 0) {
      result.Flags |= EPSF_CULL;
      CullSet = true;
      if (const SStateWord* word = findStateWord(EStateWordKind::CullFace, state.Value)) CullFaces = word->Value;
    }
  }

  void apply(SMaterial& material) const {
    if (DepthMaskSet) material.ZWriteEnable = DepthMask;
    if (DepthTestOff) {
      material.ZBuffer = kDepthTestOff;
      material.ZWriteEnable = false;
    } else if (DepthFunc && DepthFunc->Value == kDepthFuncNever) {
      // Nothing passes the test, so nothing is written.
      material.ColorMask = ECP_NONE;
      material.ZWriteEnable = false;
    } else if (DepthFunc) {
      material.ZBuffer = static_cast<irr::u8>(DepthFunc->Value);
    }
    if (CullSet) {
      material.BackfaceCulling = CullEnabled && (CullFaces & ECF_BACK);
      material.FrontfaceCulling = CullEnabled && (CullFaces & ECF_FRONT);
    }
  }

  static bool isTrue(const char* value) { return std::strcmp(value, "true") == 0; }
};

}  // namespace

bool applyPassStates(const IGvEffectDef& def, const SPass* pass, SMaterial& material, SPassStates& states,
                     stringc& error) {
  states = SPassStates();
  SPassInfo info;
  if (!def.getPassInfo(pass, info)) {
    error = kNoPassDescription;
    return false;
  }
  SPassStateReading reading;
  for (u32 i = 0; i < info.StateCount; ++i) {
    SStateInfo state;
    if (!def.getStateInfo(def.getState(pass, i), state)) {
      error = "Failed to get state description";
      return false;
    }
    reading.read(state, states);
  }
  reading.apply(material);
  return true;
}

E_TEXTURE_CLAMP wrapModeFromWord(const char* word) {
  const SStateWord* entry = findStateWord(EStateWordKind::Wrap, word);
  return entry ? static_cast<E_TEXTURE_CLAMP>(entry->Value) : ETC_REPEAT;
}

SFilterSettings filtersFromWords(const char* minFilter, const char* magFilter, const char* mipFilter) {
  SFilterSettings settings;
  auto is = [](const char* word, const char* expected) { return word && std::strcmp(word, expected) == 0; };
  if (is(minFilter, "NEAREST")) settings.Bilinear = false;
  if (is(minFilter, "LINEAR")) settings.Bilinear = true;
  if (is(minFilter, "ANISOTROPIC")) settings.Anisotropy = 8;
  if (is(magFilter, "NEAREST")) settings.Bilinear = false;
  if (is(magFilter, "LINEAR")) settings.Bilinear = true;
  if (is(mipFilter, "LINEAR")) settings.Trilinear = true;
  return settings;
}

}  // namespace gv
