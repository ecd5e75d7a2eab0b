#pragma once
// What the engine adds to the video driver's GPU programming services: HLSL programs compiled
// to code, material types made from that code, programs replaced in place, and the constant
// tables that say where each constant and sampler of a material's programs lives.
//
// Irrlicht's OpenGL driver gets the real additions; every other driver (NULL, software)
// answers "not available (yet)".
#include <irrlicht.h>

#include <memory>
#include <string>

#include "engine/hlsl/glsl_translation.h"
#include "engine/hlsl/hlsl_compiler.h"

namespace gv::engine {

class IShaderProgramming {
 public:
  virtual ~IShaderProgramming() = default;

  // See compileHLSLVertexShader / compileHLSLPixelShader in hlsl_compiler.h.
  virtual bool compileHLSLVertexShader(const char* source, const char* entry,
                                       irr::video::E_VERTEX_SHADER_TYPE target,
                                       const CGvMacro* macros, IIncludeCallback* includes,
                                       ShaderCode& code, std::string* errors,
                                       const char* sourceName) = 0;
  virtual bool compileHLSLPixelShader(const char* source, const char* entry,
                                      irr::video::E_PIXEL_SHADER_TYPE target,
                                      const CGvMacro* macros, IIncludeCallback* includes,
                                      ShaderCode& code, std::string* errors,
                                      const char* sourceName) = 0;

  // A new material type drawing with the two programs over `baseMaterial`'s render states;
  // `callback` (may be null) sets the constants before each draw. -1 on failure.
  virtual irr::s32 addHighLevelShaderMaterialFromTokens(
      const ShaderCode* vertexCode, const ShaderCode* pixelCode, const ShaderCode* geometryCode,
      irr::scene::E_PRIMITIVE_TYPE inputType, irr::scene::E_PRIMITIVE_TYPE outputType,
      irr::u32 verticesOut, irr::video::IShaderConstantSetCallBack* callback,
      irr::video::E_MATERIAL_TYPE baseMaterial, irr::s32 userData) = 0;

  // Replaces the given programs (null: keep that stage) of a material type made above; the id
  // stays. On failure the material is unchanged.
  virtual bool updateHighLevelShaderMaterialFromTokens(irr::s32 materialType,
                                                       const ShaderCode* vertexCode,
                                                       const ShaderCode* pixelCode,
                                                       const ShaderCode* geometryCode) = 0;

  // Copies of the current constant tables of a material type made above; false for any other.
  virtual bool getMaterialTypeConstantTables(irr::s32 materialType,
                                             SShaderConstantTable& vertexTable,
                                             SShaderConstantTable& pixelTable) = 0;
};

// The additions for `driver` (kept alive by the caller for the result's lifetime).
std::unique_ptr<IShaderProgramming> createShaderProgramming(irr::video::IVideoDriver* driver);

}  // namespace gv::engine
