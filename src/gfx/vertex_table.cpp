// vertex_table.cpp: filling the fast mesh path's table of prepared positions,
// four at a time in four-lane float vectors.
//
// Each lane performs, for its position, the scalar operations of the
// reference in the same order (mat4_apply's sum, screen_vertex, the
// back-face divisions); vector +, -, *, / round exactly like their scalar
// forms and the build forbids fusing them, so the values are the same.
#include "gfx/vertex_table.h"

#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace vel {

namespace {

typedef float Lanes4 __attribute__((vector_size(16)));
typedef int32_t Ints4 __attribute__((vector_size(16)));

// trunc_i32 on every lane: not-a-number gives 0, values from 2^31 up give
// INT32_MAX and from -2^31 down INT32_MIN. Every lane is clamped into the
// convertible range first (2147483520 is the largest float below 2^31), so
// the conversion is defined whatever comes in.
void truncate_saturating(const Lanes4& v, Ints4& out) {
  const Lanes4 zero{};
  const Lanes4 lowest = zero - 2147483648.0f;
  const Lanes4 highest = zero + 2147483520.0f;
  const Lanes4 number = v == v ? v : zero;
  const Lanes4 above = number > -2147483648.0f ? number : lowest;
  const Lanes4 inside = above < 2147483520.0f ? above : highest;
  const Ints4 whole = __builtin_convertvector(inside, Ints4);
  out = v >= 2147483648.0f ? (Ints4{} + INT32_MAX) : whole;
}

void store(float* to, const Lanes4& v) {
  std::memcpy(to, &v, sizeof v);
}

void store(int32_t* to, const Ints4& v) {
  std::memcpy(to, &v, sizeof v);
}

Lanes4 load(const float* from) {
  Lanes4 v;
  std::memcpy(&v, from, sizeof v);
  return v;
}

// std::sqrt of every lane (correctly rounded, like the scalar form). On
// x86-64 one SSE instruction; a lane-by-lane loop would write the lanes to
// memory one at a time and read them back as a whole vector, which has to
// wait for the four stores.
void square_root(const Lanes4& v, Lanes4& out) {
#if defined(__x86_64__)
  out = reinterpret_cast<Lanes4>(_mm_sqrt_ps(reinterpret_cast<__m128>(v)));
#else
  for (int k = 0; k < 4; ++k) out[k] = std::sqrt(v[k]);
#endif
}

// The x, y, z of positions[i .. i + 4), one vector each.
void load_positions(const Vec3* positions, size_t i, size_t count, Lanes4& x, Lanes4& y,
                    Lanes4& z) {
  if (count - i >= 4) {
    // Twelve floats in a row: x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3.
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(positions + i);
    Lanes4 a, b, c;
    std::memcpy(&a, bytes, sizeof a);
    std::memcpy(&b, bytes + 16, sizeof b);
    std::memcpy(&c, bytes + 32, sizeof c);
    const Lanes4 x01 = __builtin_shufflevector(a, b, 0, 3, 6, 7);  // x0 x1 x2 y2
    const Lanes4 y01 = __builtin_shufflevector(a, b, 1, 4, 7, 5);  // y0 y1 y2 z1
    const Lanes4 z01 = __builtin_shufflevector(a, b, 2, 5, 4, 6);  // z0 z1 y1 x2
    x = __builtin_shufflevector(x01, c, 0, 1, 2, 5);
    y = __builtin_shufflevector(y01, c, 0, 1, 2, 6);
    z = __builtin_shufflevector(z01, c, 0, 1, 4, 7);
    return;
  }
  x = y = z = Lanes4{};
  for (size_t k = 0; i + k < count; ++k) {
    x[k] = positions[i + k].x;
    y[k] = positions[i + k].y;
    z[k] = positions[i + k].z;
  }
}

}  // namespace

