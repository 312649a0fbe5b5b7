// triangle_batch.cpp: prepare_triangle's decision for eight triangles at
// once, in eight-lane vectors (raster_lanes.h), each lane doing the scalar
// set-up's operations in the same order: the box from the corners' columns
// and rows, the area's reciprocal and its finiteness, and for a box of at
// most kSmallBoxPixels pixels the weights at each of its pixels.
#include "gfx/triangle_batch.h"

#include <utility>

#include "gfx/cpu_features.h"
#include "gfx/framebuffer.h"
#include "gfx/raster_lanes.h"

namespace vel {

namespace {

// The scalar decision, for processors without AVX2 (and as the rule the
// lanes follow).
uint32_t batch_draws_one_by_one(const TriangleBatch& batch, const VertexTable& table,
                                const FillRules& rules) {
  uint32_t draws = 0;
  for (int i = 0; i < batch.count; ++i) {
    TriangleSetup t;
    if (prepare_triangle(screen_at(table, batch.entry[0][i]), screen_at(table, batch.entry[1][i]),
                         screen_at(table, batch.entry[2][i]), rules, t)) {
      draws |= 1u << i;
    }
  }
  return draws;
}

#if defined(__x86_64__)
// Eight lanes, one triangle each.
using F = lanes::Lanes<8>::F;
using I = lanes::Lanes<8>::I;

template <typename V, typename T, size_t... K>
[[gnu::always_inline]] inline void gather(const T* from, const uint32_t* at, V& out,
                                          std::index_sequence<K...>) {
  out = V{from[at[K]]...};
}

// The lanes' values of one corner.
struct Corners {
  F x, y;
  I column, row;
};

[[gnu::target(VEL_AVX2), gnu::always_inline]] inline void load_corner(const VertexTable& table,
                                                                      const uint32_t* at,
                                                                      Corners& out) {
  const auto lanes = std::make_index_sequence<8>{};
  gather(table.ndc_x, at, out.x, lanes);
  gather(table.ndc_y, at, out.y, lanes);
  gather(table.column, at, out.column, lanes);
  gather(table.row, at, out.row, lanes);
}

// The box's first pixel on one axis, std::max(0, std::min({a, b, c})), and
// its last, std::min(last, std::max({a, b, c})).
[[gnu::target(VEL_AVX2), gnu::always_inline]] inline I box_begin(const I& a, const I& b,
                                                                 const I& c) {
  const I ab = a < b ? a : b;
  const I abc = ab < c ? ab : c;
  return abc < 0 ? I{} : abc;
}

[[gnu::target(VEL_AVX2), gnu::always_inline]] inline I box_end(const I& a, const I& b, const I& c,
                                                               int32_t last) {
  const I ab = a < b ? b : a;
  const I abc = ab < c ? c : ab;
  return last < abc ? I{} + last : abc;
}

// What the test of one pixel of the box needs.
struct PixelTest {
  I x_begin, y_begin, pixels;
  F x3, y3, inv, l1_dx, l1_dy, l2_dx, l2_dy;
};

// The lanes whose pixel k, at (off_x, off_y) in the box, lies in the box and
// in the field and passes the three weight tests (not-a-number passes).
[[gnu::target(VEL_AVX2), gnu::always_inline]] inline I covered(const PixelTest& t,
                                                               const FillRules& rules, int32_t k,
                                                               const I& off_x, const I& off_y) {
  const I x = t.x_begin + off_x;
  const I y = t.y_begin + off_y;
  const I in_box = t.pixels > k;
  // row_in_field of the stored row H - 1 - y (not negative inside the box)
  I in_field = rules.flags.interlace != 0
                   ? (((rules.height - 1 - y) & 1) != int32_t{rules.flags.odd_field})
                   : I{} - 1;
  // and row_in_band (stripes of kBandRows = 32 rows).
  if (rules.flags.band_count > 1) {
    static_assert(kBandRows == 32, "the stripe of a row is its stored row shifted by 5");
    in_field &= (((rules.height - 1 - y) >> 5) % int32_t{rules.flags.band_count}) ==
                int32_t{rules.flags.band};
  }
  const F px = __builtin_convertvector(x, F) * rules.step_x - 1.0f;
  const F dx = px - t.x3;
  const F py = __builtin_convertvector(y, F) * rules.step_y - 1.0f;
  const F dy = py - t.y3;
  const F l1 = t.l1_dx * dx + t.l1_dy * dy;
  const F l2 = (t.l2_dx * dx + t.l2_dy * dy) * t.inv;
  const F l3 = 1.0f - l1 - l2;
  return in_box & in_field & ~(l1 < 0.0f) & ~(l2 < 0.0f) & ~(l3 < 0.0f);
}

[[gnu::target(VEL_AVX2)]] uint32_t batch_draws_8(const TriangleBatch& batch,
                                                 const VertexTable& table, const FillRules& rules) {
  Corners v1, v2, v3;
  load_corner(table, batch.entry[0], v1);
  load_corner(table, batch.entry[1], v2);
  load_corner(table, batch.entry[2], v3);

  const I zero_i{};
  const I x_begin = box_begin(v1.column, v2.column, v3.column);
  const I x_end = box_end(v1.column, v2.column, v3.column, rules.width - 1);
  const I y_begin = box_begin(v1.row, v2.row, v3.row);
  const I y_end = box_end(v1.row, v2.row, v3.row, rules.height - 1);
  const I filled = (x_begin <= x_end) & (y_begin <= y_end);

  const F x1 = v1.x, y1 = v1.y, x2 = v2.x, y2 = v2.y, x3 = v3.x, y3 = v3.y;
  const F inv = 1.0f / ((x1 - x3) * (y2 - y3) - (x3 - x2) * (y3 - y1));
  const I finite = (reinterpret_cast<I>(inv) & 0x7f800000) != 0x7f800000;
  const F l1_dx = (y2 - y3) * inv;
  const F l1_dy = (x3 - x2) * inv;
  const F l2_dx = y3 - y1;
  const F l2_dy = x1 - x3;

  // Sizes of the box, taken where it is not empty (elsewhere a pixel, so
  // that nothing overflows); at most the target's size.
  const I columns = (filled ? x_end : x_begin) - x_begin + 1;
  const I rows = (filled ? y_end : y_begin) - y_begin + 1;
  const I pixels = columns * rows;
  const I large = pixels > kSmallBoxPixels;

  // Pixel k of a small box: (k % columns, k / columns), k = 0..3.
  static_assert(kSmallBoxPixels == 4, "the small box's pixels are tested one by one below");
  const I one = columns == 1, two = columns == 2, three = columns == 3;
  PixelTest test;
  // An empty box may start at 2^31 - 1 (a saturated corner); its lanes are
  // dropped below, and starting them at 0 keeps their pixel steps in range.
  test.x_begin = filled ? x_begin : zero_i;
  test.y_begin = filled ? y_begin : zero_i;
  test.pixels = pixels;
  test.x3 = x3;
  test.y3 = y3;
  test.inv = inv;
  test.l1_dx = l1_dx;
  test.l1_dy = l1_dy;
  test.l2_dx = l2_dx;
  test.l2_dy = l2_dy;
  const I covers = covered(test, rules, 0, zero_i, zero_i) |
                   covered(test, rules, 1, one ? zero_i : zero_i + 1, one ? zero_i + 1 : zero_i) |
                   covered(test, rules, 2, one | two ? zero_i : zero_i + 2,
                           one ? zero_i + 2 : (two ? zero_i + 1 : zero_i)) |
                   covered(test, rules, 3, one | three ? zero_i : (two ? zero_i + 1 : zero_i + 3),
                           one ? zero_i + 3 : (two | three ? zero_i + 1 : zero_i));
  const I draws = filled & finite & (large | covers);
  return lanes::lane_bits<8>(draws) & ((1u << batch.count) - 1u);
}
#endif

}  // namespace

uint32_t batch_draws(const TriangleBatch& batch, const VertexTable& table, const FillRules& rules) {
#if defined(__x86_64__)
  if (rules.lane_limit >= 8 && cpu_has_avx2()) return batch_draws_8(batch, table, rules);
#endif
  return batch_draws_one_by_one(batch, table, rules);
}

}  // namespace vel
