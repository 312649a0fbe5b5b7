// mesh_draw_run.h: what the renderer's fuzz target does with one input: a
// fuzzed OBJ that the reader accepts is drawn from a few cameras, flat and
// textured, lit and fogged, on both raster paths, so the sanitizers watch
// the whole way from the file's numbers to the pixels. The unit tests
// replay the saved crash inputs through it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/camera.h"
#include "gfx/mesh_draw.h"
#include "gfx/obj_reader.h"

namespace vel::fuzz {

// A 2x2 true-colour texture, so the textured kernels run too.
inline Image small_texture() {
  Image image;
  image.width = 2;
  image.height = 2;
  image.pixels = {{1.0f, 0.0f, 0.0f, 1.0f},
                  {0.0f, 1.0f, 0.0f, 1.0f},
                  {0.0f, 0.0f, 1.0f, 0.5f},
                  {1.0f, 1.0f, 1.0f, 0.0f}};
  return image;
}

// The identity camera (world x and y are the screen) and the game's
// projection from inside, beside and above the usual mesh sizes.
inline std::array<Camera, 4> cameras() {
  std::array<Camera, 4> all{};
  const std::array<Vec3, 3> eyes{Vec3{0.0f, 1.0f, 5.0f}, Vec3{-3.0f, 0.5f, 0.0f},
                                 Vec3{0.0f, 40.0f, 20.0f}};
  const std::array<float, 3> yaws{0.0f, 1.2f, 3.0f};
  for (size_t i = 0; i < eyes.size(); ++i) {
    Camera& camera = all[i + 1];
    camera.projection = perspective(0.1f, 200.0f);
    float pitch = i == 2 ? -1.0f : 0.0f;
    camera_look(camera, yaws[i], pitch, eyes[i]);
  }
  return all;
}

inline void draw_fuzzed_mesh(std::string_view text) {
  const ParseResult<Mesh> mesh = parse_obj(text, "fuzz/input.obj");
  if (!mesh) return;

  const Image texture = small_texture();
  Lighting lighting;
  lighting.light_type = kPointLight;
  lighting.light_position = {0.0f, 3.0f, 2.0f};
  lighting.fog_enabled = true;
  Framebuffer target = framebuffer_new(kPictureWidth, kPictureHeight);
  int k = 0;
  for (const Camera& camera : cameras()) {
    for (const RasterPath path : {RasterPath::fast, RasterPath::reference}) {
      const bool textured = (k++ & 1) != 0;
      const Material material =
          textured ? Material::textured(texture) : Material::flat({0.8f, 0.6f, 0.4f, 1.0f});
      RenderFlags flags;
      flags.interlace = static_cast<uint8_t>(k & 2 ? 1 : 0);
      flags.cull_back_faces = static_cast<uint8_t>(k & 4 ? 0 : 1);
      clear_framebuffer({0.1f, 0.2f, 0.3f}, flags, target);
      draw_mesh(*mesh.value,
                {.material = material,
                 .uv_offset = {0.25f, 0.0f},
                 .uv_scale = {1.0f, 2.0f},
                 .lighting = lighting,
                 .camera = camera,
                 .flags = flags,
                 .path = path},
                target);
    }
  }
}

}  // namespace vel::fuzz
