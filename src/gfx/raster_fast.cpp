// raster_fast.cpp: the fast triangle fill the game draws with: the per-call
// rules, the per-triangle set-up, the small-box pre-test and the choice of
// lane width; and rasterise_triangle, which picks between it and the
// reference fill of raster_reference.cpp.
//
// Both must give the same colour and depth bytes for every input. The fast
// path keeps every per-pixel formula of the reference, operation for
// operation, and gains its speed around them:
//  - per-call and per-vertex values are prepared once (raster_fast.h) and
//    the triangle set-up keeps only what differs per triangle;
//  - each row is walked only between bounds that enclose every pixel whose
//    weights could pass their tests (raster_rows.h);
//  - N neighbouring pixels of a row are evaluated together in N-lane vectors
//    (raster_lanes.h, raster_kernels.h), each lane doing its pixel's IEEE
//    single-precision operations in the reference's order; the texel, light
//    and fog work starts only for lanes that passed coverage and depth.
// N is 4 on every x86-64 (SSE2), 8 where the processor has AVX2 and 16 for
// triangles wider than 16 pixels where it has the AVX-512 parts of
// VEL_AVX512 (cpu_features.h), chosen at run time; other processors get the
// 4-lane code in whatever vectors their compiler offers (scalar code at
// worst), with the same results.
#include "gfx/raster_fast.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "base/saturate.h"
#include "gfx/cpu_features.h"
#include "gfx/raster.h"
#include "gfx/raster_kernels.h"
#include "gfx/raster_rows.h"

