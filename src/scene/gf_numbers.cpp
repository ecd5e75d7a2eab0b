#include "scene/gf_numbers.h"

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

struct Decimal {
  std::uint64_t mantissa = 0;
  int digits = 0;  // significant digits in the mantissa
  int scale = 0;   // power of ten
  bool any = false;

  void take(char c) {
    any = true;
    if (mantissa == 0 && c == '0') return;
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
    ++digits;
  }
};

// Reads a plain decimal at `at` in one pass; returns where it stopped, or nullptr when the
// text there needs strtod.
const char* scanDecimal(const char* at, const char* end, double& value) {
  bool negative = at < end && *at == '-';
  if (at < end && (*at == '-' || *at == '+')) ++at;
  Decimal d;
  for (; at < end && isDigit(*at); ++at) d.take(*at);
  if (at < end && *at == '.') {
    for (++at; at < end && isDigit(*at); ++at) {
      d.take(*at);
      --d.scale;
    }
  }
  if (!d.any || d.digits > 15) return nullptr;
  if (at < end && (*at == 'e' || *at == 'E')) {
    ++at;
    bool negativeExponent = at < end && *at == '-';
    if (at < end && (*at == '-' || *at == '+')) ++at;
    int exponent = 0;
    const char* digits = at;
    for (; at < end && isDigit(*at) && at - digits < 4; ++at) exponent = exponent * 10 + (*at - '0');
    if (at == digits || (at < end && isDigit(*at))) return nullptr;
    d.scale += negativeExponent ? -exponent : exponent;
  }
  if (d.mantissa != 0 && (d.scale < -22 || d.scale > 22)) return nullptr;
  double magnitude = static_cast<double>(d.mantissa);
  if (d.mantissa != 0)
    magnitude = d.scale < 0 ? magnitude / kPowersOfTen[-d.scale] : magnitude * kPowersOfTen[d.scale];
  value = negative ? -magnitude : magnitude;
  return at;
}

float strtodFloat(const char* begin, const char* end) {
  std::string token(begin, end);
  return static_cast<float>(std::strtod(token.c_str(), nullptr));
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
  if (scanDecimal(begin, end, value) == end) return static_cast<float>(value);
  return strtodFloat(begin, end);
}

const char* parseFloatToken(const char* at, const char* end, float& value) {
  double decimal;
  const char* stop = scanDecimal(at, end, decimal);
  if (stop && (stop == end || *stop == ' ' || *stop == '\t')) {
    value = static_cast<float>(decimal);
    return stop;
  }
  stop = at;
  while (stop < end && *stop != ' ' && *stop != '\t') ++stop;
  value = strtodFloat(at, stop);
  return stop;
}

}  // namespace gv::gf
