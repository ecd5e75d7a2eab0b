#pragma once
// The CPU copy of one program's constant block, written the way Direct3D 9 callers write
// constants: by name with a packed list of values that fills element after element, or by
// float4 register, where each register only covers the part of the constant that lives in it.
#include <cstdint>
#include <vector>

#include "engine/hlsl/glsl_translation.h"

namespace gv::engine {

class ShaderConstantBuffer {
 public:
  // Starts from the table's declared defaults (a single value fills every component), zero
  // elsewhere.
  explicit ShaderConstantBuffer(const SShaderConstantTable& table);

  // False when the program has no constant of that name. Values are converted to the
  // constant's type; extra values are ignored, missing ones leave the rest as it was.
  bool set(const char* name, const float* values, int count);
  bool set(const char* name, const std::int32_t* values, int count);
  bool set(const char* name, const bool* values, int count);

  // `count` float4 registers from `startRegister`; registers of no constant are skipped.
  void setRegisters(const float* data, int startRegister, int count);

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  // True once after each change, so that uploads happen only when something changed.
  bool takeChanged();

 private:
  template <typename T>
  bool setByName(const char* name, const T* values, int count);
  // Writes values[0..count) element after element, each element in HLSL's row order.
  template <typename T>
  void fill(const SShaderConstantDesc& constant, const T* values, int count);
  void writeComponent(const SShaderConstantDesc& constant, std::uint32_t offset, double value);

  std::vector<SShaderConstantDesc> constants_;
  std::vector<std::uint8_t> bytes_;
  bool changed_ = true;
};

}  // namespace gv::engine
