#pragma once
// Effect definitions: the parsed, graphics-API-neutral description of one shader effect
// (parameters, techniques, passes, programs, render states), as the effect files describe it.
// Loaders fill a CGvEffectDef; every consumer reads it through IGvEffectDef. A definition is
// never changed after its loader returns it, so the pointers it hands out stay valid while
// it lives.
#include <IReferenceCounted.h>
#include <irrArray.h>
#include <irrString.h>
#include <matrix4.h>

namespace gv {

using irr::f32;
using irr::s32;
using irr::u32;
using irr::core::stringc;
template <class T>
using Array = irr::core::array<T>;

// Every record starts with its kind, so that any record can own an annotation list.
enum ERecordTag : s32 {
  ERT_PARAMETER = 1,
  ERT_SHADER = 2,
  ERT_STATE = 3,
  ERT_EVALUATE = 4,
  ERT_PASS = 5,
  ERT_TECHNIQUE = 6,
  ERT_EFFECT = 7,
};

struct SRecord {
  explicit SRecord(s32 tag) : Tag(tag) {}
  s32 Tag;
};

// Parameter type codes (the COLLADA type keywords in order); 8 to 13 are samplers.
enum EParameterType : s32 {
  EPT_UNKNOWN = 0,
  EPT_BOOL = 1,
  EPT_FLOAT = 2,
  EPT_FLOAT2 = 3,
  EPT_FLOAT3 = 4,
  EPT_FLOAT4 = 5,
  EPT_FLOAT4X4 = 6,
  EPT_INT = 7,
  EPT_SAMPLER1D = 8,
  EPT_SAMPLER2D = 9,
  EPT_SAMPLER3D = 10,
  EPT_SAMPLERRECT = 11,
  EPT_SAMPLERCUBE = 12,
  EPT_SAMPLERDEPTH = 13,
  EPT_USERTYPE = 14,
  EPT_STRING = 15,
};
inline bool isSamplerType(s32 type) { return type >= EPT_SAMPLER1D && type <= EPT_SAMPLERDEPTH; }
// The type's keyword ("float4", "sampler2D"), or "" for an unknown code.
const char* parameterTypeName(s32 type);

// Shader stages and compile targets as the definition records them.
enum EShaderStage : s32 { ESS_VERTEX = 2, ESS_PIXEL = 4 };
enum EShaderTarget : s32 {
  EST_NONE = 0,
  EST_VS_1_1 = 1,
  EST_VS_2_0 = 2,
  EST_VS_3_0 = 3,
  EST_PS_1_1 = 4,
  EST_PS_2_0 = 5,
  EST_PS_3_0 = 6,
};
// The profile name of a target code ("vs_3_0"), or "" for an unknown code.
const char* shaderTargetName(s32 target);

struct SSampler {
  stringc Source;  // image file or URL
  stringc WrapS, WrapT, WrapP;
  stringc MinFilter, MagFilter, MipFilter;
};

// A parameter, an annotation (Name and Value only) or a parameter reference (Name and Value
// both hold the name of the effect parameter a program uses).
struct SParameter : SRecord {
  SParameter() : SRecord(ERT_PARAMETER) {}
  SParameter(const stringc& name, const stringc& value) : SRecord(ERT_PARAMETER), Name(name), Value(value) {}
  stringc Name;
  stringc Value;     // default value: numbers separated by white space, or free text
  stringc Semantic;  // empty when none
  s32 Type = EPT_UNKNOWN;
  Array<SParameter> Annotations;
  SSampler Sampler;
};

struct SInclude {
  stringc Sid;
  stringc Url;
};

struct SShader : SRecord {
  SShader() : SRecord(ERT_SHADER) {}
  s32 Stage = 0;
  stringc Entry;
  stringc Source;         // shader file path, may start with "file://"
  Array<stringc> Macros;  // "#define NAME" or "#define NAME VALUE"
  s32 Target = EST_NONE;
  Array<SParameter> Parameters;  // references
};

struct SState : SRecord {
  SState() : SRecord(ERT_STATE) {}
  SState(const stringc& name, const stringc& value, const stringc& param, s32 index)
      : SRecord(ERT_STATE), Name(name), Value(value), Param(param), Index(index) {}
  stringc Name;   // state name, or a texture type word for texture-unit entries
  stringc Value;
  stringc Param;  // effect parameter the entry refers to, empty when none
  s32 Index = 0;  // texture unit of a texture-unit entry
};

struct SEvaluate : SRecord {
  SEvaluate() : SRecord(ERT_EVALUATE) {}
  stringc Kind;  // "color_target", "depth_target", "draw", ...
  s32 Index = 0;
  stringc Value;
  stringc Image;
};

struct SPass : SRecord {
  SPass() : SRecord(ERT_PASS) {}
  stringc Name;
  Array<SShader> Shaders;
  Array<SState> States;
  Array<SEvaluate> Evaluates;
  Array<SParameter> Annotations;
};

struct STechnique : SRecord {
  STechnique() : SRecord(ERT_TECHNIQUE) {}
  stringc Name;
  Array<SPass> Passes;
  Array<SParameter> Annotations;
};

// A compile macro as the definitions and the shader compiler exchange it.
struct SShaderMacro {
  stringc Name;
  stringc Definition;  // empty when none
  bool operator==(const SShaderMacro& other) const {
    return Name == other.Name && Definition == other.Definition;
  }
};
// The compiler's macro list layout: Definition null when the macro has no value; a list
// ends with an entry whose Name is null.
struct CGvMacro {
  const char* Name;
  const char* Definition;
};

// Out records of the info operations. Text pointers point into the definition.
struct SEffectInfo {
  const char* Id;
  const char* Name;
  const char* Title;
  const char* Subject;
  const char* Comments;
  u32 ParameterCount;
  u32 TechniqueCount;
  u32 AnnotationCount;
};
struct STechniqueInfo {
  const char* Name;
  u32 PassCount;
  u32 AnnotationCount;
};
struct SPassInfo {
  const char* Name;
  u32 ShaderCount;
  u32 StateCount;
  u32 EvaluateCount;
  u32 AnnotationCount;
};
struct SShaderInfo {
  s32 Stage;
  const char* Entry;
  const char* Source;
  u32 MacroCount;
  s32 Target;
  u32 ParameterCount;
};
struct SParameterInfo {
  const char* Name;
  const char* Semantic;
  s32 Type;
  u32 AnnotationCount;
};
struct SStateInfo {
  const char* Name;
  const char* Value;
  const char* Param;
  s32 Index;
};
struct SEvaluateInfo {
  const char* Kind;
  s32 Index;
  const char* Value;
  const char* Image;
};
struct SSamplerInfo {
  const char* Source;
  const char* WrapS;
  const char* WrapT;
  const char* WrapP;
  const char* MinFilter;
  const char* MagFilter;
  const char* MipFilter;
};

// The query interface every consumer reads a definition through. An owner is a record or
// null; an index outside its list yields null. The info operations return false only for a
// null record. All name and semantic comparisons are exact.
class IGvEffectDef : public irr::IReferenceCounted {
 public:
  virtual stringc getFileName() const = 0;
  virtual bool getInfo(SEffectInfo& info) const = 0;
  virtual s32 findTechnique(const char* name) const = 0;
  virtual const STechnique* getTechnique(u32 index) const = 0;
  virtual bool getTechniqueInfo(const STechnique* technique, STechniqueInfo& info) const = 0;
  virtual const SPass* getPass(const STechnique* technique, u32 index) const = 0;
  virtual bool getPassInfo(const SPass* pass, SPassInfo& info) const = 0;
  virtual const SState* getState(const SPass* pass, u32 index) const = 0;
  virtual const SState* findState(const SPass* pass, const char* name) const = 0;
  virtual const SEvaluate* getEvaluate(const SPass* pass, u32 index) const = 0;
  // Effect parameters only: null for any owner other than null.
  virtual const SParameter* getParameter(const SRecord* owner, u32 index) const = 0;
  virtual const SParameter* findParameterBySemantic(const SRecord* owner, const char* semantic) const = 0;
  virtual const SParameter* findParameterByName(const SRecord* owner, const char* name) const = 0;
  virtual s32 getParameterIndex(const SParameter* parameter) const = 0;
  virtual void getParametersBySemantic(const SRecord* owner, const char* semantic,
                                       Array<const SParameter*>& out) const = 0;
  virtual s32 findSamplerIndex(const SRecord* owner, const char* semantic) const = 0;
  virtual const SShader* getShader(const SPass* pass, u32 index) const = 0;
  virtual bool getShaderInfo(const SShader* shader, SShaderInfo& info) const = 0;
  virtual bool getShaderMacro(const SShader* shader, u32 index, const char** line) const = 0;
  virtual const SParameter* getShaderParameter(const SShader* shader, u32 index) const = 0;
  virtual const SParameter* resolveParameterReference(const SParameter* reference) const = 0;
  virtual bool getParameterInfo(const SParameter* parameter, SParameterInfo& info) const = 0;
  // Owner null or the effect header: the effect's annotations; a parameter, pass or
  // technique: its own; any other record: null.
  virtual const SParameter* getAnnotation(const SRecord* owner, u32 index) const = 0;
  virtual const SParameter* findAnnotation(const SRecord* owner, const char* name) const = 0;
  // Value readers: numbers separated by white space, read the way Irrlicht's fast_atof does.
  virtual bool getFloat(const SParameter* record, f32& value) const = 0;
  // False when fewer than count numbers are present; the missing ones are 0.
  virtual bool getFloats(const SParameter* record, f32* values, u32 count) const = 0;
  // The Value as a decimal integer, read the way atoi does; getBool is "not 0".
  virtual bool getBool(const SParameter* record, bool& value) const = 0;
  virtual bool getInt(const SParameter* record, s32& value) const = 0;
  virtual bool getInts(const SParameter* record, s32* values, u32 count) const = 0;
  virtual bool getMatrix(const SParameter* record, irr::core::matrix4& value) const = 0;
  virtual bool getNameText(const SParameter* record, const char** text) const = 0;
  virtual bool getValueText(const SParameter* record, const char** text) const = 0;
  virtual bool getSamplerInfo(const SParameter* parameter, SSamplerInfo& info) const = 0;
  virtual bool getStateInfo(const SState* state, SStateInfo& info) const = 0;
  virtual const SParameter* findStateParameter(const SState* state) const = 0;
  virtual bool getEvaluateInfo(const SEvaluate* evaluate, SEvaluateInfo& info) const = 0;
  virtual const SParameter* findEvaluateParameter(const SEvaluate* evaluate) const = 0;
  // True when some technique asks for tangents (annotation "tangents" = "true").
  virtual bool needsTangents() const = 0;
};

// The definition every loader fills. FileName, the absolute path of the file read, is the
// definition's identity. IsOpenGL records whether Irrlicht's OpenGL driver was running when
// it was read.
class CGvEffectDef : public IGvEffectDef {
 public:
  CGvEffectDef(const stringc& fileName, bool isOpenGL) : FileName(fileName), IsOpenGL(isOpenGL) {}

