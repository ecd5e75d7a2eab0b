#include "scene/gf_channel.h"

#include "app/log/log.h"

#include <cmath>

namespace {

// Element k of a constant, 0 past its end.
float element(const GFItem& data, std::uint32_t k) { return k < data.count ? data.floats()[k] : 0.0f; }

bool isConstant(const GFNode* node) { return node->kind == GF_VALUE && node->type == GF_FP; }

bool isSampledArray(const GFNode* node, std::uint32_t components) {
  return node->kind == GF_ARRAY && node->type == GF_FP_C && node->count == components;
}

// Sample i of a stream of n samples, clamped to the last; nothing to read in an empty one.
float sampleAt(const GFItem& samples, std::uint32_t i) {
  if (samples.count == 0) return 0.0f;
  GFCursor cursor;
  return GF_FP_C_Get(samples, i < samples.count - 1 ? i : samples.count - 1, cursor);
}

struct SamplePair {
  float a = 0;
  float b = 0;
  std::uint32_t index = 0;
  bool clamped = true;
};

// The samples around frame position t. Clamping moves t to the sample it read, and the
// caller's later components see the moved position.
SamplePair lookUp(const GFItem& samples, float& t) {
  SamplePair pair;
  std::uint32_t n = samples.count;
  if (n == 0) {
    // Nothing to read; keep the index such that t - index stays a fraction.
    pair.index = t > 0 && t < 4294967296.0f ? static_cast<std::uint32_t>(t) : 0;
    return pair;
  }
  GFCursor cursor;
  if (!(t > 0)) {
    t = 0;
    pair.a = pair.b = GF_FP_C_Get(samples, 0, cursor);
    return pair;
  }
  std::uint32_t i = t < 4294967296.0f ? static_cast<std::uint32_t>(t) : n;
  if (i < n - 1) {
    pair.a = GF_FP_C_Get(samples, i, cursor);
    pair.b = GF_FP_C_Get(samples, i + 1, cursor);
    pair.index = i;
    pair.clamped = false;
    return pair;
  }
  t = static_cast<float>(n - 1);
  pair.a = pair.b = GF_FP_C_Get(samples, n - 1, cursor);
  pair.index = n - 1;
  return pair;
}

float lerp(const GFItem& samples, float& t) {
  SamplePair pair = lookUp(samples, t);
  if (pair.clamped) return pair.a;
  return pair.a + (t - static_cast<float>(pair.index)) * (pair.b - pair.a);
}

struct Quaternion {
  float x, y, z, w;
};

Quaternion fromAngles(float a, float b, float c) {
  double sa = std::sin(a * 0.5), ca = std::cos(a * 0.5);
  double sb = std::sin(b * 0.5), cb = std::cos(b * 0.5);
  double sc = std::sin(c * 0.5), cc = std::cos(c * 0.5);
  Quaternion q{static_cast<float>(sa * cb * cc - ca * sb * sc),
               static_cast<float>(ca * sb * cc + sa * cb * sc),
               static_cast<float>(ca * cb * sc - sa * sb * cc),
               static_cast<float>(ca * cb * cc + sa * sb * sc)};
  float m = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
  if (m != 1.0f) {
    float scale = 1.0f / std::sqrt(m);
    q = Quaternion{q.x * scale, q.y * scale, q.z * scale, q.w * scale};
  }
  return q;
}

GFVec3 toEuler(const Quaternion& q) {
  double x = q.x, y = q.y, z = q.z, w = q.w;
  auto s = static_cast<float>(2.0 * (w * y - x * z));
  if (!(s < 1.0f))
    s = 1.0f;
  else if (s < -1.0f)
    s = -1.0f;
  return GFVec3{static_cast<float>(std::atan2(2.0 * (z * y + w * x), z * z - y * y - x * x + w * w)),
                static_cast<float>(std::asin(static_cast<double>(s))),
                static_cast<float>(std::atan2(2.0 * (z * w + x * y), w * w + x * x - y * y - z * z))};
}

// The rotation as the engine's X, Y, Z Euler angles: through Euler angles once, back to a
// quaternion, and read again with the x and y axes exchanged.
GFVec3 toEngineAngles(const Quaternion& q) {
  GFVec3 e = toEuler(q);
  Quaternion back = fromAngles(e.x, e.y, e.z);
  return toEuler(Quaternion{back.y, back.x, back.z, back.w});
}

Quaternion slerp(Quaternion q0, const Quaternion& q1, float f) {
  float d = q0.x * q1.x + q0.y * q1.y + q0.z * q1.z + q0.w * q1.w;
  if (d < 0) {
    d = -d;
    q0 = Quaternion{-q0.x, -q0.y, -q0.z, -q0.w};
  }
  float w0 = 1 - f;
  float w1 = f;
  if (1 - d >= 0.05f) {
    float theta = std::acos(d);
    float sinTheta = std::sin(theta);
    w0 = std::sin((1 - f) * theta) / sinTheta;
    w1 = std::sin(f * theta) / sinTheta;
  }
  return Quaternion{w0 * q0.x + w1 * q1.x, w0 * q0.y + w1 * q1.y, w0 * q0.z + w1 * q1.z,
                    w0 * q0.w + w1 * q1.w};
}

GFVec3 slerpSamples(const GFNode* node, float t) {
  SamplePair heading = lookUp(node->items[0], t);
  SamplePair pitch = lookUp(node->items[1], t);
  SamplePair bank = lookUp(node->items[2], t);
  float f = t - static_cast<float>(bank.index);
  Quaternion q0 = fromAngles(heading.a, pitch.a, bank.a);
  Quaternion q1 = fromAngles(heading.b, pitch.b, bank.b);
  return toEngineAngles(slerp(q0, q1, f));
}

// Item k's sample at index i, for step reads of arrays.
float itemSample(const GFNode* node, std::uint32_t k, std::uint32_t i) {
  if (k >= node->count) return 0.0f;
  return node->type == GF_FP ? element(node->items[k], 0) : sampleAt(node->items[k], i);
}

// Component k of a step read at index i.
float stepComponent(const GFNode* node, std::uint32_t k, std::uint32_t i) {
  if (!node) return 0.0f;
  switch (node->kind) {
    case GF_VALUE: return isConstant(node) ? element(node->value(), k) : sampleAt(node->value(), i);
    case GF_ARRAY: return itemSample(node, k, i);
    default: return 0.0f;
  }
}

}  // namespace

