// matrix.h: the 4x4 matrix product and the axis rotations.
#pragma once

#include <cstdint>

#include "gfx/vec.h"

namespace vel {

Mat4 mat4_identity();
// out[r][c] = sum_k a[r][k] * b[k][c], k ascending.
Mat4 mat4_mul(const Mat4& a, const Mat4& b);
// M * (p, 1), all four rows.
struct Vec4 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 0.0f;
};
Vec4 mat4_apply(const Mat4& m, Vec3 p);
// First three rows of M * (p, 1).
Vec3 mat4_apply_point(const Mat4& m, Vec3 p);
// Upper-left 3x3 of M applied to v.
Vec3 mat4_apply_vector(const Mat4& m, Vec3 v);
// Rotation about x (axis 0), y (axis 1) or z (any other value); c and s from
// one sine-and-cosine evaluation.
Mat4 axis_rotation(uint8_t axis, float angle);

}  // namespace vel
