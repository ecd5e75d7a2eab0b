#include "effects/defs/numbers.h"

#include <fast_atof.h>

#include <climits>
#include <cmath>
#include <cstdlib>

namespace gv {

namespace {
bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// fast_atof reads a lone sign, point or exponent letter as 0: a number needs a digit.
bool startsNumber(const char* p) {
  if (*p == '-' || *p == '+') ++p;
  if (*p == '.') ++p;
  return isDigit(*p);
}
}  // namespace

irr::u32 readNumbers(const char* text, irr::f32* values, irr::u32 count) {
  irr::u32 read = 0;
  const char* p = text;
  while (read < count) {
    while (isSeparator(*p)) ++p;
    if (!startsNumber(p)) break;
    p = irr::core::fast_atof_move(p, values[read]);
    ++read;
    if (*p != '\0' && !isSeparator(*p)) break;
  }
  for (irr::u32 i = read; i < count; ++i) values[i] = 0.f;
  return read;
}

irr::s32 readDecimalInteger(const char* text) {
  long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<irr::s32>(value);
}

irr::s32 truncateToInt(irr::f32 value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.f) return INT_MAX;
  if (value <= -2147483648.f) return INT_MIN;
  return static_cast<irr::s32>(value);
}

}  // namespace gv