float GF_FP_Lerp(const GFNode* node, float t) {
  if (!node || node->kind == GF_NODE) return 0.0f;
  if (node->kind == GF_ARRAY) {
    gvPrint("GF_FP_Lerp not supported on array\n");
    return 0.0f;
  }
  if (isConstant(node)) return element(node->value(), 0);
  return lerp(node->value(), t);
}

GFVec2 GF_FP2_Lerp(const GFNode* node, float t) {
  if (!node) return GFVec2{};
  if (isConstant(node)) return GFVec2{element(node->value(), 0), element(node->value(), 1)};
  if (!isSampledArray(node, 2)) {
    gvPrint("GF_FP2_Lerp: unsupported value/valtype/array size\n");
    return GFVec2{};
  }
  GFVec2 result;
  result.x = lerp(node->items[0], t);
  result.y = lerp(node->items[1], t);
  return result;
}

GFVec3 GF_FP3_Lerp(const GFNode* node, float t) {
  if (!node) return GFVec3{};
  if (isConstant(node))
    return GFVec3{element(node->value(), 0), element(node->value(), 1), element(node->value(), 2)};
  if (!isSampledArray(node, 3)) {
    gvPrint("GF_FP3_Lerp: unsupported value/valtype/array size\n");
    return GFVec3{};
  }
  GFVec3 result;
  result.x = lerp(node->items[0], t);
  result.y = lerp(node->items[1], t);
  result.z = lerp(node->items[2], t);
  return result;
}

GFVec3 GF_FP3_Slerp_HPB_To_XYZ(const GFNode* node, float t) {
  if (!node) return GFVec3{};
  if (isConstant(node)) {
    const GFItem hpb = node->value();
    return toEngineAngles(fromAngles(element(hpb, 0), element(hpb, 1), element(hpb, 2)));
  }
  if (!isSampledArray(node, 3)) {
    gvPrint("GF_FP3_Slerp_HPB_To_XYZ: unsupported value/valtype/array size\n");
    return GFVec3{};
  }
  return slerpSamples(node, t);
}

float GF_FP_Get(const GFNode* node, std::int32_t i) {
  return stepComponent(node, 0, static_cast<std::uint32_t>(i));
}

GFVec2 GF_FP2_Get(const GFNode* node, std::int32_t i) {
  auto index = static_cast<std::uint32_t>(i);
  return GFVec2{stepComponent(node, 0, index), stepComponent(node, 1, index)};
}

GFVec3 GF_FP3_Get(const GFNode* node, std::int32_t i) {
  auto index = static_cast<std::uint32_t>(i);
  return GFVec3{stepComponent(node, 0, index), stepComponent(node, 1, index),
                stepComponent(node, 2, index)};
}
