#pragma once
// Number tokens of the GF text form. Each reads the longest number at the start of the token
// [begin, end) the way the C library's conversions do, with 32-bit results: atoi for I4
// (saturating), strtoul base 10 for U4 and block counts (saturating at the maximum, a minus
// sign negating modulo 2^32), and atof rounded to single precision for floats.
#include <cstdint>

namespace gv::gf {

std::int32_t parseI4(const char* begin, const char* end);
std::uint32_t parseU4(const char* begin, const char* end);
float parseFloat(const char* begin, const char* end);
// The float token that starts at `at` on a line ending at `end`: reads it and returns where
// it ends (at the next blank or tab, or `end`).
const char* parseFloatToken(const char* at, const char* end, float& value);

}  // namespace gv::gf
