#include "engine/hlsl/shader_cache_name.h"

namespace gv::engine {
namespace {

constexpr std::uint32_t kMultipliers[5] = {0x5BD1E995, 0x19D699A5, 0xB11924E1, 0x16118B03,
                                           0x53C93455};

std::string lastComponent(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

std::string shaderMacroString(const std::vector<SShaderMacro>& macros) {
  std::string text;
  for (const SShaderMacro& macro : macros) {
    text += macro.Name.c_str();
    text += ' ';
    text += macro.Definition.c_str();
    text += '~';
  }
  return text;
}

std::array<std::uint8_t, 20> shaderMacroHash(const std::string& text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const size_t n = text.size();
  std::uint32_t h[5];
  h[0] = static_cast<std::uint32_t>(n);
  for (int i = 1; i < 5; ++i) h[i] = h[0] ^ kMultipliers[i];
  size_t at = 0;
  for (; at + 4 <= n; at += 4) {
    std::uint32_t k = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                      static_cast<std::uint32_t>(bytes[at + 3]) << 24;
    k *= kMultipliers[0];
    k ^= k >> 24;
    k *= kMultipliers[0];
    std::uint32_t next[5];
    for (int i = 0; i < 4; ++i) next[i] = (h[i] * kMultipliers[i]) ^ k ^ h[i + 1];
    next[4] = (h[4] * kMultipliers[4]) ^ k ^ next[0];
    std::copy(next, next + 5, h);
  }
  const size_t rest = n - at;
  for (int i = 0; i < 5; ++i) {
    if (rest == 3) h[i] ^= static_cast<std::uint32_t>(bytes[at + 2]) << 16;
    if (rest >= 2) h[i] ^= static_cast<std::uint32_t>(bytes[at + 1]) << 8;
    if (rest >= 1) {
      h[i] ^= bytes[at];
      h[i] *= kMultipliers[i];
    }
  }
  for (int i = 0; i < 5; ++i) {
    h[i] ^= h[i] >> 13;
    h[i] *= kMultipliers[i];
    h[i] ^= h[i] >> 15;
  }
  const std::uint32_t words[5] = {h[0] ^ h[1] ^ h[2] ^ h[3] ^ h[4], h[0] ^ h[1], h[0] ^ h[2],
                                  h[0] ^ h[3], h[0] ^ h[4]};
  std::array<std::uint8_t, 20> hash{};
  for (int w = 0; w < 5; ++w)
    for (int b = 0; b < 4; ++b) hash[w * 4 + b] = static_cast<std::uint8_t>(words[w] >> (8 * b));
  return hash;
}

std::string shaderHashText(const std::array<std::uint8_t, 20>& hash) {
  static const char kAlphabet[] = "123456789ABCDEFGHJKMNPQRSTUVWXYZ";
  std::string text;
  for (int group = 0; group < 4; ++group) {
    std::uint64_t bits = 0;
    for (int b = 0; b < 5; ++b) bits = bits << 8 | hash[group * 5 + b];
    for (int shift = 35; shift >= 0; shift -= 5) text += kAlphabet[(bits >> shift) & 31];
  }
  return text;
}

std::string shaderCacheFileName(const std::string& sourceFile, const std::string& entry,
                                bool isVertex, const std::string& macroString) {
  std::string base = lastComponent(sourceFile);
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos) base.erase(dot);
  return lastComponent(directoryOf(sourceFile)) + "!" + base + "!" + entry + "!" +
         shaderHashText(shaderMacroHash(macroString)) + (isVertex ? ".vso" : ".pso");
}

}  // namespace gv::engine
