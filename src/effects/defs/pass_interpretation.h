#pragma once
// Turns a pass of a definition into what the effect builder needs: the programs to compile,
// the base material, the compile macros, and the render and sampler states applied to an
// Irrlicht material. Errors come back as text; the builder adds the context and logs.
#include "effects/defs/effect_def.h"

#include <EShaderTypes.h>
#include <SMaterial.h>

namespace gv {

struct SPassPrograms {
  stringc VertexFile;
  stringc VertexEntry = "main";
  irr::video::E_VERTEX_SHADER_TYPE VertexTarget = irr::video::EVST_VS_1_1;
  stringc PixelFile;
  stringc PixelEntry = "main";
  irr::video::E_PIXEL_SHADER_TYPE PixelTarget = irr::video::EPST_PS_1_1;
};

// The vertex and pixel programs of the pass (a later shader of a stage overrides an earlier
// one; other stages are skipped). Files lose everything up to the first "file://".
bool readPassPrograms(const IGvEffectDef& def, const SPass* pass, SPassPrograms& programs, stringc& error);

// The material type (-1 when the pass names none) and its parameter, from the blend states
// or else the "baseMaterial" annotation.
bool readPassMaterial(const IGvEffectDef& def, const SPass* pass, s32& materialType, f32& materialParam,
                      stringc& error);

// The "#define" lines of one shader as macros.
bool parseShaderMacros(const IGvEffectDef& def, const SShader* shader, Array<SShaderMacro>& macros,
                       stringc& error);
// Appends the source macros whose names the target lacks; the first definition of a name
// wins, and a differing second one is logged as a warning.
void mergeMacros(Array<SShaderMacro>& target, const Array<SShaderMacro>& source);
// The macros of every shader of the pass, merged in shader order.
bool collectPassMacros(const IGvEffectDef& def, const SPass* pass, Array<SShaderMacro>& macros,
                       stringc& error);

// A macro list in the compiler's layout (CGvMacro entries ending with a null Name), owning
// its texts. get() is null when there are no macros.
class CGvMacroList {
 public:
  CGvMacroList() = default;
  explicit CGvMacroList(const Array<SShaderMacro>& macros);
  CGvMacroList(const CGvMacroList& other) : CGvMacroList(other.macros_) {}
  CGvMacroList& operator=(const CGvMacroList& other);
  const CGvMacro* get() const { return entries_.empty() ? nullptr : entries_.const_pointer(); }
  const Array<SShaderMacro>& macros() const { return macros_; }

 private:
  void build();
  Array<SShaderMacro> macros_;
  Array<CGvMacro> entries_;
};

// A shader file named by a definition: beside the definition's file, else in the search
// directories in order, else the name unchanged.
stringc resolveShaderPath(const IGvEffectDef& def, const Array<stringc>& searchDirectories, const stringc& name);

// Everything the GPU services need to create a pass's material, short of compiling it.
struct SPassMaterialPlan {
  SPassPrograms Programs;  // files resolved with resolveShaderPath
  s32 BaseMaterial = irr::video::EMT_SOLID;
  f32 MaterialParam = 0.f;
  CGvMacroList Macros;  // the caller's macros first, then the pass's own
};
// defaultBaseMaterial: used when the pass names no material (-1: solid). callerMacros: a
// CGvMacro list or null; an absent definition reads as empty.
bool planPassMaterial(const IGvEffectDef& def, const SPass* pass, const Array<stringc>& searchDirectories,
                      s32 defaultBaseMaterial, const CGvMacro* callerMacros, SPassMaterialPlan& plan,
                      stringc& error);

// Which material states a pass set, for the builder to keep with the pass.
enum EPassStateFlag : irr::u8 {
  EPSF_DEPTH_FUNC = 2,
  EPSF_DEPTH_MASK = 4,
  EPSF_DEPTH_TEST_ENABLE = 8,
  EPSF_POINT_SIZE_ENABLE = 16,
  EPSF_CULL = 32,
};
struct SPassStates {
  irr::u8 Flags = 0;
  // Irrlicht 1.8's material has no point-sprite switch: the engine layer enables OpenGL point
  // sprites with program point size for passes that ask for them.
  bool PointSprites = false;
};
// Applies the depth, point-size and culling states of the pass to the material. Values are
// compared exactly; a boolean is true exactly when it reads "true".
bool applyPassStates(const IGvEffectDef& def, const SPass* pass, irr::video::SMaterial& material,
                     SPassStates& states, stringc& error);

// Sampler words: a wrap mode (no text or an unknown word: repeat) and the filter switches.
irr::video::E_TEXTURE_CLAMP wrapModeFromWord(const char* word);
struct SFilterSettings {
  bool Bilinear = true;
  bool Trilinear = false;
  irr::u8 Anisotropy = 0;
};
SFilterSettings filtersFromWords(const char* minFilter, const char* magFilter, const char* mipFilter);

}  // namespace gv
