// raster_rows.cpp: the row bounds of the fast fill, worked out in doubles
// with the rounding bounds explained in raster_rows.h.
#include "gfx/raster_rows.h"

#include <algorithm>
#include <cmath>

namespace vel {

namespace {

constexpr double kUnitRoundoff = 0x1p-24;
// Absolute slack for results that fall into the subnormal range, where the
// relative bound no longer holds.
constexpr double kTinySlack = 1e-30;
constexpr float kModerate = 1e12f;

bool moderate(float v) {
  return std::fabs(v) <= kModerate;  // false for not-a-number and infinities
}

// Bound on |dx| (or |dy|) over the pixels first..last of the box, and on its
// rounding: (i * step - 1) - v takes three roundings, of at most u times 2,
// 1 and the result's size (plus 2u).
void offset_reach(int32_t first, int32_t last, double step, double v, double& reach,
                  double& error) {
  const double exact =
      std::max(std::fabs(first * step - 1.0 - v), std::fabs(last * step - 1.0 - v));
  error = kUnitRoundoff * (8.0 + 2.0 * exact);
  reach = exact + error;
}

// The weight with slope a and line value b0 + b1 c1 + b2 c2 at x = 0, kept
// where it may reach -e.
WeightLimit weight_limit(double a, double b0, double b1, double b2, double e) {
  WeightLimit limit;
  // The sum -e - b, whose sign decides a flat weight's row.
  limit.at = -e - b0;
  limit.per_c1 = -b1;
  limit.per_c2 = -b2;
  if (a == 0.0) return limit;
  limit.kind = a > 0.0 ? WeightLimit::Kind::rising : WeightLimit::Kind::falling;
  const double reciprocal = 1.0 / a;
  limit.at *= reciprocal;
  limit.per_c1 *= reciprocal;
  limit.per_c2 *= reciprocal;
  return limit;
}

}  // namespace

RowBoundModel row_bound_model(const TriangleSetup& t) {
  RowBoundModel m;
  if (!(moderate(t.l1_dx) && moderate(t.l1_dy) && moderate(t.l2_dx) && moderate(t.l2_dy) &&
        moderate(t.inv) && moderate(t.x3) && moderate(t.y3))) {
    return m;
  }
  const double u = kUnitRoundoff;
  const double s = t.step_x;
  const double a1 = t.l1_dx, b1_row = t.l1_dy, a2 = t.l2_dx, b2_row = t.l2_dy;
  const double inv = t.inv;
  double dx_reach = 0.0, dx_error = 0.0, dy_reach = 0.0, dy_error = 0.0;
  offset_reach(t.x_begin, t.x_end, s, t.x3, dx_reach, dx_error);
  offset_reach(t.y_begin, t.y_end, t.step_y, t.y3, dy_reach, dy_error);
  // Largest sizes of the rows' products c1, c2 (one rounding each).
  const double c1_reach = std::fabs(b1_row) * dy_reach * (1.0 + 2.0 * u);
  const double c2_reach = std::fabs(b2_row) * dy_reach * (1.0 + 2.0 * u);

  const double abs_inv = std::fabs(inv);
  // l1 = fl(fl(a1 dx) + c1): the error carried in dx, then two roundings.
  const double size1 = std::fabs(a1) * dx_reach + c1_reach;
  const double e1 = std::fabs(a1) * dx_error + 3.0 * u * size1 + kTinySlack;
  // l2 = fl(fl(fl(a2 dx) + c2) * inv).
  const double inner_size2 = std::fabs(a2) * dx_reach + c2_reach;
  const double inner_e2 = std::fabs(a2) * dx_error + 3.0 * u * inner_size2 + kTinySlack;
  const double size2 = abs_inv * (inner_size2 + inner_e2);
  const double e2 = abs_inv * inner_e2 + 3.0 * u * size2 + kTinySlack;
  // l3 = fl(fl(1 - l1) - l2): both errors, then two roundings.
  const double e3 = e1 + e2 + 3.0 * u * (2.0 + 2.0 * (size1 + e1) + size2 + e2) + kTinySlack;

  // L1 = a1 s x + (a1 (-1 - x3) + c1), L2 = (a2 s x + a2 (-1 - x3) + c2) inv,
  // L3 = 1 - L1 - L2.
  const double slope1 = a1 * s;
  const double slope2 = a2 * s * inv;
  const double base1 = a1 * (-1.0 - static_cast<double>(t.x3));
  const double base2 = a2 * (-1.0 - static_cast<double>(t.x3)) * inv;
  m.limits[0] = weight_limit(slope1, base1, 1.0, 0.0, 2.0 * e1);
  m.limits[1] = weight_limit(slope2, base2, 0.0, inv, 2.0 * e2);
  m.limits[2] = weight_limit(-(slope1 + slope2), 1.0 - base1 - base2, -1.0, -inv, 2.0 * e3);
  m.usable = true;
  return m;
}

// Limits are held within a few pixels of the box before they become
// integers, and truncating a limit never narrows more than rounding it
// outward would (x_lo keeps trunc - 1 <= floor - 1 for limits >= 0, below
// which the box's own start wins; x_hi keeps trunc + 2 >= ceil + 1).
void row_span(const RowBoundModel& m, const TriangleSetup& t, float c1, float c2, int32_t& x_lo,
              int32_t& x_hi) {
  const double low = t.x_begin - 4.0;
  const double high = t.x_end + 4.0;
  for (const WeightLimit& limit : m.limits) {
    const double x = limit.at + limit.per_c1 * c1 + limit.per_c2 * c2;
    // Each clamp sends a not-a-number limit (which moderate constants rule
    // out anyway) to the end that leaves the row whole.
    if (limit.kind == WeightLimit::Kind::rising) {
      const double from = x > low ? (x < high ? x : high) : low;
      x_lo = std::max(x_lo, static_cast<int32_t>(from) - 1);
    } else if (limit.kind == WeightLimit::Kind::falling) {
      const double to = x < high ? (x > low ? x : low) : high;
      x_hi = std::min(x_hi, static_cast<int32_t>(to) + 2);
    } else if (x > 0.0) {
      x_hi = x_lo - 1;
    }
  }
}

}  // namespace vel
