#include "effects/defs/effect_def.h"

#include "effects/defs/numbers.h"

#include <cstring>

namespace gv {

const char* parameterTypeName(s32 type) {
  static const char* const kNames[] = {"",         "bool",      "float",     "float2",
                                       "float3",   "float4",    "float4x4",  "int",
                                       "sampler1D", "sampler2D", "sampler3D", "samplerRect",
                                       "samplerCube", "samplerDepth", "usertype", "string"};
  return type >= 0 && type <= EPT_STRING ? kNames[type] : "";
}

const char* shaderTargetName(s32 target) {
  static const char* const kNames[] = {"", "vs_1_1", "vs_2_0", "vs_3_0", "ps_1_1", "ps_2_0", "ps_3_0"};
  return target >= 0 && target <= EST_PS_3_0 ? kNames[target] : "";
}

namespace {

template <class T>
const T* at(const Array<T>& list, u32 index) {
  return index < list.size() ? &list[index] : nullptr;
}

template <class T, class Pred>
s32 indexOf(const Array<T>& list, Pred matches) {
  for (u32 i = 0; i < list.size(); ++i)
    if (matches(list[i])) return static_cast<s32>(i);
  return -1;
}

template <class T, class Pred>
const T* firstOf(const Array<T>& list, Pred matches) {
  s32 index = indexOf(list, matches);
  return index < 0 ? nullptr : &list[index];
}

bool equals(const stringc& text, const char* other) { return other && text == other; }

}  // namespace

bool CGvEffectDef::getInfo(SEffectInfo& info) const {
  info = {Id.c_str(),        Name.c_str(),       Title.c_str(),       Subject.c_str(),
          Comments.c_str(),  Parameters.size(),  Techniques.size(),   Annotations.size()};
  return true;
}

s32 CGvEffectDef::findTechnique(const char* name) const {
  return indexOf(Techniques, [&](const STechnique& t) { return equals(t.Name, name); });
}

const STechnique* CGvEffectDef::getTechnique(u32 index) const { return at(Techniques, index); }

bool CGvEffectDef::getTechniqueInfo(const STechnique* technique, STechniqueInfo& info) const {
  if (!technique) return false;
  info = {technique->Name.c_str(), technique->Passes.size(), technique->Annotations.size()};
  return true;
}

const SPass* CGvEffectDef::getPass(const STechnique* technique, u32 index) const {
  return technique ? at(technique->Passes, index) : nullptr;
}

bool CGvEffectDef::getPassInfo(const SPass* pass, SPassInfo& info) const {
  if (!pass) return false;
  info = {pass->Name.c_str(), pass->Shaders.size(), pass->States.size(), pass->Evaluates.size(),
          pass->Annotations.size()};
  return true;
}

const SState* CGvEffectDef::getState(const SPass* pass, u32 index) const {
  return pass ? at(pass->States, index) : nullptr;
}

const SState* CGvEffectDef::findState(const SPass* pass, const char* name) const {
  if (!pass) return nullptr;
  return firstOf(pass->States, [&](const SState& s) { return equals(s.Name, name); });
}

const SEvaluate* CGvEffectDef::getEvaluate(const SPass* pass, u32 index) const {
  return pass ? at(pass->Evaluates, index) : nullptr;
}

const SParameter* CGvEffectDef::getParameter(const SRecord* owner, u32 index) const {
  return owner ? nullptr : at(Parameters, index);
}

const SParameter* CGvEffectDef::findParameterBySemantic(const SRecord*, const char* semantic) const {
  return firstOf(Parameters, [&](const SParameter& p) { return equals(p.Semantic, semantic); });
}

const SParameter* CGvEffectDef::findParameterByName(const SRecord*, const char* name) const {
  return firstOf(Parameters, [&](const SParameter& p) { return equals(p.Name, name); });
}

s32 CGvEffectDef::getParameterIndex(const SParameter* parameter) const {
  return indexOf(Parameters, [&](const SParameter& p) { return &p == parameter; });
}

void CGvEffectDef::getParametersBySemantic(const SRecord*, const char* semantic,
                                           Array<const SParameter*>& out) const {
  out.set_used(0);
  for (u32 i = 0; i < Parameters.size(); ++i)
    if (equals(Parameters[i].Semantic, semantic)) out.push_back(&Parameters[i]);
}

s32 CGvEffectDef::findSamplerIndex(const SRecord*, const char* semantic) const {
  return indexOf(Parameters, [&](const SParameter& p) {
    return isSamplerType(p.Type) && equals(p.Semantic, semantic);
  });
}

const SShader* CGvEffectDef::getShader(const SPass* pass, u32 index) const {
  return pass ? at(pass->Shaders, index) : nullptr;
}

bool CGvEffectDef::getShaderInfo(const SShader* shader, SShaderInfo& info) const {
  if (!shader) return false;
  info = {shader->Stage,         shader->Entry.c_str(), shader->Source.c_str(),
          shader->Macros.size(), shader->Target,        shader->Parameters.size()};
  return true;
}

bool CGvEffectDef::getShaderMacro(const SShader* shader, u32 index, const char** line) const {
  const stringc* macro = shader ? at(shader->Macros, index) : nullptr;
  *line = macro ? macro->c_str() : nullptr;
  return macro != nullptr;
}

const SParameter* CGvEffectDef::getShaderParameter(const SShader* shader, u32 index) const {
  return shader ? at(shader->Parameters, index) : nullptr;
}

const SParameter* CGvEffectDef::resolveParameterReference(const SParameter* reference) const {
  return reference ? findParameterByName(nullptr, reference->Value.c_str()) : nullptr;
}

bool CGvEffectDef::getParameterInfo(const SParameter* parameter, SParameterInfo& info) const {
  if (!parameter) return false;
  info = {parameter->Name.c_str(), parameter->Semantic.c_str(), parameter->Type,
          parameter->Annotations.size()};
  return true;
}

const Array<SParameter>* CGvEffectDef::annotationsOf(const SRecord* owner) const {
  if (!owner) return &Annotations;
  switch (owner->Tag) {
    case ERT_EFFECT: return &Annotations;
    case ERT_PARAMETER: return &static_cast<const SParameter*>(owner)->Annotations;
    case ERT_PASS: return &static_cast<const SPass*>(owner)->Annotations;
    case ERT_TECHNIQUE: return &static_cast<const STechnique*>(owner)->Annotations;
    default: return nullptr;
  }
}

const SParameter* CGvEffectDef::getAnnotation(const SRecord* owner, u32 index) const {
  const Array<SParameter>* list = annotationsOf(owner);
  return list ? at(*list, index) : nullptr;
}

const SParameter* CGvEffectDef::findAnnotation(const SRecord* owner, const char* name) const {
  const Array<SParameter>* list = annotationsOf(owner);
  if (!list) return nullptr;
  return firstOf(*list, [&](const SParameter& a) { return equals(a.Name, name); });
}

bool CGvEffectDef::getFloat(const SParameter* record, f32& value) const {
  if (!record) return false;
  readNumbers(record->Value.c_str(), &value, 1);
  return true;
}

bool CGvEffectDef::getFloats(const SParameter* record, f32* values, u32 count) const {
  if (!record) return false;
  return readNumbers(record->Value.c_str(), values, count) == count;
}

bool CGvEffectDef::getBool(const SParameter* record, bool& value) const {
  if (!record) return false;
  value = readDecimalInteger(record->Value.c_str()) != 0;
  return true;
}

bool CGvEffectDef::getInt(const SParameter* record, s32& value) const {
  if (!record) return false;
  value = readDecimalInteger(record->Value.c_str());
  return true;
}

bool CGvEffectDef::getInts(const SParameter* record, s32* values, u32 count) const {
  if (!record) return false;
  Array<f32> numbers;
  numbers.set_used(count);
  bool complete = readNumbers(record->Value.c_str(), numbers.pointer(), count) == count;
  for (u32 i = 0; i < count; ++i) values[i] = truncateToInt(numbers[i]);
  return complete;
}

bool CGvEffectDef::getMatrix(const SParameter* record, irr::core::matrix4& value) const {
  f32 elements[16];
  if (!getFloats(record, elements, 16)) return false;
  value.setM(elements);
  return true;
}

bool CGvEffectDef::getNameText(const SParameter* record, const char** text) const {
  if (!record) return false;
  *text = record->Name.c_str();
  return true;
}

bool CGvEffectDef::getValueText(const SParameter* record, const char** text) const {
  if (!record) return false;
  *text = record->Value.c_str();
  return true;
}

bool CGvEffectDef::getSamplerInfo(const SParameter* parameter, SSamplerInfo& info) const {
  if (!parameter) return false;
  const SSampler& s = parameter->Sampler;
  info = {s.Source.c_str(),    s.WrapS.c_str(),     s.WrapT.c_str(),    s.WrapP.c_str(),
          s.MinFilter.c_str(), s.MagFilter.c_str(), s.MipFilter.c_str()};
  return true;
}

bool CGvEffectDef::getStateInfo(const SState* state, SStateInfo& info) const {
  if (!state) return false;
  info = {state->Name.c_str(), state->Value.c_str(), state->Param.c_str(), state->Index};
  return true;
}

const SParameter* CGvEffectDef::findStateParameter(const SState* state) const {
  if (!state || state->Param.empty()) return nullptr;
  return findParameterByName(nullptr, state->Param.c_str());
}

bool CGvEffectDef::getEvaluateInfo(const SEvaluate* evaluate, SEvaluateInfo& info) const {
  if (!evaluate) return false;
  info = {evaluate->Kind.c_str(), evaluate->Index, evaluate->Value.c_str(), evaluate->Image.c_str()};
  return true;
}

const SParameter* CGvEffectDef::findEvaluateParameter(const SEvaluate* evaluate) const {
  if (!evaluate || evaluate->Value.empty()) return nullptr;
  return findParameterByName(nullptr, evaluate->Value.c_str());
}

bool CGvEffectDef::needsTangents() const {
  return indexOf(Techniques, [](const STechnique& t) {
           return indexOf(t.Annotations, [](const SParameter& a) {
                    return a.Name == "tangents" && a.Value == "true";
                  }) >= 0;
         }) >= 0;
}

}  // namespace gv
