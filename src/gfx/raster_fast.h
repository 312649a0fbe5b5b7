// raster_fast.h: the fast triangle fill (raster_fast.cpp) in the pieces a
// caller that draws many triangles prepares once: the settings of one call
// (material, lighting, flags, target) and the screen values of a vertex that
// its triangles share.
//
// Every value here is computed with the very expression the reference
// rasteriser uses, so preparing it once instead of once per triangle changes
// no result.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/saturate.h"
#include "gfx/framebuffer.h"
#include "gfx/image.h"
#include "gfx/lighting.h"
#include "gfx/matrix.h"
#include "gfx/raster.h"
#include "gfx/raster_rows.h"
#include "gfx/texel_source.h"
#include "gfx/vec.h"

namespace vel {

// Everything the fill reads besides a triangle's own vertices and shading,
// fixed for a whole draw_mesh call.
struct FillRules {
  int32_t width = 0;
  int32_t height = 0;
  float width_f = 0.0f;
  float height_f = 0.0f;
  float step_x = 0.0f;  // 2 / W: pixel x samples at x * step_x - 1
  float step_y = 0.0f;  // 2 / H
  // The lanes need rows at least four pixels wide; narrower targets (none
  // in the game) are drawn by the reference path, with the same result.
  bool lanes_fit = false;
  // The widest groups to use: 16 takes sixteen lanes for wide triangles
  // where the processor has AVX-512, 8 takes eight where it has AVX2 (and
  // the target is that wide), 4 keeps to the four-lane code that every
  // processor runs. Tests set 4 and 8 to check that code on any machine.
  int32_t lane_limit = 16;
  RenderFlags flags;
  bool depth_test = false;
  bool depth_override = false;
  bool textured = false;
  TexelSource texels;
  Colour flat;
  bool lit = false;
  Colour ambient;
  Colour light_colour;
  bool fogged = false;
  Colour fog_colour;
};

FillRules fill_rules(const Lighting& lighting, const Material& material, const RenderFlags& flags,
                     const Framebuffer& target);

// The rasteriser's values of one clip-space vertex with w > 0.
struct ScreenVertex {
  float r = 0.0f;  // 1 / w
  float x = 0.0f;  // normalised device coordinates: x r, y r, z r
  float y = 0.0f;
  float z = 0.0f;
  int32_t column = 0;  // trunc((x + 1) * 0.5 * W), saturating
  int32_t row = 0;     // trunc((y + 1) * 0.5 * H), saturating
};

inline ScreenVertex screen_vertex(const Vec4& clip, const FillRules& rules) {
  ScreenVertex v;
  v.r = 1.0f / clip.w;
  v.x = clip.x * v.r;
  v.y = clip.y * v.r;
  v.z = clip.z * v.r;
  v.column = trunc_i32((v.x + 1.0f) * 0.5f * rules.width_f);
  v.row = trunc_i32((v.y + 1.0f) * 0.5f * rules.height_f);
  return v;
}

// What differs from one triangle of a call to the next besides its
// vertices: texture coordinates, light intensities and fog visibilities,
// in vertex order.
struct TriangleShading {
  Vec2 uv[3];
  float light[3] = {1.0f, 1.0f, 1.0f};
  float fog[3] = {1.0f, 1.0f, 1.0f};
};

// Distant meshes give many triangles whose box holds a pixel or two, and
// most of them cover no pixel's sample point at all. A box of at most this
// many pixels is tested pixel by pixel before any lane work is spent on it
// (here and, eight triangles at a time, in triangle_batch.cpp).
inline constexpr int32_t kSmallBoxPixels = 4;

// The fast fill of one triangle in two steps, so that a caller can leave
// out work for triangles that draw nothing: prepare_triangle is false when
// the triangle draws nothing (an empty box, a degenerate area, no row in the
// band being drawn, or a box of a few pixels none of whose sample points it
// covers); fill_prepared then fills a prepared one. rules.lanes_fit must hold.
bool prepare_triangle(const ScreenVertex& v1, const ScreenVertex& v2, const ScreenVertex& v3,
                      const FillRules& rules, TriangleSetup& t);
void fill_prepared(const TriangleSetup& t, const FillRules& rules, const TriangleShading& shading,
                   Framebuffer& target);

// Both steps at once.
void fill_triangle(const ScreenVertex& v1, const ScreenVertex& v2, const ScreenVertex& v3,
                   const FillRules& rules, const TriangleShading& shading, Framebuffer& target);

}  // namespace vel