uint8_t place_vertices(const Mat4& mvp, const Vec3* positions, size_t count, VertexTable& table) {
  const float* e = mvp.m;
  Ints4 shared = Ints4{} + kOutside;
  for (size_t i = 0; i < count; i += 4) {
    Lanes4 x, y, z;
    load_positions(positions, i, count, x, y, z);
    // mat4_apply, row by row: ((m0 x + m1 y) + m2 z) + m3.
    const Lanes4 cx = e[0] * x + e[1] * y + e[2] * z + e[3];
    const Lanes4 cy = e[4] * x + e[5] * y + e[6] * z + e[7];
    const Lanes4 cz = e[8] * x + e[9] * y + e[10] * z + e[11];
    const Lanes4 cw = e[12] * x + e[13] * y + e[14] * z + e[15];
    store(&table.clip_x[i], cx);
    store(&table.clip_y[i], cy);
    store(&table.clip_z[i], cz);
    store(&table.clip_w[i], cw);
    const Ints4 code = ((cw <= 0.0f) & kBehind) | ((cx > cw) & kBeyondRight) |
                       ((cx < -cw) & kBeyondLeft) | ((cy > cw) & kBeyondTop) |
                       ((cy < -cw) & kBeyondBottom) | ((cz > cw) & kBeyondFar) |
                       ((cz < -cw) & kBeyondNear) | ((cw > 0.0f) & kInFront);
    // Lanes past the end are left out of the shared bits.
    const Ints4 lane = Ints4{0, 1, 2, 3} + static_cast<int32_t>(i);
    shared &= lane < static_cast<int32_t>(count) ? code : Ints4{} + kOutside;
    typedef uint8_t Bytes4 __attribute__((vector_size(4)));
    const Bytes4 bytes = __builtin_convertvector(code, Bytes4);
    std::memcpy(&table.code[i], &bytes, sizeof bytes);
  }
  return static_cast<uint8_t>(shared[0] & shared[1] & shared[2] & shared[3]);
}

void finish_vertices(const FillRules& rules, const FogView* fog, const Vec3* positions,
                     size_t count, VertexTable& table) {
  for (size_t i = 0; i < count; i += 4) {
    const Lanes4 cx = load(&table.clip_x[i]);
    const Lanes4 cy = load(&table.clip_y[i]);
    const Lanes4 cz = load(&table.clip_z[i]);
    const Lanes4 cw = load(&table.clip_w[i]);
    // screen_vertex; lanes behind the eye compute values nobody reads.
    const Lanes4 r = 1.0f / cw;
    const Lanes4 nx = cx * r;
    const Lanes4 ny = cy * r;
    store(&table.r[i], r);
    store(&table.ndc_x[i], nx);
    store(&table.ndc_y[i], ny);
    store(&table.ndc_z[i], cz * r);
    Ints4 column, row;
    truncate_saturating((nx + 1.0f) * 0.5f * rules.width_f, column);
    truncate_saturating((ny + 1.0f) * 0.5f * rules.height_f, row);
    store(&table.column[i], column);
    store(&table.row[i], row);
    // The back-face test divides by w itself, not by multiplying with r.
    store(&table.back_x[i], cx / cw);
    store(&table.back_y[i], cy / cw);
    if (fog == nullptr) {
      store(&table.fog[i], Lanes4{} + 1.0f);
      continue;
    }
    // The world position (the first three rows of mat4_apply), its
    // distance to the eye (length: sqrt of ((x x + y y) + z z)), and the
    // visibility 1 - (e - start) / span, held to at most 1 (not-a-number
    // gives 1), then to at least 0.
    Lanes4 x, y, z;
    load_positions(positions, i, count, x, y, z);
    const float* m = fog->model->m;
    const Lanes4 dx = (m[0] * x + m[1] * y + m[2] * z + m[3]) - fog->eye.x;
    const Lanes4 dy = (m[4] * x + m[5] * y + m[6] * z + m[7]) - fog->eye.y;
    const Lanes4 dz = (m[8] * x + m[9] * y + m[10] * z + m[11]) - fog->eye.z;
    const Lanes4 squared = dx * dx + dy * dy + dz * dz;
    Lanes4 distance;
    square_root(squared, distance);
    const Lanes4 f = 1.0f - (distance - fog->start) * fog->inv_span;
    const Lanes4 at_most_one = f < 1.0f ? f : Lanes4{} + 1.0f;
    store(&table.fog[i], at_most_one > 0.0f ? at_most_one : Lanes4{});
  }
}

}  // namespace vel
