// vertex_table.cpp: filling the fast mesh path's table of prepared positions,
// eight at a time in eight-lane vectors (raster_lanes.h) where the processor
// has AVX2, four at a time otherwise.
//
// Each lane performs, for its position, the scalar operations of the
// reference in the same order (mat4_apply's sum, screen_vertex, the
// back-face divisions); vector +, -, *, / round exactly like their scalar
// forms and the build forbids fusing them, so the values are the same.
#include "gfx/vertex_table.h"

#include <cstring>
#include <utility>

#include "gfx/cpu_features.h"
#include "gfx/raster_lanes.h"

namespace vel {

namespace {

using lanes::Lanes;

// trunc_i32 on every lane: not-a-number gives 0, values from 2^31 up give
// INT32_MAX and from -2^31 down INT32_MIN. Every lane is clamped into the
// convertible range first (2147483520 is the largest float below 2^31), so
// the conversion is defined whatever comes in.
template <int N>
void truncate_saturating(const typename Lanes<N>::F& v, typename Lanes<N>::I& out) {
  using F = typename Lanes<N>::F;
  using I = typename Lanes<N>::I;
  const F zero{};
  const F lowest = zero - 2147483648.0f;
  const F highest = zero + 2147483520.0f;
  const F number = v == v ? v : zero;
  F inside;
  lanes::max_lanes<N>(number, lowest, inside);
  lanes::min_lanes<N>(inside, highest, inside);
  const I whole = __builtin_convertvector(inside, I);
  out = v >= 2147483648.0f ? (I{} + INT32_MAX) : whole;
}

template <typename T, typename V>
void store(T* to, const V& v) {
  std::memcpy(to, &v, sizeof v);
}

template <typename V>
void load(const float* from, V& v) {
  std::memcpy(&v, from, sizeof v);
}

// The x, y, z of positions[i .. i + 4), one vector each; lanes past count
// are zero.
void load_four(const Vec3* positions, size_t i, size_t count, Lanes<4>::F& x, Lanes<4>::F& y,
               Lanes<4>::F& z) {
  if (i < count && count - i >= 4) {
    // Twelve floats in a row: x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3.
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(positions + i);
    Lanes<4>::F a, b, c;
    std::memcpy(&a, bytes, sizeof a);
    std::memcpy(&b, bytes + 16, sizeof b);
    std::memcpy(&c, bytes + 32, sizeof c);
    const Lanes<4>::F x01 = __builtin_shufflevector(a, b, 0, 3, 6, 7);  // x0 x1 x2 y2
    const Lanes<4>::F y01 = __builtin_shufflevector(a, b, 1, 4, 7, 5);  // y0 y1 y2 z1
    const Lanes<4>::F z01 = __builtin_shufflevector(a, b, 2, 5, 4, 6);  // z0 z1 y1 x2
    x = __builtin_shufflevector(x01, c, 0, 1, 2, 5);
    y = __builtin_shufflevector(y01, c, 0, 1, 2, 6);
    z = __builtin_shufflevector(z01, c, 0, 1, 4, 7);
    return;
  }
  x = y = z = Lanes<4>::F{};
  for (size_t k = 0; i + k < count; ++k) {
    x[k] = positions[i + k].x;
    y[k] = positions[i + k].y;
    z[k] = positions[i + k].z;
  }
}

// The same for positions[i .. i + N).
template <int N>
void load_positions(const Vec3* positions, size_t i, size_t count, typename Lanes<N>::F& x,
                    typename Lanes<N>::F& y, typename Lanes<N>::F& z) {
  if constexpr (N == 4) {
    load_four(positions, i, count, x, y, z);
  } else {
    Lanes<4>::F x0, y0, z0, x1, y1, z1;
    load_four(positions, i, count, x0, y0, z0);
    load_four(positions, i + 4, count, x1, y1, z1);
    x = __builtin_shufflevector(x0, x1, 0, 1, 2, 3, 4, 5, 6, 7);
    y = __builtin_shufflevector(y0, y1, 0, 1, 2, 3, 4, 5, 6, 7);
    z = __builtin_shufflevector(z0, z1, 0, 1, 2, 3, 4, 5, 6, 7);
  }
}

// Vectors go in and out by reference throughout: by value, an eight-lane
// vector in a function compiled without AVX would change the calling
// convention.
template <int N, size_t... K>
void lane_numbers(typename Lanes<N>::I& out, std::index_sequence<K...>) {
  out = typename Lanes<N>::I{static_cast<int32_t>(K)...};
}

template <int N>
uint8_t place_lanes(const Mat4& mvp, const Vec3* positions, size_t count, VertexTable& table) {
  using F = typename Lanes<N>::F;
  using I = typename Lanes<N>::I;
  const float* e = mvp.m;
  I numbers;
  lane_numbers<N>(numbers, std::make_index_sequence<N>{});
  I shared = I{} + kOutside;
  for (size_t i = 0; i < count; i += N) {
    F x, y, z;
    load_positions<N>(positions, i, count, x, y, z);
    // mat4_apply, row by row: ((m0 x + m1 y) + m2 z) + m3.
    const F cx = e[0] * x + e[1] * y + e[2] * z + e[3];
    const F cy = e[4] * x + e[5] * y + e[6] * z + e[7];
    const F cz = e[8] * x + e[9] * y + e[10] * z + e[11];
    const F cw = e[12] * x + e[13] * y + e[14] * z + e[15];
    store(&table.clip_x[i], cx);
    store(&table.clip_y[i], cy);
    store(&table.clip_z[i], cz);
    store(&table.clip_w[i], cw);
    const I code = ((cw <= 0.0f) & kBehind) | ((cx > cw) & kBeyondRight) |
                   ((cx < -cw) & kBeyondLeft) | ((cy > cw) & kBeyondTop) |
                   ((cy < -cw) & kBeyondBottom) | ((cz > cw) & kBeyondFar) |
                   ((cz < -cw) & kBeyondNear) | ((cw > 0.0f) & kInFront);
    // Lanes past the end are left out of the shared bits.
    const I lane = numbers + static_cast<int32_t>(i);
    shared &= lane < static_cast<int32_t>(count) ? code : I{} + kOutside;
    const typename Lanes<N>::Bytes bytes = __builtin_convertvector(code, typename Lanes<N>::Bytes);
    std::memcpy(&table.code[i], &bytes, sizeof bytes);
  }
  int32_t all = kOutside;
  for (int k = 0; k < N; ++k) all &= shared[k];
  return static_cast<uint8_t>(all);
}

template <int N>
void finish_lanes(const FillRules& rules, const FogView* fog, const Vec3* positions, size_t count,
                  VertexTable& table) {
  using F = typename Lanes<N>::F;
  using I = typename Lanes<N>::I;
  for (size_t i = 0; i < count; i += N) {
    F cx, cy, cz, cw;
    load(&table.clip_x[i], cx);
    load(&table.clip_y[i], cy);
    load(&table.clip_z[i], cz);
    load(&table.clip_w[i], cw);
    // screen_vertex; lanes behind the eye compute values nobody reads.
    const F r = 1.0f / cw;
    const F nx = cx * r;
    const F ny = cy * r;
    store(&table.r[i], r);
    store(&table.ndc_x[i], nx);
    store(&table.ndc_y[i], ny);
    store(&table.ndc_z[i], cz * r);
    I column, row;
    truncate_saturating<N>((nx + 1.0f) * 0.5f * rules.width_f, column);
    truncate_saturating<N>((ny + 1.0f) * 0.5f * rules.height_f, row);
    store(&table.column[i], column);
    store(&table.row[i], row);
    // The back-face test divides by w itself, not by multiplying with r.
    store(&table.back_x[i], cx / cw);
    store(&table.back_y[i], cy / cw);
    if (fog == nullptr) {
      store(&table.fog[i], F{} + 1.0f);
      continue;
    }
    // The world position (the first three rows of mat4_apply), its
    // distance to the eye (length: sqrt of ((x x + y y) + z z)), and the
    // visibility 1 - (e - start) / span, held to at most 1 (not-a-number
    // gives 1), then to at least 0.
    F x, y, z;
    load_positions<N>(positions, i, count, x, y, z);
    const float* m = fog->model->m;
    const F dx = (m[0] * x + m[1] * y + m[2] * z + m[3]) - fog->eye.x;
    const F dy = (m[4] * x + m[5] * y + m[6] * z + m[7]) - fog->eye.y;
    const F dz = (m[8] * x + m[9] * y + m[10] * z + m[11]) - fog->eye.z;
    const F squared = dx * dx + dy * dy + dz * dz;
    F distance;
    lanes::square_root_lanes<N>(squared, distance);
    const F f = 1.0f - (distance - fog->start) * fog->inv_span;
    const F at_most_one = f < 1.0f ? f : F{} + 1.0f;
    store(&table.fog[i], at_most_one > 0.0f ? at_most_one : F{});
  }
}

#if defined(__x86_64__)
[[gnu::target(VEL_AVX2), gnu::flatten]] uint8_t place_8(const Mat4& mvp, const Vec3* positions,
                                                        size_t count, VertexTable& table) {
  return place_lanes<8>(mvp, positions, count, table);
}

[[gnu::target(VEL_AVX2), gnu::flatten]] void finish_8(const FillRules& rules, const FogView* fog,
                                                      const Vec3* positions, size_t count,
                                                      VertexTable& table) {
  finish_lanes<8>(rules, fog, positions, count, table);
}
#endif

}  // namespace

uint8_t place_vertices(const Mat4& mvp, const Vec3* positions, size_t count, VertexTable& table,
                       int32_t lane_limit) {
#if defined(__x86_64__)
  if (lane_limit >= 8 && cpu_has_avx2()) return place_8(mvp, positions, count, table);
#endif
  return place_lanes<4>(mvp, positions, count, table);
}

void finish_vertices(const FillRules& rules, const FogView* fog, const Vec3* positions,
                     size_t count, VertexTable& table) {
#if defined(__x86_64__)
  if (rules.lane_limit >= 8 && cpu_has_avx2()) {
    finish_8(rules, fog, positions, count, table);
    return;
  }
#endif
  finish_lanes<4>(rules, fog, positions, count, table);
}

}  // namespace vel
