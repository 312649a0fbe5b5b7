// matrix.cpp: the 4x4 matrix product, matrix-times-point and the axis
// rotations every placement and camera matrix is built from.
#include "gfx/matrix.h"

#include <cmath>

namespace vel {

Mat4 mat4_identity() {
  return Mat4{};
}

// Each output row is a[r][0]*row0(b) + a[r][1]*row1(b) + a[r][2]*row2(b) +
// a[r][3]*row3(b), summed left to right: four row-times-matrix combinations
// that map onto four-wide float arithmetic without changing the rounding.
Mat4 mat4_mul(const Mat4& a, const Mat4& b) {
  Mat4 out;
  for (int r = 0; r < 4; ++r) {
    const float a0 = a.m[4 * r + 0];
    const float a1 = a.m[4 * r + 1];
    const float a2 = a.m[4 * r + 2];
    const float a3 = a.m[4 * r + 3];
    for (int c = 0; c < 4; ++c) {
      out.m[4 * r + c] = a0 * b.m[c] + a1 * b.m[4 + c] + a2 * b.m[8 + c] + a3 * b.m[12 + c];
    }
  }
  return out;
}

Vec4 mat4_apply(const Mat4& m, Vec3 p) {
  const float* e = m.m;
  return {e[0] * p.x + e[1] * p.y + e[2] * p.z + e[3], e[4] * p.x + e[5] * p.y + e[6] * p.z + e[7],
          e[8] * p.x + e[9] * p.y + e[10] * p.z + e[11],
          e[12] * p.x + e[13] * p.y + e[14] * p.z + e[15]};
}

Vec3 mat4_apply_point(const Mat4& m, Vec3 p) {
  const Vec4 q = mat4_apply(m, p);
  return {q.x, q.y, q.z};
}

Vec3 mat4_apply_vector(const Mat4& m, Vec3 v) {
  const float* e = m.m;
  return {e[0] * v.x + e[1] * v.y + e[2] * v.z,  //
          e[4] * v.x + e[5] * v.y + e[6] * v.z,  //
          e[8] * v.x + e[9] * v.y + e[10] * v.z};
}

// sinf and cosf of the same angle; the compiler may fuse them into one
// sincosf call, which rounds identically.
Mat4 axis_rotation(uint8_t axis, float angle) {
  const float c = std::cos(angle);
  const float s = std::sin(angle);
  Mat4 r;
  if (axis == 0) {
    r.at(1, 1) = c;
    r.at(1, 2) = -s;
    r.at(2, 1) = s;
    r.at(2, 2) = c;
  } else if (axis == 1) {
    r.at(0, 0) = c;
    r.at(0, 2) = s;
    r.at(2, 0) = -s;
    r.at(2, 2) = c;
  } else {
    r.at(0, 0) = c;
    r.at(0, 1) = -s;
    r.at(1, 0) = s;
    r.at(1, 1) = c;
  }
  return r;
}

}  // namespace vel
