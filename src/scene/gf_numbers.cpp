#include "scene/gf_numbers.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

namespace gv::gf {
namespace {

constexpr std::uint64_t kSaturated = std::uint64_t{1} << 33;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The C conversions skip leading white space; inside a token only these can occur.
const char* skipSpace(const char* at, const char* end) {
  while (at < end && (*at == '\v' || *at == '\f')) ++at;
  return at;
}

// Sign and magnitude of the decimal integer at the start of the token; the magnitude stops
// growing past 2^33, which is beyond every 32-bit result.
std::uint64_t readInteger(const char*& at, const char* end, bool& negative) {
  at = skipSpace(at, end);
  negative = at < end && *at == '-';
  if (at < end && (*at == '-' || *at == '+')) ++at;
  std::uint64_t magnitude = 0;
  for (; at < end && isDigit(*at); ++at) {
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(*at - '0');
    if (magnitude > kSaturated) magnitude = kSaturated;
  }
  return magnitude;
}

// Decimals with at most 15 significant digits and a power of ten up to 22 convert exactly
// through one double multiplication or division, which is the correctly rounded result that
// strtod also gives. Anything else goes to strtod.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

const char* skipDigits(const char* at, const char* end) {
  while (at < end && isDigit(*at)) ++at;
  return at;
}

const char* skipZeros(const char* at, const char* end) {
  while (at < end && *at == '0') ++at;
  return at;
}

std::uint64_t digitsValue(std::uint64_t value, const char* at, const char* end) {
  for (; at < end; ++at) value = value * 10 + static_cast<std::uint64_t>(*at - '0');
  return value;
}

bool fastDecimal(const char* at, const char* end, double& value) {
  bool negative = at < end && *at == '-';
  if (at < end && (*at == '-' || *at == '+')) ++at;
  const char* integer = at;
  const char* significant = skipZeros(at, end);
  at = skipDigits(significant, end);
  std::uint64_t mantissa = digitsValue(0, significant, at);
  long digits = at - significant;
  bool anyDigit = at > integer;
  int scale = 0;
  if (at < end && *at == '.') {
    const char* fraction = ++at;
    // Zeros right after the point only scale a number that has no integer digits.
    significant = digits == 0 ? skipZeros(fraction, end) : fraction;
    at = skipDigits(significant, end);
    mantissa = digitsValue(mantissa, significant, at);
    digits += at - significant;
    scale = -static_cast<int>(std::min<long>(at - fraction, 1000));
    anyDigit = anyDigit || at > fraction;
  }
  if (!anyDigit || digits > 15) return false;
  if (at < end && (*at == 'e' || *at == 'E')) {
    ++at;
    bool negativeExponent = at < end && *at == '-';
    if (at < end && (*at == '-' || *at == '+')) ++at;
    const char* exponentEnd = skipDigits(at, end);
    if (exponentEnd == at || exponentEnd - at > 4) return false;
    int exponent = static_cast<int>(digitsValue(0, at, exponentEnd));
    scale += negativeExponent ? -exponent : exponent;
    at = exponentEnd;
  }
  if (at != end) return false;
  if (mantissa == 0) {
    value = negative ? -0.0 : 0.0;
    return true;
  }
  if (scale < -22 || scale > 22) return false;
  double magnitude = static_cast<double>(mantissa);
  magnitude = scale < 0 ? magnitude / kPowersOfTen[-scale] : magnitude * kPowersOfTen[scale];
  value = negative ? -magnitude : magnitude;
  return true;
}

}  // namespace

std::int32_t parseI4(const char* begin, const char* end) {
  bool negative;
  std::uint64_t magnitude = readInteger(begin, end, negative);
  if (negative) {
    constexpr std::uint64_t lowest = std::uint64_t{1} << 31;
    return magnitude >= lowest ? std::numeric_limits<std::int32_t>::min()
                               : -static_cast<std::int32_t>(magnitude);
  }
  return magnitude > std::numeric_limits<std::int32_t>::max()
             ? std::numeric_limits<std::int32_t>::max()
             : static_cast<std::int32_t>(magnitude);
}

std::uint32_t parseU4(const char* begin, const char* end) {
  bool negative;
  std::uint64_t magnitude = readInteger(begin, end, negative);
  if (magnitude > std::numeric_limits<std::uint32_t>::max())
    return std::numeric_limits<std::uint32_t>::max();
  auto value = static_cast<std::uint32_t>(magnitude);
  return negative ? 0u - value : value;
}

float parseFloat(const char* begin, const char* end) {
  double value;
  if (!fastDecimal(begin, end, value)) {
    std::string token(begin, end);
    value = std::strtod(token.c_str(), nullptr);
  }
  return static_cast<float>(value);
}

}  // namespace gv::gf
