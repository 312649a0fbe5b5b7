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

// Two implementations of the same rules, which must give the same bytes.
// `reference` evaluates every pixel of the triangle's box exactly as the
// rules read, one at a time; `fast` (the default) skips the parts of the box
// no pixel of the triangle can reach and evaluates several pixels at once
// with the very same float operations per pixel. The reference is kept as
// the yardstick for tests and benchmarks.
enum class RasterPath : uint8_t { fast, reference };

// Fills one clip-space triangle whose every w is > 0 (the mesh drawer cuts
// the others first). light and fog are the per-vertex light intensities and
// fog visibilities, in vertex order. Pixels sample their lower-left corner;
// edge pixels belong to every triangle that touches them. Depth is written
// before the 0.05 alpha cut-off, so transparent texels still occlude.
// A triangle of zero area draws nothing; a texture with no texels to read
// (zero size, short arrays, an index past the palette) draws as transparent.
void rasterise_triangle(const Vec4& p1, const Vec4& p2, const Vec4& p3, const Lighting& lighting,
                        const float light[3], const float fog[3], Vec2 uv1, Vec2 uv2, Vec2 uv3,
                        const Material& material, const RenderFlags& flags, Framebuffer& target,
                        RasterPath path = RasterPath::fast);

// The two paths by name (rasterise_triangle picks one of them).
void rasterise_triangle_fast(const Vec4& p1, const Vec4& p2, const Vec4& p3,
                             const Lighting& lighting, const float light[3], const float fog[3],
                             Vec2 uv1, Vec2 uv2, Vec2 uv3, const Material& material,
                             const RenderFlags& flags, Framebuffer& target);
void rasterise_triangle_reference(const Vec4& p1, const Vec4& p2, const Vec4& p3,
                                  const Lighting& lighting, const float light[3],
                                  const float fog[3], Vec2 uv1, Vec2 uv2, Vec2 uv3,
                                  const Material& material, const RenderFlags& flags,
                                  Framebuffer& target);

}  // namespace vel
