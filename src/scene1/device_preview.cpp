// device_preview.cpp: rendering device models into the small square
// pictures of the system panel and the device menu.
#include "scene1/device_preview.h"

#include <algorithm>
#include <cmath>

#include "gfx/camera.h"
#include "gfx/lighting.h"
#include "gfx/matrix.h"
#include "gfx/mesh_draw.h"
#include "gfx/raster.h"

namespace vel {

namespace {

// The model is scaled to a unit sphere and seen from this far along +z: with
// the vertical scale of the game's projection (a 43 degree field) a unit
// sphere then spans about 85% of the picture.
constexpr float kEyeDistance = 3.0f;
// Tipped towards the viewer so that a model lying flat is not seen edge-on.
constexpr float kTilt = 0.5f;

// Model space to preview space: T(-centre), uniform scale to radius 1, the
// turn about y, then the tilt about x.
Mat4 preview_model(const Mesh& mesh, float turn) {
  float radius_squared = 0.0f;
  for (const Vec3 p : mesh.positions) {
    radius_squared = std::max(radius_squared, length_squared(p - mesh.centre));
  }
  const float radius = std::sqrt(radius_squared);
  const float scale = radius > 0.0f ? 1.0f / radius : 1.0f;
  Mat4 fit;
  fit.at(0, 0) = scale;
  fit.at(1, 1) = scale;
  fit.at(2, 2) = scale;
  set_translation(fit, -mesh.centre * scale);
  return mat4_mul(axis_rotation(0, kTilt), mat4_mul(axis_rotation(1, turn), fit));
}

Camera preview_camera() {
  Camera camera;
  camera.projection = perspective(0.01f, 10.0f);
  // The pictures are square: the same scale on both axes.
  camera.projection.at(0, 0) = kProjectionScaleY;
  camera.eye = {0.0f, 0.0f, kEyeDistance};
  set_translation(camera.view, -camera.eye);
  camera.view_projection = mat4_mul(camera.projection, camera.view);
  return camera;
}

// Lit from the upper left in front, with enough ambient light that the back
// of a turning model is still readable; no fog.
Lighting preview_lighting() {
  Lighting lighting;
  lighting.ambient = {0.45f, 0.45f, 0.45f, 1.0f};
  lighting.light_colour = {1.0f, 1.0f, 1.0f, 1.0f};
  lighting.light_direction = {0.4f, -0.6f, -1.0f};
  lighting.light_type = kDirectionalLight;
  lighting.lighting_enabled = true;
  lighting.fog_enabled = false;
  return lighting;
}

}  // namespace

void render_device_preview(const Mesh& mesh, const Image& texture, float turn, Framebuffer& target,
                           RasterPath path) {
  const RenderFlags flags{.depth_test = 1, .interlace = 0, .cull_back_faces = 0};
  clear_framebuffer(Rgb{0.0f, 0.0f, 0.0f}, flags, target);
  if (mesh.positions.empty()) return;
  draw_mesh(mesh,
            {.model = preview_model(mesh, turn),
             .material = Material::textured(texture),
             .lighting = preview_lighting(),
             .camera = preview_camera(),
             .flags = flags,
             .path = path},
            target);
}

Image preview_picture(const Framebuffer& target) {
  return framebuffer_to_image(target, true);
}

void grey_out(Image& picture) {
  for (Colour& c : picture.pixels) {
    if (c.a == 0.0f) continue;
    const float grey = 0.4f * (c.r + c.g + c.b) / 3.0f;
    c = {grey, grey, grey, 1.0f};
  }
}

}  // namespace vel
