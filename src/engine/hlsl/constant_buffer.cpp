#include "engine/hlsl/constant_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace gv::engine {
namespace {

constexpr std::uint32_t kRegisterBytes = 16;

std::uint32_t registersPerElement(const SShaderConstantDesc& constant) {
  return constant.Elements ? static_cast<std::uint32_t>(constant.RegisterCount) / constant.Elements
                           : 0;
}

std::uint32_t componentsPerRegister(const SShaderConstantDesc& constant) {
  return std::min(constant.RegisterBytes, kRegisterBytes) / 4;
}

// Byte offset in the block of register `index` of `constant`.
std::uint32_t registerOffset(const SShaderConstantDesc& constant, std::uint32_t index) {
  const std::uint32_t perElement = registersPerElement(constant);
  return constant.Offset + index / perElement * constant.ElementStride +
         index % perElement * kRegisterBytes;
}

double asNumber(float value) { return value; }
double asNumber(std::int32_t value) { return value; }
double asNumber(bool value) { return value ? 1.0 : 0.0; }

}  // namespace

ShaderConstantBuffer::ShaderConstantBuffer(const SShaderConstantTable& table)
    : constants_(table.Constants), bytes_(table.BufferSize, 0) {
  for (const SShaderConstantDesc& constant : constants_) {
    if (constant.Default.size() == 1) {
      const std::uint32_t components =
          static_cast<std::uint32_t>(constant.RegisterCount) * componentsPerRegister(constant);
      const std::vector<float> all(components, constant.Default.front());
      fill(constant, all.data(), static_cast<int>(all.size()));
    } else {
      fill(constant, constant.Default.data(), static_cast<int>(constant.Default.size()));
    }
  }
}

bool ShaderConstantBuffer::set(const char* name, const float* values, int count) {
  return setByName(name, values, count);
}

bool ShaderConstantBuffer::set(const char* name, const std::int32_t* values, int count) {
  return setByName(name, values, count);
}

bool ShaderConstantBuffer::set(const char* name, const bool* values, int count) {
  return setByName(name, values, count);
}

template <typename T>
bool ShaderConstantBuffer::setByName(const char* name, const T* values, int count) {
  if (!name) return false;
  for (const SShaderConstantDesc& constant : constants_) {
    if (constant.Name != name) continue;
    if (values) fill(constant, values, count);
    return true;
  }
  return false;
}

void ShaderConstantBuffer::setRegisters(const float* data, int startRegister, int count) {
  if (!data) return;
  for (int i = 0; i < count; ++i) {
    const int target = startRegister + i;
    for (const SShaderConstantDesc& constant : constants_) {
      if (target < constant.RegisterIndex ||
          target >= constant.RegisterIndex + constant.RegisterCount)
        continue;
      const std::uint32_t reg = static_cast<std::uint32_t>(target - constant.RegisterIndex);
      for (std::uint32_t j = 0; j < componentsPerRegister(constant); ++j)
        writeComponent(constant, registerOffset(constant, reg) + 4 * j, data[4 * i + j]);
      break;
    }
  }
}

template <typename T>
void ShaderConstantBuffer::fill(const SShaderConstantDesc& constant, const T* values,
                                int count) {
  const std::uint32_t perRegister = componentsPerRegister(constant);
  const std::uint32_t registers = registersPerElement(constant);
  const std::uint32_t perElement = perRegister * registers;
  if (perElement == 0) return;
  for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(std::max(count, 0)); ++i) {
    const std::uint32_t element = i / perElement, within = i % perElement;
    if (element >= constant.Elements) break;
    // Within a column_major matrix value (row r, column c) goes to register c, component r.
    const std::uint32_t reg = constant.ColumnRegisters ? within % registers : within / perRegister;
    const std::uint32_t component =
        constant.ColumnRegisters ? within / registers : within % perRegister;
    writeComponent(constant, registerOffset(constant, element * registers + reg) + 4 * component,
                   asNumber(values[i]));
  }
}

void ShaderConstantBuffer::writeComponent(const SShaderConstantDesc& constant,
                                          std::uint32_t offset, double value) {
  if (offset + 4 > constant.Offset + constant.Size || offset + 4 > bytes_.size()) return;
  if (constant.Type == EShaderConstantType::Float) {
    const float component = static_cast<float>(value);
    std::memcpy(&bytes_[offset], &component, 4);
  } else {
    // Out-of-range values saturate instead of overflowing the conversion.
    using Limits = std::numeric_limits<std::int32_t>;
    const double clamped =
        std::isnan(value) ? 0.0 : std::clamp(value, double(Limits::min()), double(Limits::max()));
    const std::int32_t component = static_cast<std::int32_t>(clamped);
    std::memcpy(&bytes_[offset], &component, 4);
  }
  changed_ = true;
}

bool ShaderConstantBuffer::takeChanged() {
  const bool changed = changed_;
  changed_ = false;
  return changed;
}

}  // namespace gv::engine
