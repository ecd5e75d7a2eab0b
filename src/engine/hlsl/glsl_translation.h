#pragma once
// Compiled HLSL programs (SPIR-V) turned into GLSL for Irrlicht's OpenGL driver, with the
// constant table that lets callers address constants by name or by register as on Direct3D 9.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/hlsl/hlsl_compiler.h"

namespace gv::engine {

// How a constant's components are stored: HLSL int, uint and bool are 32-bit integers.
enum class EShaderConstantType { Float, Integer };

// A global constant: registers are float4 registers counted as Direct3D 9 does (each constant
// starts a register of its own); Offset and Size place it in the program's CPU constant buffer.
// Register k of the constant lies in element k / (RegisterCount / Elements) at
// Offset + element * ElementStride + 16 * (k % (RegisterCount / Elements)) and fills
// RegisterBytes there (a float fills 4 bytes, a float3 12).
struct SShaderConstantDesc {
  std::string Name;
  std::int32_t RegisterIndex = 0;
  std::int32_t RegisterCount = 0;
  std::uint32_t Offset = 0;
  std::uint32_t Size = 0;
  EShaderConstantType Type = EShaderConstantType::Float;
  std::uint32_t Elements = 1;  // array length, 1 when not an array
  std::uint32_t ElementStride = 0;
  std::uint32_t RegisterBytes = 16;
  // A column_major matrix (HLSL's default): each register holds a column, while values set by
  // name come row after row, so they are transposed on the way in.
  bool ColumnRegisters = false;
  std::vector<float> Default;  // the declared initial values, empty when none

  bool operator==(const SShaderConstantDesc& other) const;
  bool operator!=(const SShaderConstantDesc& other) const { return !(*this == other); }
};

// A sampler: the texture unit it reads and its name in the GLSL text. The unit is the
// sampler's register: declaration order, or N for an explicit register(sN), so material
// texture N reaches register sN.
struct SShaderSamplerDesc {
  std::string Name;
  std::string GlslName;
  std::int32_t Unit = 0;

  bool operator==(const SShaderSamplerDesc& other) const {
    return Name == other.Name && GlslName == other.GlslName && Unit == other.Unit;
  }
};

struct SShaderConstantTable {
  std::vector<SShaderConstantDesc> Constants;  // in register order
  std::vector<SShaderSamplerDesc> Samplers;    // in unit order
  std::uint32_t BufferSize = 0;                // bytes of the constant block, 0 when none
  std::string BlockName;                       // the constant block's name in the GLSL text

  const SShaderConstantDesc* findConstant(const std::string& name) const;
  const SShaderSamplerDesc* findSampler(const std::string& name) const;

  // Equal tables place every constant and sampler alike, with the same defaults.
  bool operator==(const SShaderConstantTable& other) const;
  bool operator!=(const SShaderConstantTable& other) const { return !(*this == other); }
};

struct STranslatedShader {
  std::string Glsl;  // "#version 330 compatibility" text
  SShaderConstantTable Table;
};

// True when `code` is a SPIR-V module that passes the validator. Code read back from files is
// checked with it before anything parses it.
bool isValidSpirvModule(const ShaderCode& code);

// Translates one compiled program: code from the compiler, or code from a file that passed
// isValidSpirvModule (the translator reads out of bounds on some invalid modules). Vertex
// inputs are read from Irrlicht's vertex arrays by semantic, interpolators are named after
// their semantic so both stages link by name.
bool translateToGLSL(const ShaderCode& code, bool isVertex, STranslatedShader& out,
                     std::string* errors);

// Fits the pixel program's inputs to the vertex program's outputs, which Direct3D 9 does by
// itself and OpenGL refuses to link without: an input the vertex program never writes reads
// zero; an input of another size than the output (float2 read from a float4 written) is
// declared as written and read with the components it needs, missing ones from (0, 0, 0, 1).
void matchInterpolators(const std::string& vertexGlsl, std::string& pixelGlsl);

}  // namespace gv::engine