  const SRecord Header{ERT_EFFECT};
  stringc Id;
  stringc Name;
  stringc Title;
  stringc Subject;
  stringc Comments;
  Array<SParameter> Parameters;
  Array<SInclude> Includes;
  Array<STechnique> Techniques;
  Array<SParameter> Annotations;
  const stringc FileName;
  const bool IsOpenGL;

  stringc getFileName() const override { return FileName; }
  bool getInfo(SEffectInfo& info) const override;
  s32 findTechnique(const char* name) const override;
  const STechnique* getTechnique(u32 index) const override;
  bool getTechniqueInfo(const STechnique* technique, STechniqueInfo& info) const override;
  const SPass* getPass(const STechnique* technique, u32 index) const override;
  bool getPassInfo(const SPass* pass, SPassInfo& info) const override;
  const SState* getState(const SPass* pass, u32 index) const override;
  const SState* findState(const SPass* pass, const char* name) const override;
  const SEvaluate* getEvaluate(const SPass* pass, u32 index) const override;
  const SParameter* getParameter(const SRecord* owner, u32 index) const override;
  const SParameter* findParameterBySemantic(const SRecord* owner, const char* semantic) const override;
  const SParameter* findParameterByName(const SRecord* owner, const char* name) const override;
  s32 getParameterIndex(const SParameter* parameter) const override;
  void getParametersBySemantic(const SRecord* owner, const char* semantic,
                               Array<const SParameter*>& out) const override;
  s32 findSamplerIndex(const SRecord* owner, const char* semantic) const override;
  const SShader* getShader(const SPass* pass, u32 index) const override;
  bool getShaderInfo(const SShader* shader, SShaderInfo& info) const override;
  bool getShaderMacro(const SShader* shader, u32 index, const char** line) const override;
  const SParameter* getShaderParameter(const SShader* shader, u32 index) const override;
  const SParameter* resolveParameterReference(const SParameter* reference) const override;
  bool getParameterInfo(const SParameter* parameter, SParameterInfo& info) const override;
  const SParameter* getAnnotation(const SRecord* owner, u32 index) const override;
  const SParameter* findAnnotation(const SRecord* owner, const char* name) const override;
  bool getFloat(const SParameter* record, f32& value) const override;
  bool getFloats(const SParameter* record, f32* values, u32 count) const override;
  bool getBool(const SParameter* record, bool& value) const override;
  bool getInt(const SParameter* record, s32& value) const override;
  bool getInts(const SParameter* record, s32* values, u32 count) const override;
  bool getMatrix(const SParameter* record, irr::core::matrix4& value) const override;
  bool getNameText(const SParameter* record, const char** text) const override;
  bool getValueText(const SParameter* record, const char** text) const override;
  bool getSamplerInfo(const SParameter* parameter, SSamplerInfo& info) const override;
  bool getStateInfo(const SState* state, SStateInfo& info) const override;
  const SParameter* findStateParameter(const SState* state) const override;
  bool getEvaluateInfo(const SEvaluate* evaluate, SEvaluateInfo& info) const override;
  const SParameter* findEvaluateParameter(const SEvaluate* evaluate) const override;
  bool needsTangents() const override;

 private:
  const Array<SParameter>* annotationsOf(const SRecord* owner) const;
};

// Reads effect files of one format into definitions.
class IGvEffectDefLoader : public irr::IReferenceCounted {
 public:
  virtual bool isALoadableFileExtension(const char* fileName) const = 0;
  // True when the definition depends on the macros passed in, so that it is cached per
  // file and macros; false when one definition per file serves every request.
  virtual bool usesMacros() const = 0;
  // Reads the file through the file layer (which serves the engine's file system, mounted
  // packages included, once the engine runs). macros: name/definition pairs ending with a
  // null Name, or null. On success *errorText is null; on failure it points to a message
  // and the caller drops whatever definition came back.
  virtual IGvEffectDef* createEffectDef(const char* path, const CGvMacro* macros, bool isOpenGL,
                                        const char** errorText) = 0;
};

}  // namespace gv