namespace vel {

namespace {

// False when the triangle draws nothing (empty box, zero or non-finite
// area), exactly where the reference returns early.
bool set_up_triangle(const ScreenVertex& v1, const ScreenVertex& v2, const ScreenVertex& v3,
                     const FillRules& rules, TriangleSetup& t) {
  t.x_begin = std::max(0, std::min({v1.column, v2.column, v3.column}));
  t.x_end = std::min(rules.width - 1, std::max({v1.column, v2.column, v3.column}));
  t.y_begin = std::max(0, std::min({v1.row, v2.row, v3.row}));
  t.y_end = std::min(rules.height - 1, std::max({v1.row, v2.row, v3.row}));
  if (t.x_begin > t.x_end || t.y_begin > t.y_end) return false;

  const float x1 = v1.x, y1 = v1.y, x2 = v2.x, y2 = v2.y, x3 = v3.x, y3 = v3.y;
  t.inv = 1.0f / ((x1 - x3) * (y2 - y3) - (x3 - x2) * (y3 - y1));
  if (!std::isfinite(t.inv)) return false;
  t.r1 = v1.r;
  t.r2 = v2.r;
  t.r3 = v3.r;
  t.z1 = v1.z;
  t.z2 = v2.z;
  t.z3 = v3.z;
  t.x3 = x3;
  t.y3 = y3;
  t.l1_dx = (y2 - y3) * t.inv;
  t.l1_dy = (x3 - x2) * t.inv;
  t.l2_dx = y3 - y1;
  t.l2_dy = x1 - x3;
  t.step_x = rules.step_x;
  t.step_y = rules.step_y;
  return true;
}

// Boxes at least this many pixels wider than one get sixteen lanes.
constexpr int32_t kWideBox = 16;

// For a box of up to kSmallBoxPixels pixels the coverage test is first made
// pixel by pixel, with the reference's scalar expressions; only a triangle
// that covers one of them goes on to the lanes (which then repeat the same
// test). Larger boxes always go on.
bool any_pixel_of_small_box(const TriangleSetup& t, const FillRules& rules) {
  const int64_t columns = int64_t{t.x_end} - t.x_begin + 1;
  const int64_t rows = int64_t{t.y_end} - t.y_begin + 1;
  if (columns * rows > kSmallBoxPixels) return true;
  // Every pixel is tested and the answers are or-ed together: which test
  // fails for these tiny triangles is a coin toss, and branching on each
  // would cost more than the few extra products.
  bool any = false;
  for (int32_t y = t.y_begin; y <= t.y_end; ++y) {
    const bool in_field = row_in_field(rules.flags, rules.height - 1 - y);
    const float py = static_cast<float>(y) * t.step_y - 1.0f;
    const float dy = py - t.y3;
    for (int32_t x = t.x_begin; x <= t.x_end; ++x) {
      const float px = static_cast<float>(x) * t.step_x - 1.0f;
      const float dx = px - t.x3;
      const float l1 = t.l1_dx * dx + t.l1_dy * dy;
      const float l2 = (t.l2_dx * dx + t.l2_dy * dy) * t.inv;
      const float l3 = 1.0f - l1 - l2;
      any |= in_field & !(l1 < 0.0f) & !(l2 < 0.0f) & !(l3 < 0.0f);
    }
  }
  return any;
}

using lanes::fill_any;

[[gnu::flatten]] void fill_4_lanes(const TriangleSetup& t, const FillRules& rules,
                                   const TriangleShading& shading, Framebuffer& target) {
  fill_any<4>(t, rules, shading, target);
}

#if defined(__x86_64__)
[[gnu::target(VEL_AVX2), gnu::flatten]] void fill_8_lanes(const TriangleSetup& t,
                                                          const FillRules& rules,
                                                          const TriangleShading& shading,
                                                          Framebuffer& target) {
  fill_any<8>(t, rules, shading, target);
}

[[gnu::target(VEL_AVX512), gnu::flatten]] void fill_16_lanes(const TriangleSetup& t,
                                                             const FillRules& rules,
                                                             const TriangleShading& shading,
                                                             Framebuffer& target) {
  fill_any<16>(t, rules, shading, target);
}

#endif

}  // namespace

FillRules fill_rules(const Lighting& lighting, const Material& material, const RenderFlags& flags,
                     const Framebuffer& target) {
  FillRules rules;
  rules.width = target.width;
  rules.height = target.height;
  rules.width_f = static_cast<float>(target.width);
  rules.height_f = static_cast<float>(target.height);
  rules.step_x = 2.0f / rules.width_f;
  rules.step_y = 2.0f / rules.height_f;
  rules.lanes_fit = target.width >= 4 && target.height > 0;
  rules.flags = flags;
  rules.depth_test = flags.depth_test != 0;
  rules.depth_override = flags.depth_override != 0;
  rules.textured = material.kind == Material::Kind::texture;
  rules.texels = texel_source(rules.textured ? material.image : nullptr);
  rules.flat = material.colour;
  rules.lit = lighting.lighting_enabled;
  rules.ambient = lighting.ambient;
  rules.light_colour = lighting.light_colour;
  rules.fogged = lighting.fog_enabled;
  rules.fog_colour = lighting.fog_colour;
  return rules;
}

namespace {

// Whether the triangle has a row in the band being drawn: one wholly in
// other bands is left to their threads, its shading never worked out here.
bool in_drawing_band(const TriangleSetup& t, const FillRules& rules) {
  return band_meets_rows(rules.flags, rules.height - 1 - t.y_end, rules.height - 1 - t.y_begin);
}

}  // namespace

bool prepare_triangle(const ScreenVertex& v1, const ScreenVertex& v2, const ScreenVertex& v3,
                      const FillRules& rules, TriangleSetup& t) {
  return set_up_triangle(v1, v2, v3, rules, t) && in_drawing_band(t, rules) &&
         any_pixel_of_small_box(t, rules);
}

void fill_prepared(const TriangleSetup& t, const FillRules& rules, const TriangleShading& shading,
                   Framebuffer& target) {
#if defined(__x86_64__)
  // Sixteen lanes pay off only where a row holds more than sixteen pixels.
  const bool wide = t.x_end - t.x_begin >= kWideBox;
  if (rules.lane_limit >= 16 && rules.width >= 16 && wide && cpu_has_avx512()) {
    fill_16_lanes(t, rules, shading, target);
    return;
  }
  if (rules.lane_limit >= 8 && rules.width >= 8 && cpu_has_avx2()) {
    fill_8_lanes(t, rules, shading, target);
    return;
  }
#endif
  fill_4_lanes(t, rules, shading, target);
}

void fill_triangle(const ScreenVertex& v1, const ScreenVertex& v2, const ScreenVertex& v3,
                   const FillRules& rules, const TriangleShading& shading, Framebuffer& target) {
  TriangleSetup t;
  if (prepare_triangle(v1, v2, v3, rules, t)) fill_prepared(t, rules, shading, target);
}

void rasterise_triangle_fast(const TriangleFill& fill, Framebuffer& target) {
  if (target.width <= 0 || target.height <= 0) return;
  const FillRules rules = fill_rules(fill.lighting, fill.material, fill.flags, target);
  if (!rules.lanes_fit) {
    rasterise_triangle_reference(fill, target);
    return;
  }
  TriangleShading shading;
  shading.uv[0] = fill.uv1;
  shading.uv[1] = fill.uv2;
  shading.uv[2] = fill.uv3;
  for (int k = 0; k < 3; ++k) {
    shading.light[k] = fill.light[k];
    shading.fog[k] = fill.fog[k];
  }
  fill_triangle(screen_vertex(fill.p1, rules), screen_vertex(fill.p2, rules),
                screen_vertex(fill.p3, rules), rules, shading, target);
}

void rasterise_triangle(const TriangleFill& fill, Framebuffer& target) {
  if (fill.path == RasterPath::reference) {
    rasterise_triangle_reference(fill, target);
  } else {
    rasterise_triangle_fast(fill, target);
  }
}

}  // namespace vel
