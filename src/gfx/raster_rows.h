// raster_rows.h: the fast fill's per-triangle values and the bounds of the
// pixels of a row that can belong to a triangle.
#pragma once

#include <cstdint>

namespace vel {

// The reference's per-triangle values, computed with its very expressions.
struct TriangleSetup {
  float r1 = 0.0f, r2 = 0.0f, r3 = 0.0f;  // 1 / w
  float z1 = 0.0f, z2 = 0.0f, z3 = 0.0f;  // normalised depth
  float x3 = 0.0f, y3 = 0.0f;
  float inv = 0.0f;
  float l1_dx = 0.0f, l1_dy = 0.0f;  // (Y2 - Y3) * inv, (X3 - X2) * inv
  float l2_dx = 0.0f, l2_dy = 0.0f;  // Y3 - Y1, X1 - X3
  float step_x = 0.0f, step_y = 0.0f;
  int32_t x_begin = 0, x_end = -1, y_begin = 0, y_end = -1;
};

// On a row, with c1 = l1_dy * dy and c2 = l2_dy * dy fixed, the reference
// computes for pixel x
//   dx = (x * step_x - 1) - x3
//   l1 = l1_dx * dx + c1,  l2 = (l2_dx * dx + c2) * inv,  l3 = (1 - l1) - l2
// in floats. Without rounding each weight is a straight line in x, L_k(x) =
// a_k x + b_k. Each float operation is off by at most half a unit in the last
// place of its result (u = 2^-24 relative), so anywhere in the box every
// computed weight lies within E_k of its line, E_k being bounded from the
// largest sizes the terms reach in the box. A pixel whose line value is below
// -E_k therefore fails its test for certain; a row's bounds keep every other
// pixel, with each E_k doubled and a pixel to spare on each side.
//
// Where L_k(x) = -E_k, that is at x = (-E_k - b_k) / a_k, is a straight
// function of the row's c1 and c2, so each row costs two products and two
// sums per weight. Lines and bounds are worked out in doubles: their own
// rounding (2^-53 of the terms) is far inside the slack, which is at least
// 3u of the same terms.
//
// The bound needs finite, moderate constants: with every constant at most
// 1e12 in size no intermediate can overflow, so no weight can become
// not-a-number (which would pass the tests). Triangles outside that range,
// which the game never produces, are walked over their whole box.

// One weight's limit on a row: x = at + per_c1 * c1 + per_c2 * c2. A rising
// weight keeps the pixels from x on, a falling one those up to x; a flat one
// keeps the whole row or none of it (none when that sum is above 0).
struct WeightLimit {
  enum class Kind : uint8_t { rising, falling, flat };
  Kind kind = Kind::flat;
  double at = 0.0;
  double per_c1 = 0.0;
  double per_c2 = 0.0;
};

struct RowBoundModel {
  bool usable = false;
  WeightLimit limits[3];
};

RowBoundModel row_bound_model(const TriangleSetup& t);

// Narrows [x_lo, x_hi] (the box's row) to the pixels of one row that can
// belong to the triangle, c1 and c2 being the row's l1_dy * dy and
// l2_dy * dy; x_lo > x_hi when none can.
void row_span(const RowBoundModel& m, const TriangleSetup& t, float c1, float c2, int32_t& x_lo,
              int32_t& x_hi);

}  // namespace vel
