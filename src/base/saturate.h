// saturate.h: the float-to-integer conversions of the whole system.
//
// A bare cast of an out-of-range float is undefined behaviour in C++; the
// rules of the game instead want truncation toward zero that saturates at the
// ends of the target range and turns not-a-number into 0. Every such
// conversion goes through one of these functions, never a cast.
#pragma once

#include <cmath>
#include <cstdint>

namespace vel {

// Truncate toward zero into int32, saturating; NaN gives 0.
inline int32_t trunc_i32(float v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483648.0f) return INT32_MAX;
  if (v <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Truncate toward zero into uint32, saturating; negatives and NaN give 0.
inline uint32_t trunc_u32(float v) {
  if (std::isnan(v) || v <= 0.0f) return 0;
  if (v >= 4294967296.0f) return UINT32_MAX;
  return static_cast<uint32_t>(v);
}

// The float-to-byte rule: trunc(clamp(v, 0, 255)) for a value already scaled
// to 0..255. NaN gives 0.
inline uint8_t clamp_byte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 255.0f) return 255;
  return static_cast<uint8_t>(v);
}

// A channel in 0..1 becomes trunc(clamp(c * 255, 0, 255)).
inline uint8_t channel_byte(float c) {
  return clamp_byte(c * 255.0f);
}

}  // namespace vel
