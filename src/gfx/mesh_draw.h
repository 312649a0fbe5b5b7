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

// How one mesh is placed, shaded and filled. The defaults draw it where it
// stands (the identity model) in flat white with its own texture
// coordinates, unlit and unfogged, through the identity camera, on the fast
// path; a call names what differs:
//   draw_mesh(mesh, {.model = placed, .uv_scale = {2.0f, 1.0f}, .lighting = lighting,
//                    .camera = camera, .flags = flags}, target);
struct MeshDraw {
  Mat4 model{};
  Material material = Material::flat({1.0f, 1.0f, 1.0f, 1.0f});
  // A texture coordinate t is drawn at t * uv_scale + uv_offset.
  Vec2 uv_offset{0.0f, 0.0f};
  Vec2 uv_scale{1.0f, 1.0f};
  Lighting lighting{.lighting_enabled = false, .fog_enabled = false};
  Camera camera{};
  RenderFlags flags{};
  RasterPath path = RasterPath::fast;
};

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
void draw_mesh(const Mesh& mesh, const MeshDraw& draw, Framebuffer& target);

// The common case: the mesh's own texture coordinates, on the fast path.
inline void draw_mesh(const Mesh& mesh, const Mat4& model, const Material& material,
                      const Lighting& lighting, const Camera& camera, const RenderFlags& flags,
                      Framebuffer& target) {
  draw_mesh(mesh,
            {.model = model,
             .material = material,
             .lighting = lighting,
             .camera = camera,
             .flags = flags},
            target);
}

}  // namespace vel
