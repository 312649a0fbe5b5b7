// reference_image_test.cpp: whole pictures drawn through the renderer and
// compared byte for byte with the reference pictures in tests/golden/.
//
// A difference writes <name>.actual.ppm beside the reference so both can be
// viewed. After an intended change of the pictures, delete the reference and
// run once with VEL_UPDATE_GOLDEN=1 to write the new one.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "gfx/camera.h"
#include "gfx/draw2d.h"
#include "gfx/matrix.h"
#include "gfx/mesh_draw.h"
#include "support/picture.h"
#include "support/pixels.h"

namespace vel {
namespace {

// An 8 x 8 checker of two colours with a yellow top-left texel, so the
// picture shows both tiling and orientation.
Image checker_texture() {
  Image image = test::solid_image(8, 8, {0.85f, 0.85f, 0.8f, 1.0f});
  for (int32_t r = 0; r < 8; ++r) {
    for (int32_t x = 0; x < 8; ++x) {
      if ((r + x) % 2 == 1) test::set_texel(image, x, r, {0.1f, 0.35f, 0.4f, 1.0f});
    }
  }
  test::set_texel(image, 0, 0, {1.0f, 0.9f, 0.0f, 1.0f});
  return image;
}

// A colour-mapped 4 x 4 texture: a frame of palette entry 1 around entry 2,
// with one see-through texel (entry 3) that still occludes by depth.
Image crate_texture() {
  Image image;
  image.width = 4;
  image.height = 4;
  image.colour_mapped = true;
  image.palette = {{0.0f, 0.0f, 0.0f, 1.0f},
                   {0.55f, 0.3f, 0.1f, 1.0f},
                   {0.9f, 0.6f, 0.25f, 1.0f},
                   {1.0f, 1.0f, 1.0f, 0.0f}};
  image.indices = {1, 1, 1, 1,  //
                   1, 2, 2, 1,  //
                   1, 2, 3, 1,  //
                   1, 1, 1, 1};
  return image;
}

void add_quad(Mesh& mesh, Vec3 a, Vec3 b, Vec3 c, Vec3 d, Vec3 normal) {
  const uint64_t p = mesh.positions.size();
  const uint64_t n = mesh.normals.size();
  mesh.positions.insert(mesh.positions.end(), {a, b, c, d});
  mesh.normals.push_back(normal);
  // Texcoords 0..3 are the unit square's corners, shared by every face.
  const uint64_t quad[6] = {0, 1, 2, 0, 2, 3};
  for (const uint64_t k : quad) mesh.corners.push_back({p + k, k, n});
}

Mesh unit_square_texcoords() {
  Mesh mesh;
  mesh.texcoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
  return mesh;
}

// A floor reaching from far ahead to behind the eye, counter-clockwise seen
// from above.
Mesh floor_mesh() {
  Mesh mesh = unit_square_texcoords();
  add_quad(mesh, {-6.0f, 0.0f, 6.0f}, {6.0f, 0.0f, 6.0f}, {6.0f, 0.0f, -14.0f},
           {-6.0f, 0.0f, -14.0f}, {0.0f, 1.0f, 0.0f});
  return mesh;
}

// The cube from -0.5 to 0.5, faces counter-clockwise seen from outside.
Mesh cube_mesh() {
  Mesh mesh = unit_square_texcoords();
  const float h = 0.5f;
  add_quad(mesh, {-h, -h, h}, {h, -h, h}, {h, h, h}, {-h, h, h}, {0.0f, 0.0f, 1.0f});
  add_quad(mesh, {h, -h, -h}, {-h, -h, -h}, {-h, h, -h}, {h, h, -h}, {0.0f, 0.0f, -1.0f});
  add_quad(mesh, {h, -h, h}, {h, -h, -h}, {h, h, -h}, {h, h, h}, {1.0f, 0.0f, 0.0f});
  add_quad(mesh, {-h, -h, -h}, {-h, -h, h}, {-h, h, h}, {-h, h, -h}, {-1.0f, 0.0f, 0.0f});
  add_quad(mesh, {-h, h, h}, {h, h, h}, {h, h, -h}, {-h, h, -h}, {0.0f, 1.0f, 0.0f});
  add_quad(mesh, {-h, -h, -h}, {h, -h, -h}, {h, -h, h}, {-h, -h, h}, {0.0f, -1.0f, 0.0f});
  return mesh;
}

Mat4 placed(Vec3 position, float yaw, float tilt, float scale) {
  Mat4 model = mat4_mul(axis_rotation(1, yaw), axis_rotation(0, tilt));
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) model.at(r, c) = model.at(r, c) * scale;
  }
  set_translation(model, position);
  return model;
}

