#include "engine/hlsl/constant_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace gv::engine {
namespace {

// Packed members (a float after a float3, two floats in a row), a float array with a
// register per element, a matrix, integers, booleans and declared defaults.
const char* kProgram = R"(
float3 Dir;
float Gain = 2;
float Bias;
float Weights[3];
float2 Offsets[2];
float4x4 M;
row_major float4x4 R;
int Count = 7;
bool Flag;
float4 Tint = 0.5;
float4 psMain() : COLOR0 {
  return float4(Dir, Gain + Bias) + Weights[0] + Weights[2] + Offsets[1].xyxy + M[3] + R[3] +
         (Flag ? Count : 0) + Tint;
}
)";

class ConstantBufferTest : public testing::Test {
 protected:
  void SetUp() override {
    ShaderCode code;
    std::string errors;
    ASSERT_TRUE(compileHLSLPixelShader(kProgram, "psMain", irr::video::EPST_PS_3_0, nullptr,
                                       nullptr, code, &errors))
        << errors;
    STranslatedShader shader;
    ASSERT_TRUE(translateToGLSL(code, false, shader, &errors)) << errors;
    table = shader.Table;
  }
  template <typename T>
  T at(const ShaderConstantBuffer& buffer, const char* name, std::uint32_t byte = 0) const {
    T value;
    std::memcpy(&value, &buffer.bytes()[table.findConstant(name)->Offset + byte], sizeof value);
    return value;
  }
  SShaderConstantTable table;
};

TEST_F(ConstantBufferTest, RegistersAndPlacesFollowTheBlockLayout) {
  struct Expected {
    const char* name;
    int first, count;
    std::uint32_t registerBytes;
  } expected[] = {{"Dir", 0, 1, 12},     {"Gain", 1, 1, 4},    {"Bias", 2, 1, 4},
                  {"Weights", 3, 3, 4},  {"Offsets", 6, 2, 8}, {"M", 8, 4, 16},
                  {"R", 12, 4, 16},      {"Count", 16, 1, 4},  {"Flag", 17, 1, 4},
                  {"Tint", 18, 1, 16}};
  for (const Expected& e : expected) {
    const SShaderConstantDesc* constant = table.findConstant(e.name);
    ASSERT_NE(constant, nullptr) << e.name;
    EXPECT_EQ(constant->RegisterIndex, e.first) << e.name;
    EXPECT_EQ(constant->RegisterCount, e.count) << e.name;
    EXPECT_EQ(constant->RegisterBytes, e.registerBytes) << e.name;
  }
  EXPECT_EQ(table.findConstant("Bias")->Offset, table.findConstant("Gain")->Offset + 4);
  EXPECT_EQ(table.findConstant("Count")->Type, EShaderConstantType::Integer);
}

