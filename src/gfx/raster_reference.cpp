// raster_reference.cpp: the reference triangle fill, one pixel at a time
// over the whole box, each pixel rule written out once in the plain order a
// reader checks it in: coverage, depth, texel, alpha cut-off, light, fog,
// blend.
//
// Every formula is evaluated in 32-bit floats in the order written below,
// because the pictures must match to the byte. Only per-triangle constants
// are hoisted, and only where hoisting performs the very same operations
// (e.g. (Y2 - Y3) * inv is one product either way). The fast path
// (raster_fast.cpp and the files raster.h lists) is checked against this one.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "base/saturate.h"
#include "gfx/raster.h"
#include "gfx/texel_source.h"

namespace vel {

namespace {

// min(1, v) where not-a-number counts as 1.
inline float min_one(float v) {
  return v < 1.0f ? v : 1.0f;
}

// The texture coordinate's fraction: v - trunc(v), lifted by 1 when negative,
// which repeats a texture across whole units of its coordinates. The result
// lies in 0..1 with 1 included (a tiny negative fraction plus 1 rounds to 1),
// which still addresses the last column or the first stored row.
// std::trunc keeps this a float operation, so a huge or infinite coordinate
// cannot overflow an integer; the later texel conversion saturates whatever
// comes out.
inline float lifted_fraction(float v) {
  float f = v - std::trunc(v);
  if (f < 0.0f) f = f + 1.0f;
  return f;
}

// The texel at (u, v) in 0..1; v = 0 is the last stored row. Returns false
// when there is nothing to read (unusable image, palette index past the
// palette's end); the caller treats that like a transparent texel.
inline bool fetch_texel(const TexelSource& src, float u, float v, Colour& out) {
  if (!src.usable) return false;
  const uint32_t column = trunc_u32(u * src.u_extent);
  const uint32_t row = trunc_u32((1.0f - v) * src.v_extent);
  return texel_at(src, column, row, out);
}

}  // namespace

void rasterise_triangle_reference(const TriangleFill& fill, Framebuffer& target) {
  const Vec4& p1 = fill.p1;
  const Vec4& p2 = fill.p2;
  const Vec4& p3 = fill.p3;
  const Lighting& lighting = fill.lighting;
  const float* const light = fill.light;
  const float* const fog = fill.fog;
  const Material& material = fill.material;
  const RenderFlags& flags = fill.flags;
  // Read at every pixel: copies, which the colour stores cannot alias.
  const Vec2 uv1 = fill.uv1;
  const Vec2 uv2 = fill.uv2;
  const Vec2 uv3 = fill.uv3;
  const int32_t width = target.width;
  const int32_t height = target.height;
  if (width <= 0 || height <= 0) return;
  const float w_f = static_cast<float>(width);
  const float h_f = static_cast<float>(height);

  // Normalised device coordinates.
  const float r1 = 1.0f / p1.w;
  const float r2 = 1.0f / p2.w;
  const float r3 = 1.0f / p3.w;
  const float x1 = p1.x * r1, y1 = p1.y * r1, z1 = p1.z * r1;
  const float x2 = p2.x * r2, y2 = p2.y * r2, z2 = p2.z * r2;
  const float x3 = p3.x * r3, y3 = p3.y * r3, z3 = p3.z * r3;

  // Pixel box of the vertices, clamped to the target (both ends inclusive).
  // The conversions saturate, so a vertex far off screen still bounds the box.
  const int32_t sx1 = trunc_i32((x1 + 1.0f) * 0.5f * w_f);
  const int32_t sx2 = trunc_i32((x2 + 1.0f) * 0.5f * w_f);
  const int32_t sx3 = trunc_i32((x3 + 1.0f) * 0.5f * w_f);
  const int32_t sy1 = trunc_i32((y1 + 1.0f) * 0.5f * h_f);
  const int32_t sy2 = trunc_i32((y2 + 1.0f) * 0.5f * h_f);
  const int32_t sy3 = trunc_i32((y3 + 1.0f) * 0.5f * h_f);
  const int32_t x_begin = std::max(0, std::min({sx1, sx2, sx3}));
  const int32_t x_end = std::min(width - 1, std::max({sx1, sx2, sx3}));
  const int32_t y_begin = std::max(0, std::min({sy1, sy2, sy3}));
  const int32_t y_end = std::min(height - 1, std::max({sy1, sy2, sy3}));
  if (x_begin > x_end || y_begin > y_end) return;

  // A triangle of zero area in normalised space (or one with a non-finite
  // coordinate) gives an infinite or not-a-number inv; its weights would be
  // meaningless yet pass the sign tests, so it draws nothing.
  const float inv = 1.0f / ((x1 - x3) * (y2 - y3) - (x3 - x2) * (y3 - y1));
  if (!std::isfinite(inv)) return;
  // lambda1 = (Y2 - Y3) * inv * dx + (X3 - X2) * inv * dy: the two leading
  // products are per-triangle constants.
  const float l1_dx = (y2 - y3) * inv;
  const float l1_dy = (x3 - x2) * inv;
  const float l2_dx = y3 - y1;
  const float l2_dy = x1 - x3;

  // The sample point is the pixel's lower-left corner: x * (2 / W) - 1, no
  // half-pixel offset.
  const float step_x = 2.0f / w_f;
  const float step_y = 2.0f / h_f;

  const bool depth_test = flags.depth_test != 0;
  const bool depth_override = flags.depth_override != 0;
  const bool textured = material.kind == Material::Kind::texture;
  const TexelSource texels = texel_source(textured ? material.image : nullptr);
  const Colour flat = material.colour;

  const bool lit = lighting.lighting_enabled;
  const Colour ambient = lighting.ambient;
  const Colour light_colour = lighting.light_colour;
  const float light1 = light[0], light2 = light[1], light3 = light[2];
  const bool fogged = lighting.fog_enabled;
  const Colour fog_colour = lighting.fog_colour;
  const float fog1 = fog[0], fog2 = fog[1], fog3 = fog[2];

  uint8_t* const colour_bytes = target.colour.data();
  float* const depth_values = target.depth.data();

  // Rows bottom to top, x left to right. A row outside the current field gets
  // neither colour nor depth from this triangle.
  for (int32_t y = y_begin; y <= y_end; ++y) {
    const int32_t stored_row = height - 1 - y;
    if (!row_in_field(flags, stored_row)) continue;
    const float py = static_cast<float>(y) * step_y - 1.0f;
    const float dy = py - y3;
    const size_t row_start = static_cast<size_t>(stored_row) * static_cast<size_t>(width);

    for (int32_t x = x_begin; x <= x_end; ++x) {
      const float px = static_cast<float>(x) * step_x - 1.0f;
      const float dx = px - x3;

      // Edge pixels (a weight of exactly 0) are drawn: no top-left rule.
      const float l1 = l1_dx * dx + l1_dy * dy;
      if (l1 < 0.0f) continue;
      const float l2 = (l2_dx * dx + l2_dy * dy) * inv;
      if (l2 < 0.0f) continue;
      const float l3 = 1.0f - l1 - l2;
      if (l3 < 0.0f) continue;

      // Screen-linear depth in 0..1; only strictly nearer fragments pass.
      const float d = depth_override ? 0.0f : (l1 * z1 + l2 * z2 + l3 * z3) * 0.5f + 0.5f;
      const size_t pixel = row_start + static_cast<size_t>(x);
      if (depth_test && d >= depth_values[pixel]) continue;
      // Written before the alpha cut-off: a transparent texel still occludes
      // what is drawn after it.
      depth_values[pixel] = d;

      Colour c = flat;
      if (textured) {
        // Perspective-correct texture coordinates.
        const float q = 1.0f / (l1 * r1 + l2 * r2 + l3 * r3);
        const float m1 = l1 * r1 * q;
        const float m2 = l2 * r2 * q;
        const float m3 = l3 * r3 * q;
        const float u = lifted_fraction(m1 * uv1.x + m2 * uv2.x + m3 * uv3.x);
        const float v = lifted_fraction(m1 * uv1.y + m2 * uv2.y + m3 * uv3.y);
        if (!fetch_texel(texels, u, v, c)) continue;
      }
      if (c.a < kAlphaCutoff) continue;

      // Light and fog use the screen-linear weights, not the perspective ones.
      if (lit) {
        const float l = l1 * light1 + l2 * light2 + l3 * light3;
        c.r = min_one(min_one(c.r * ambient.r) + min_one(c.r * light_colour.r * l));
        c.g = min_one(min_one(c.g * ambient.g) + min_one(c.g * light_colour.g * l));
        c.b = min_one(min_one(c.b * ambient.b) + min_one(c.b * light_colour.b * l));
      }
      if (fogged) {
        const float f = l1 * fog1 + l2 * fog2 + l3 * fog3;
        c.r = c.r * f + fog_colour.r * (1.0f - f);
        c.g = c.g * f + fog_colour.g * (1.0f - f);
        c.b = c.b * f + fog_colour.b * (1.0f - f);
      }

      // The source is quantised to bytes before it is blended.
      const float a = c.a;
      const float keep = 1.0f - a;
      uint8_t* const out = colour_bytes + 3 * pixel;
      const float s_b = static_cast<float>(channel_byte(c.b));
      const float s_g = static_cast<float>(channel_byte(c.g));
      const float s_r = static_cast<float>(channel_byte(c.r));
      out[0] = clamp_byte(static_cast<float>(out[0]) * keep + s_b * a);
      out[1] = clamp_byte(static_cast<float>(out[1]) * keep + s_g * a);
      out[2] = clamp_byte(static_cast<float>(out[2]) * keep + s_r * a);
    }
  }
}

}  // namespace vel