TEST(ReferencePicture, LitFoggedTexturedMeshes) {
  Framebuffer target = framebuffer_new(128, 72);
  const RenderFlags flags;
  clear_framebuffer({0.05f, 0.05f, 0.15f}, flags, target);

  Camera camera;
  camera.projection = perspective(0.01f, 40.0f);
  float pitch = 0.3f;  // looking down
  camera_look(camera, 0.35f, pitch, {0.0f, 1.6f, 4.0f});

  Lighting lighting;
  lighting.ambient = {0.3f, 0.3f, 0.35f, 1.0f};
  lighting.light_colour = {1.0f, 0.9f, 0.75f, 1.0f};
  lighting.fog_colour = {0.05f, 0.05f, 0.15f, 1.0f};
  lighting.light_direction = {-0.4f, -1.0f, -0.3f};
  lighting.light_type = kDirectionalLight;
  lighting.fog_start = 6.0f;
  lighting.fog_end = 16.0f;
  lighting.lighting_enabled = true;
  lighting.fog_enabled = true;

  const Image checker = checker_texture();
  const Image crate = crate_texture();
  draw_mesh(floor_mesh(),
            {.material = Material::textured(checker),
             .uv_scale = {6.0f, 10.0f},
             .lighting = lighting,
             .camera = camera,
             .flags = flags},
            target);
  const Mesh cube = cube_mesh();
  draw_mesh(cube, placed({-0.6f, 0.75f, -1.5f}, 0.6f, 0.25f, 1.5f), Material::textured(crate),
            lighting, camera, flags, target);
  draw_mesh(cube,
            {.model = placed({2.5f, 1.0f, -9.0f}, -0.3f, 0.0f, 2.0f),
             .material = Material::textured(crate),
             .uv_offset = {0.5f, 0.0f},
             .uv_scale = {2.0f, 1.0f},
             .lighting = lighting,
             .camera = camera,
             .flags = flags},
            target);

  // A point-lit, half-transparent flat pane over the floor.
  Lighting lamp = lighting;
  lamp.light_type = kPointLight;
  lamp.light_position = {1.4f, 0.7f, 2.5f};
  lamp.light_range = 4.0f;
  const Mesh pane = [] {
    Mesh mesh = unit_square_texcoords();
    add_quad(mesh, {1.2f, 0.1f, 1.6f}, {2.2f, 0.1f, 1.4f}, {2.2f, 0.9f, 1.4f}, {1.2f, 0.9f, 1.6f},
             {0.0f, 0.0f, 1.0f});
    return mesh;
  }();
  draw_mesh(pane, Mat4{}, Material::flat({0.9f, 0.3f, 0.2f, 0.5f}), lamp, camera, flags, target);

  EXPECT_TRUE(test::matches_golden(target, test::golden_path("lit_fogged_meshes.ppm")));
}

// A font of 6-pixel cells for codes 32..127 whose glyphs are fixed bit
// patterns derived from the code, with a transparent background.
Image pattern_font() {
  constexpr int32_t cell = 6;
  Image font = test::solid_image(8 * cell, 12 * cell, {0.0f, 0.0f, 0.0f, 0.0f});
  for (int32_t code = 33; code < 128; ++code) {
    const int32_t g = code - 32;
    const uint32_t bits = static_cast<uint32_t>(code) * 2654435761u;
    for (int32_t k = 0; k < 16; ++k) {
      if (((bits >> (k + 8)) & 1u) == 0) continue;
      const int32_t x = (g % 8) * cell + 1 + k % 4;
      const int32_t r = (g / 8) * cell + 1 + k / 4;
      test::set_texel(font, x, r, {1.0f, 1.0f, 1.0f, 1.0f});
    }
  }
  return font;
}

TEST(ReferencePicture, OverlayOfLinesRectanglesBlitsAndText) {
  Framebuffer target = framebuffer_new(96, 54);
  const RenderFlags flags;
  clear_framebuffer({0.1f, 0.1f, 0.1f}, flags, target);

  draw_rectangle({4, 4}, {40, 30}, {0.2f, 0.6f, 0.9f, 0.6f}, true, flags, target);
  draw_rectangle({2, 2}, {42, 32}, {1.0f, 1.0f, 1.0f, 0.5f}, false, flags, target);
  draw_line({50, 2}, {93, 20}, {1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f}, flags, target);
  draw_line({93, 24}, {60, 50}, {1.0f, 1.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 0.5f}, flags, target);
  draw_line({47, 2}, {47, 50}, {1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, flags, target);

  const Image crate = crate_texture();
  blit_image(crate, {.position = {70, 36}, .anchor = {0.5f, 0.5f}, .scale = {3.0f, 3.0f}}, flags,
             target);
  blit_image(checker_texture(),
             {.source = Rect{2, 2, 6, 6},
              .position = {22, 17},
              .anchor = {0.5f, 0.5f},
              .tint = Colour{1.0f, 0.5f, 0.5f, 0.75f},
              .mark_depth = true},
             flags, target);

  RenderFlags interlaced = flags;
  interlaced.interlace = 1;
  const Image font = pattern_font();
  draw_text(font, "Veltrocane 42!", {3, 44}, {1.0f, 0.9f, 0.3f, 1.0f}, flags, target);
  draw_text(font, "~field~", {3, 37}, {0.5f, 1.0f, 0.5f, 0.7f}, interlaced, target);

  EXPECT_TRUE(test::matches_golden(target, test::golden_path("overlay.ppm")));
}

}  // namespace
}  // namespace vel
