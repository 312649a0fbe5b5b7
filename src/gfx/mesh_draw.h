// mesh_draw.h: drawing one placed mesh (rejection, culling, vertex lighting,
// fog, near-plane cut) through the rasteriser.
#pragma once

#include "gfx/camera.h"
#include "gfx/framebuffer.h"
#include "gfx/lighting.h"
#include "gfx/mesh.h"
#include "gfx/raster.h"

namespace vel {

inline constexpr int kMaxCutCorners = 4;

// The part of a clip-space triangle in front of the near plane z = -0.1 w
// (kept where -z - 0.1 w <= 0), as a convex polygon drawn as a fan from
// corner 0. `count` is at most 4; fewer than 3 corners draw nothing.
struct NearCut {
  Vec4 position[kMaxCutCorners];
  Vec2 uv[kMaxCutCorners];
  int count = 0;
};

NearCut cut_near_plane(const Vec4 clip[3], const Vec2 uv[3]);

// Draws one placed mesh: MVP = view_projection * model; triangles wholly
// outside the clip volume are skipped, clockwise ones too when culling; light
// and fog are evaluated per vertex and triangles reaching behind the eye are
// cut at the near plane. Stops the program with "Unknown light type" when a
// lit triangle meets a light_type other than point or directional.
//
// Both paths draw the same bytes. The reference transforms every corner of
// every triangle and fills with the reference rasteriser; the fast path
// transforms each position once per call, skips a mesh whose positions all
// lie beyond one side of the clip volume, and fills with the fast
// rasteriser.
void draw_mesh(const Mesh& mesh, const Mat4& model, const Material& material, Vec2 uv_offset,
               Vec2 uv_scale, const Lighting& lighting, const Camera& camera,
               const RenderFlags& flags, Framebuffer& target, RasterPath path = RasterPath::fast);

}  // namespace vel
