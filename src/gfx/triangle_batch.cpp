// triangle_batch.cpp: prepare_triangle's decision for eight triangles at
// once, each lane doing the scalar set-up's operations in the same order:
// the box from the corners' columns and rows, the area's reciprocal and its
// finiteness, and for a box of at most four pixels the weights at each of
// its pixels.
#include "gfx/triangle_batch.h"

#include <utility>

#include "gfx/cpu_features.h"
#include "gfx/framebuffer.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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
typedef float F8 __attribute__((vector_size(32)));
typedef int32_t I8 __attribute__((vector_size(32)));

template <typename V, typename T, size_t... K>
[[gnu::always_inline]] inline void gather(const T* from, const uint32_t* at, V& out,
                                          std::index_sequence<K...>) {
  out = V{from[at[K]]...};
}

// The lanes' values of one corner.
struct Corners {
  F8 x, y;
  I8 column, row;
};

[[gnu::target("avx2"), gnu::always_inline]] inline void load_corner(const VertexTable& table,
                                                                    const uint32_t* at,
                                                                    Corners& out) {
  const auto lanes = std::make_index_sequence<8>{};
  gather(table.ndc_x, at, out.x, lanes);
  gather(table.ndc_y, at, out.y, lanes);
  gather(table.column, at, out.column, lanes);
  gather(table.row, at, out.row, lanes);
}

[[gnu::target("avx2"), gnu::always_inline]] inline I8 lesser(const I8& a, const I8& b) {
  return a < b ? a : b;
}

[[gnu::target("avx2"), gnu::always_inline]] inline I8 greater(const I8& a, const I8& b) {
  return a < b ? b : a;
}

// What the test of one pixel of the box needs.
struct PixelTest {
  I8 x_begin, y_begin, pixels;
  F8 x3, y3, inv, l1_dx, l1_dy, l2_dx, l2_dy;
};

// The lanes whose pixel k, at (off_x, off_y) in the box, lies in the box and
// in the field and passes the three weight tests (not-a-number passes).
[[gnu::target("avx2"), gnu::always_inline]] inline I8 covered(const PixelTest& t,
                                                              const FillRules& rules, int32_t k,
                                                              const I8& off_x, const I8& off_y) {
  const I8 x = t.x_begin + off_x;
  const I8 y = t.y_begin + off_y;
  const I8 in_box = t.pixels > k;
  // row_in_field of the stored row H - 1 - y (not negative inside the box).
  const I8 in_field = rules.flags.interlace != 0
                          ? (((rules.height - 1 - y) & 1) != int32_t{rules.flags.odd_field})
                          : I8{} - 1;
  const F8 px = __builtin_convertvector(x, F8) * rules.step_x - 1.0f;
  const F8 dx = px - t.x3;
  const F8 py = __builtin_convertvector(y, F8) * rules.step_y - 1.0f;
  const F8 dy = py - t.y3;
  const F8 l1 = t.l1_dx * dx + t.l1_dy * dy;
  const F8 l2 = (t.l2_dx * dx + t.l2_dy * dy) * t.inv;
  const F8 l3 = 1.0f - l1 - l2;
  return in_box & in_field & ~(l1 < 0.0f) & ~(l2 < 0.0f) & ~(l3 < 0.0f);
}

__attribute__((target("avx2"))) uint32_t batch_draws_8(const TriangleBatch& batch,
                                                       const VertexTable& table,
                                                       const FillRules& rules) {
  Corners v1, v2, v3;
  load_corner(table, batch.entry[0], v1);
  load_corner(table, batch.entry[1], v2);
  load_corner(table, batch.entry[2], v3);

  // The box: std::max(0, std::min({...})) and std::min(W - 1, std::max({...})).
  const I8 zero_i{};
  const I8 x_begin = greater(zero_i, lesser(lesser(v1.column, v2.column), v3.column));
  const I8 x_end =
      lesser(zero_i + (rules.width - 1), greater(greater(v1.column, v2.column), v3.column));
  const I8 y_begin = greater(zero_i, lesser(lesser(v1.row, v2.row), v3.row));
  const I8 y_end = lesser(zero_i + (rules.height - 1), greater(greater(v1.row, v2.row), v3.row));
  const I8 filled = (x_begin <= x_end) & (y_begin <= y_end);

  const F8 x1 = v1.x, y1 = v1.y, x2 = v2.x, y2 = v2.y, x3 = v3.x, y3 = v3.y;
  const F8 inv = 1.0f / ((x1 - x3) * (y2 - y3) - (x3 - x2) * (y3 - y1));
  const I8 finite = (reinterpret_cast<I8>(inv) & 0x7f800000) != 0x7f800000;
  const F8 l1_dx = (y2 - y3) * inv;
  const F8 l1_dy = (x3 - x2) * inv;
  const F8 l2_dx = y3 - y1;
  const F8 l2_dy = x1 - x3;

  // Sizes of the box, taken where it is not empty (elsewhere a pixel, so
  // that nothing overflows); at most the target's size.
  const I8 columns = (filled ? x_end : x_begin) - x_begin + 1;
  const I8 rows = (filled ? y_end : y_begin) - y_begin + 1;
  const I8 pixels = columns * rows;
  const I8 large = pixels > 4;

  // Pixel k of a box of at most four pixels: (k % columns, k / columns).
  const I8 one = columns == 1, two = columns == 2, three = columns == 3;
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
  const I8 covers = covered(test, rules, 0, zero_i, zero_i) |
                    covered(test, rules, 1, one ? zero_i : zero_i + 1, one ? zero_i + 1 : zero_i) |
                    covered(test, rules, 2, one | two ? zero_i : zero_i + 2,
                            one ? zero_i + 2 : (two ? zero_i + 1 : zero_i)) |
                    covered(test, rules, 3, one | three ? zero_i : (two ? zero_i + 1 : zero_i + 3),
                            one ? zero_i + 3 : (two | three ? zero_i + 1 : zero_i));
  const I8 draws = filled & finite & (large | covers);
  const uint32_t bits = static_cast<uint32_t>(_mm256_movemask_ps(reinterpret_cast<__m256>(draws)));
  return bits & ((1u << batch.count) - 1u);
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
