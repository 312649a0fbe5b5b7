// vec.h: the small value types every subsystem shares (vectors, colours,
// screen points, 4x4 matrices) and their component-wise helpers.
//
// All arithmetic is single precision and written in the order the formulas
// read; nothing here may be reordered or fused (the build uses
// -ffp-contract=off), because pictures must come out identical to the byte.
#pragma once

#include <cmath>
#include <cstdint>

namespace vel {

struct Vec2 {
  float x = 0.0f;
  float y = 0.0f;
};

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Colour channels are nominally 0..1; A is the blend weight.
struct Colour {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 0.0f;
};

// Screen pixel, x to the right, y upward from the bottom row.
struct Point2 {
  int32_t x = 0;
  int32_t y = 0;
};

// Row-major: element (r, c) is m[4 * r + c]. Acts on column vectors, so a
// translation sits in column 3 (elements 3, 7, 11).
struct Mat4 {
  float m[16] = {1.0f, 0.0f, 0.0f, 0.0f,  //
                 0.0f, 1.0f, 0.0f, 0.0f,  //
                 0.0f, 0.0f, 1.0f, 0.0f,  //
                 0.0f, 0.0f, 0.0f, 1.0f};
  float at(int r, int c) const { return m[4 * r + c]; }
  float& at(int r, int c) { return m[4 * r + c]; }
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator-(Vec3 a) {
  return {-a.x, -a.y, -a.z};
}
inline Vec3 operator*(Vec3 a, float s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator/(Vec3 a, float s) {
  return {a.x / s, a.y / s, a.z / s};
}
inline bool operator==(Vec3 a, Vec3 b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator==(Vec2 a, Vec2 b) {
  return a.x == b.x && a.y == b.y;
}

inline float dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length_squared(Vec3 a) {
  return dot(a, a);
}
inline float length(Vec3 a) {
  return std::sqrt(dot(a, a));
}
inline float distance(Vec3 a, Vec3 b) {
  return length(a - b);
}

// Position held in column 3 of an affine matrix.
inline Vec3 translation_of(const Mat4& t) {
  return {t.m[3], t.m[7], t.m[11]};
}
inline void set_translation(Mat4& t, Vec3 p) {
  t.m[3] = p.x;
  t.m[7] = p.y;
  t.m[11] = p.z;
}

}  // namespace vel
