// mesh_draw.h: drawing one placed mesh (rejection, culling, vertex lighting,
// fog, near-plane cut) through the rasteriser.
#pragma once

#include "gfx/camera.h"
#include "gfx/framebuffer.h"
#include "gfx/lighting.h"
#include "gfx/mesh.h"
#include "gfx/raster.h"

namespace vel {

void draw_mesh(const Mesh& mesh, const Mat4& model, const Material& material, Vec2 uv_offset,
               Vec2 uv_scale, const Lighting& lighting, const Camera& camera,
               const RenderFlags& flags, Framebuffer& target);

}  // namespace vel
