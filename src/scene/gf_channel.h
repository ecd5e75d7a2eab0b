#pragma once
// Keyframe channels: every animatable quantity of a scene is a GF node that holds either a
// constant or samples baked once per frame. Channels are read by frame index (step reads,
// for what must not be blended) or at a fractional frame position (linear interpolation;
// rotations on the quaternion sphere). An absent channel (nullptr) reads as zero.
//
// Shapes: a GF_VALUE of type FP is a constant whose first elements are the components; a
// GF_VALUE of any other type is one component read as an FP_C stream with sample i at
// frame i; a GF_ARRAY of FP_C items holds one component per item.
#include "scene/gf.h"

#include <cstdint>

struct GFVec2 {
  float x = 0, y = 0;
};

struct GFVec3 {
  float x = 0, y = 0, z = 0;
};

// Linear reads at frame position t. Positions before the first sample read the first, and
// positions at or past the last read the last; in a multi-component read, a component that
// clamps the position clamps it for the components after it.
float GF_FP_Lerp(const GFNode* node, float t);
GFVec2 GF_FP2_Lerp(const GFNode* node, float t);
GFVec3 GF_FP3_Lerp(const GFNode* node, float t);
// Heading, pitch and bank in radians, interpolated along the shorter arc and returned as X,
// Y and Z Euler angles in radians.
GFVec3 GF_FP3_Slerp_HPB_To_XYZ(const GFNode* node, float t);

// Step reads at frame index i, clamped to the last sample (a negative index, compared
// unsigned, reads the last sample too).
float GF_FP_Get(const GFNode* node, std::int32_t i);
GFVec2 GF_FP2_Get(const GFNode* node, std::int32_t i);
GFVec3 GF_FP3_Get(const GFNode* node, std::int32_t i);
