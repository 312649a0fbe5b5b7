// raster.h: the triangle rasteriser (called only by draw_mesh): one pixel
// rule, two implementations that must give the same colour and depth bytes.
//
// The map. `reference` is the rule itself; `fast` is what the game draws
// with. Every fast-path file keeps one invariant: each vector lane does, for
// its own pixel or position, the reference's IEEE single-precision
// operations in the reference's order (the build forbids fusing them), so
// only the amount of work changes, never a result.
//   raster_reference.cpp  the pixel rule, one pixel at a time over the box.
//   raster_fast.h/.cpp    the fast path's entry: per-call rules (FillRules),
//                         per-vertex screen values, the per-triangle set-up,
//                         the pixel-by-pixel test of small boxes, and the
//                         choice of 4, 8 or 16 lanes.
//   raster_kernels.h      the two fill kernels (any rules; the city's fogged
//                         texture) and the per-group steps they share.
//   raster_lanes.h        the vector types and lane operations, each the
//                         exact lane form of a scalar expression.
//   raster_rows.h/.cpp    the per-triangle values and the pixels of a row
//                         that can be covered, with a proven rounding slack.
//   texel_source.h/.cpp   texel addressing, shared by both paths.
//   vertex_table.h/.cpp   draw_mesh's per-position values, once per call.
//   triangle_batch.h/.cpp which of eight triangles draw anything at all.
//   cpu_features.h        the wide code's target strings and the run-time
//                         check of the processor.
// Guarded by tests/unit/raster_equivalence_test.cpp (random triangles at
// every lane width, vertex tables, triangle batches, real meshes, every
// frame of the default course on both paths), tests/unit/raster_test.cpp
// (the pixel rule itself, case by case, drawn by the default path) and the
// default course's frame hashes and golden pictures.
//
// To change a pixel rule: change it in raster_reference.cpp (and its test in
// raster_test.cpp); mirror it, operation for operation, in raster_kernels.h
// (and in triangle_batch.cpp or vertex_table.cpp where it touches them); run
// the equivalence tests (`make unit`).
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

// Texels (or flat colours) with an alpha below this are not drawn, but their
// depth is still written: a nearly transparent texel occludes like an opaque
// one.
inline constexpr float kAlphaCutoff = 0.05f;

// Two implementations of the same pixel rule, which must give the same
// bytes. `reference` evaluates every pixel of the triangle's box one at a
// time, each step written out plainly; `fast` (the default) skips the parts
// of the box no pixel of the triangle can reach and evaluates several pixels
// at once with the very same float operations per pixel. The reference is
// kept as the yardstick for tests and benchmarks.
enum class RasterPath : uint8_t { fast, reference };

// One triangle for the rasteriser and everything it is filled with: its
// clip-space corners (every w > 0; the mesh drawer cuts the others first),
// texture coordinates, and per-vertex light intensities and fog
// visibilities, in vertex order. The defaults fill a flat white triangle,
// unlit and unfogged, depth-tested, on the fast path, so a call names only
// what differs:
//   rasterise_triangle({.p1 = a, .p2 = b, .p3 = c, .material = Material::flat(red)}, target);
struct TriangleFill {
  Vec4 p1{};
  Vec4 p2{};
  Vec4 p3{};
  Vec2 uv1{};
  Vec2 uv2{};
  Vec2 uv3{};
  float light[3] = {1.0f, 1.0f, 1.0f};
  float fog[3] = {1.0f, 1.0f, 1.0f};
  Material material = Material::flat({1.0f, 1.0f, 1.0f, 1.0f});
  Lighting lighting{.lighting_enabled = false, .fog_enabled = false};
  RenderFlags flags{};
  RasterPath path = RasterPath::fast;
};

// Fills one triangle on fill.path. Pixels sample their lower-left corner;
// edge pixels belong to every triangle that touches them. Depth is written
// before the alpha cut-off (kAlphaCutoff), so transparent texels still
// occlude.
// A triangle of zero area draws nothing; a texture with no texels to read
// (zero size, short arrays, an index past the palette) draws as transparent.
void rasterise_triangle(const TriangleFill& fill, Framebuffer& target);

// The two paths by name (rasterise_triangle picks one of them); both leave
// fill.path unread.
void rasterise_triangle_fast(const TriangleFill& fill, Framebuffer& target);
void rasterise_triangle_reference(const TriangleFill& fill, Framebuffer& target);

}  // namespace vel
