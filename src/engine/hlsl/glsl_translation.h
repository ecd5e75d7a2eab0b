#pragma once
// Compiled HLSL programs (SPIR-V) turned into GLSL for Irrlicht's OpenGL driver, with the
// constant table that lets callers address constants by name or by register as on Direct3D 9.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/hlsl/hlsl_compiler.h"

namespace gv::engine {

// A global constant: registers are float4 registers counted as Direct3D 9 does (each constant
// starts a register of its own); Offset and Size place it in the program's CPU constant buffer.
struct SShaderConstantDesc {
  std::string Name;
  std::int32_t RegisterIndex = 0;
  std::int32_t RegisterCount = 0;
  std::uint32_t Offset = 0;
  std::uint32_t Size = 0;
};

// A sampler: the texture unit it reads and its name in the GLSL text.
struct SShaderSamplerDesc {
  std::string Name;
  std::string GlslName;
  std::int32_t Unit = 0;
};

struct SShaderConstantTable {
  std::vector<SShaderConstantDesc> Constants;  // in register order
  std::vector<SShaderSamplerDesc> Samplers;    // in unit order
  std::uint32_t BufferSize = 0;                // bytes of the constant block, 0 when none
  std::string BlockName;                       // the constant block's name in the GLSL text

  const SShaderConstantDesc* findConstant(const std::string& name) const;
  const SShaderSamplerDesc* findSampler(const std::string& name) const;
};

struct STranslatedShader {
  std::string Glsl;  // "#version 330 compatibility" text
  SShaderConstantTable Table;
};

// Translates one compiled program. Vertex inputs are read from Irrlicht's vertex arrays by
// semantic, interpolators are named after their semantic so both stages link by name.
bool translateToGLSL(const ShaderCode& code, bool isVertex, STranslatedShader& out,
                     std::string* errors);

// Pixel inputs that the vertex program never writes are read as zero instead: Direct3D 9
// accepts such a pair, OpenGL refuses to link it.
void matchInterpolators(const std::string& vertexGlsl, std::string& pixelGlsl);

}  // namespace gv::engine
