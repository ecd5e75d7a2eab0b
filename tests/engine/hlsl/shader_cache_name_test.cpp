#include "engine/hlsl/shader_cache_name.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace gv::engine {
namespace {

TEST(ShaderCacheName, HashTextMatchesKnownValues) {
  EXPECT_EQ(shaderHashText(shaderMacroHash("")), "3ZVJB5AZ5AKM63EVB1PCZVS9VHG93B7P");
  EXPECT_EQ(shaderHashText(shaderMacroHash("abc")), "1BB9DTD5P5NK6RWRB6VTYBRA3JFZSH2R");
}

TEST(ShaderCacheName, HashUsesEveryByteAndTheLength) {
  // Whole blocks, each tail length, and a change in the last byte all give new texts.
  const char* texts[] = {"a", "ab", "abcd", "abcde", "abcdef", "abcdefg", "abcdefgh", "abcdefgi"};
  std::vector<std::string> seen;
  for (const char* text : texts) {
    const std::string hashText = shaderHashText(shaderMacroHash(text));
    EXPECT_EQ(hashText.size(), 32u);
    EXPECT_EQ(std::find(seen.begin(), seen.end(), hashText), seen.end()) << text;
    seen.push_back(hashText);
  }
}

TEST(ShaderCacheName, MacroStringAndFileNames) {
  const std::vector<SShaderMacro> macros = {{"A", "1"}, {"B", ""}};
  EXPECT_EQ(shaderMacroString(macros), "A 1~B ~");
  EXPECT_EQ(shaderMacroString({}), "");
  EXPECT_EQ(shaderCacheFileName("shaders/water.hlsl", "vsMain", true, ""),
            "shaders!water!vsMain!3ZVJB5AZ5AKM63EVB1PCZVS9VHG93B7P.vso");
  EXPECT_EQ(shaderCacheFileName("data/fx\\deep/shaders\\water.fx", "psMain", false, "abc"),
            "shaders!water!psMain!1BB9DTD5P5NK6RWRB6VTYBRA3JFZSH2R.pso");
  EXPECT_EQ(shaderCacheFileName("water.hlsl", "vsMain", true, ""),
            ".!water!vsMain!3ZVJB5AZ5AKM63EVB1PCZVS9VHG93B7P.vso");
}

}  // namespace
}  // namespace gv::engine
