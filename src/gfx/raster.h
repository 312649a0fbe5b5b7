// raster.h: the triangle rasteriser (called only by draw_mesh).
#pragma once

#include "gfx/framebuffer.h"
#include "gfx/image.h"
#include "gfx/lighting.h"
#include "gfx/matrix.h"
#include "gfx/vec.h"

namespace vel {

// A texture or a flat colour.
struct Material {
  enum class Kind : uint8_t { texture = 0, colour = 1 };
  Kind kind = Kind::colour;
  const Image* image = nullptr;  // when kind == texture
  Colour colour;                 // when kind == colour

  static Material textured(const Image& img) { return {Kind::texture, &img, {}}; }
  static Material flat(Colour c) { return {Kind::colour, nullptr, c}; }
};

// Every w must be > 0. light and fog are per-vertex intensities and
// visibilities in vertex order.
void rasterise_triangle(const Vec4& p1, const Vec4& p2, const Vec4& p3, const Lighting& lighting,
                        const float light[3], const float fog[3], Vec2 uv1, Vec2 uv2, Vec2 uv3,
                        const Material& material, const RenderFlags& flags, Framebuffer& target);

}  // namespace vel