TEST_F(ConstantBufferTest, StartsFromDefaultsAndSetsByNameElementAfterElement) {
  ShaderConstantBuffer buffer(table);
  EXPECT_EQ(at<float>(buffer, "Gain"), 2.0f);
  EXPECT_EQ(at<std::int32_t>(buffer, "Count"), 7);
  for (std::uint32_t i = 0; i < 4; ++i) EXPECT_EQ(at<float>(buffer, "Tint", 4 * i), 0.5f);
  EXPECT_TRUE(buffer.takeChanged());
  EXPECT_FALSE(buffer.takeChanged());

  const float weights[] = {1, 2, 3, 99};
  EXPECT_TRUE(buffer.set("Weights", weights, 4));
  const std::uint32_t stride = table.findConstant("Weights")->ElementStride;
  EXPECT_EQ(stride, 16u);
  for (std::uint32_t i = 0; i < 3; ++i)
    EXPECT_EQ(at<float>(buffer, "Weights", i * stride), weights[i]);
  EXPECT_EQ(at<float>(buffer, "Offsets"), 0.0f) << "written past the array";

  const float offsets[] = {1, 2, 3, 4};
  EXPECT_TRUE(buffer.set("Offsets", offsets, 4));
  EXPECT_EQ(at<float>(buffer, "Offsets", 16), 3.0f);
  EXPECT_EQ(at<float>(buffer, "Offsets", 20), 4.0f);

  // A float3 takes three values; the float packed after it keeps its own.
  const float dir[] = {5, 6, 7, 8};
  EXPECT_TRUE(buffer.set("Dir", dir, 4));
  EXPECT_EQ(at<float>(buffer, "Dir", 8), 7.0f);
  EXPECT_EQ(at<float>(buffer, "Gain"), 2.0f);

  const std::int32_t ints[] = {1};
  const bool yes[] = {true};
  EXPECT_TRUE(buffer.set("Gain", ints, 1));
  EXPECT_TRUE(buffer.set("Flag", yes, 1));
  const float big[] = {1e20f};
  EXPECT_TRUE(buffer.set("Count", big, 1));
  EXPECT_EQ(at<float>(buffer, "Gain"), 1.0f);
  EXPECT_EQ(at<std::int32_t>(buffer, "Flag"), 1);
  EXPECT_EQ(at<std::int32_t>(buffer, "Count"), 2147483647);
  EXPECT_TRUE(buffer.takeChanged());

  // Matrices by name come row after row: HLSL's column_major registers hold columns, a
  // row_major matrix's registers rows.
  float rows[16];
  for (int i = 0; i < 16; ++i) rows[i] = static_cast<float>(i);
  EXPECT_TRUE(buffer.set("M", rows, 16));
  EXPECT_TRUE(buffer.set("R", rows, 16));
  EXPECT_TRUE(table.findConstant("M")->ColumnRegisters);
  EXPECT_FALSE(table.findConstant("R")->ColumnRegisters);
  for (std::uint32_t row = 0; row < 4; ++row) {
    for (std::uint32_t column = 0; column < 4; ++column) {
      EXPECT_EQ(at<float>(buffer, "M", 16 * column + 4 * row), rows[4 * row + column]);
      EXPECT_EQ(at<float>(buffer, "R", 16 * row + 4 * column), rows[4 * row + column]);
    }
  }

  EXPECT_FALSE(buffer.set("Missing", weights, 1));
  EXPECT_FALSE(buffer.set(nullptr, weights, 1));
}

TEST_F(ConstantBufferTest, RegisterWritesCoverOnlyTheConstantLivingThere) {
  ShaderConstantBuffer buffer(table);
  // Registers 1 and 2 hold Gain and Bias, packed side by side: a whole register each.
  const float registers[] = {10, 90, 91, 92, 20, 93, 94, 95};
  buffer.setRegisters(registers, 1, 2);
  EXPECT_EQ(at<float>(buffer, "Gain"), 10.0f);
  EXPECT_EQ(at<float>(buffer, "Bias"), 20.0f);
  EXPECT_EQ(at<float>(buffer, "Weights"), 0.0f);

  // Register 4 is Weights[1]; registers 8-11 the matrix rows, contiguous.
  const float weight[] = {3, 0, 0, 0};
  buffer.setRegisters(weight, 4, 1);
  EXPECT_EQ(at<float>(buffer, "Weights", 16), 3.0f);
  EXPECT_EQ(at<float>(buffer, "Weights", 32), 0.0f);
  float matrix[16];
  for (int i = 0; i < 16; ++i) matrix[i] = static_cast<float>(i);
  buffer.setRegisters(matrix, 8, 4);
  for (std::uint32_t i = 0; i < 16; ++i) EXPECT_EQ(at<float>(buffer, "M", 4 * i), float(i));

  // Registers past the last constant are ignored.
  const float beyond[] = {1, 1, 1, 1, 1, 1, 1, 1};
  buffer.setRegisters(beyond, 18, 2);
  EXPECT_EQ(at<float>(buffer, "Tint", 12), 1.0f);
}

}  // namespace
}  // namespace gv::engine
