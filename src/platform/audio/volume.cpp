// Volume percent and attenuation. Scripts have always heard these exact numbers (90 % is
// -88, not the -91.5 of a true logarithm), so the cheap float approximations stay.
#include "platform/audio/music_player.h"

#include <cstring>

namespace gv::audio {
namespace {

std::uint32_t bitsOf(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

float floatOf(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// log10 from the float's exponent and a quadratic fit of log2 over its mantissa. The sign
// bit is ignored.
float approximateLog10(float value) {
  std::uint32_t bits = bitsOf(value);
  int exponent = static_cast<int>((bits >> 23) & 0xFF) - 127;
  float mantissa = floatOf((bits & 0x007FFFFF) | 0x3F800000);  // 1 <= mantissa < 2
  float log2 = (mantissa * -0.33333334f + 2.0f) * mantissa - 1.6666666f + static_cast<float>(exponent);
  return log2 * 0.30103f;
}

// 2^x from its whole part, put straight into the exponent, and a quadratic fit of the rest.
float approximatePow2(float x) {
  int whole = static_cast<int>(x);
  float fraction = x - static_cast<float>(whole);
  float power = fraction * (fraction * 0.25f + 0.75f) + 1.0f;
  return floatOf(bitsOf(power) + static_cast<std::uint32_t>(whole) * (1u << 23));
}

}  // namespace

int attenuationFromPercent(int percent) {
  float volume = static_cast<float>(percent) / 100.0f;
  float decibels = approximateLog10(volume) * 20.0f;
  float attenuation = decibels * 100.0f;
  if (attenuation < static_cast<float>(kSilence)) attenuation = static_cast<float>(kSilence);
  if (attenuation > 0.0f) attenuation = 0.0f;
  return static_cast<int>(attenuation);
}

int percentFromAttenuation(int attenuation) {
  if (attenuation < kSilence) attenuation = kSilence;
  if (attenuation > 0) attenuation = 0;
  float decibels = static_cast<float>(attenuation) / 100.0f / 20.0f;
  float ratio = approximatePow2(decibels * 3.321928f);
  return static_cast<int>(100.0f * ratio);
}

}  // namespace gv::audio
