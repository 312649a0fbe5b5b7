// mesh_bench.cpp: draw_mesh of a building block and a flying car at the
// distances the city shows them, on the 320 x 180 target.
//
// The real meshes and textures are read from assets/ when present;
// otherwise a stand-in box of the same size and a generated texture are used
// (the label says which). Each iteration
// starts from a reset depth buffer, as a frame does; the reset itself is not
// timed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "gfx/camera.h"
#include "gfx/mesh_draw.h"
#include "gfx/obj_reader.h"
#include "gfx/tga_reader.h"

namespace vel {
namespace {

// An axis-aligned box from (-sx, 0, -sz) to (sx, sy, sz), outward and
// counter-clockwise, with unit texcoords on every face.
Mesh box_mesh(float sx, float sy, float sz) {
  Mesh mesh;
  mesh.texcoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
  const auto quad = [&mesh](Vec3 a, Vec3 b, Vec3 c, Vec3 d, Vec3 n) {
    const uint64_t p = mesh.positions.size();
    const uint64_t ni = mesh.normals.size();
    mesh.positions.insert(mesh.positions.end(), {a, b, c, d});
    mesh.normals.push_back(n);
    for (const uint64_t k : {0u, 1u, 2u, 0u, 2u, 3u}) mesh.corners.push_back({p + k, k, ni});
  };
  const float o = 0.0f;
  quad({-sx, o, sz}, {sx, o, sz}, {sx, sy, sz}, {-sx, sy, sz}, {0.0f, 0.0f, 1.0f});
  quad({sx, o, -sz}, {-sx, o, -sz}, {-sx, sy, -sz}, {sx, sy, -sz}, {0.0f, 0.0f, -1.0f});
  quad({sx, o, sz}, {sx, o, -sz}, {sx, sy, -sz}, {sx, sy, sz}, {1.0f, 0.0f, 0.0f});
  quad({-sx, o, -sz}, {-sx, o, sz}, {-sx, sy, sz}, {-sx, sy, -sz}, {-1.0f, 0.0f, 0.0f});
  quad({-sx, sy, sz}, {sx, sy, sz}, {sx, sy, -sz}, {-sx, sy, -sz}, {0.0f, 1.0f, 0.0f});
  quad({-sx, o, -sz}, {sx, o, -sz}, {sx, o, sz}, {-sx, o, sz}, {0.0f, -1.0f, 0.0f});
  return mesh;
}

struct BenchMesh {
  Mesh mesh;
  std::string label;
};

BenchMesh load_or_stand_in(const char* asset, Vec3 stand_in_size) {
  const std::string path = std::string(VEL_SOURCE_DIR) + "/" + asset;
  if (std::filesystem::exists(path)) return {read_obj(path), asset};
  return {box_mesh(stand_in_size.x, stand_in_size.y, stand_in_size.z), "stand-in box"};
}

Image load_texture_or_stand_in(const char* asset) {
  const std::string path = std::string(VEL_SOURCE_DIR) + "/" + asset;
  if (std::filesystem::exists(path)) return read_tga(path);
  Image image;
  image.width = 64;
  image.height = 64;
  image.pixels.resize(64 * 64);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    const float a = static_cast<float>(i % 64) / 63.0f;
    image.pixels[i] = {a, 0.5f, 1.0f - a, 1.0f};
  }
  return image;
}

enum class Subject { building, car };

// The city's usual set-up: lighting off, fog from 50 to 70, far plane 90,
// the eye a little above the street looking slightly down the avenue.
void bm_draw_mesh(benchmark::State& state, Subject subject, float distance) {
  const bool building = subject == Subject::building;
  const BenchMesh subject_mesh =
      building ? load_or_stand_in("assets/building_1_base.obj", {7.5f, 15.0f, 7.5f})
               : load_or_stand_in("assets/car1/car1.obj", {1.0f, 0.8f, 2.2f});
  const Image texture =
      load_texture_or_stand_in(building ? "assets/building_3.tga" : "assets/car1/tex.tga");
  state.SetLabel(subject_mesh.label + ", " + std::to_string(subject_mesh.mesh.corners.size() / 3) +
                 " triangles, " + std::to_string(texture.width) + "x" +
                 std::to_string(texture.height) + " texture");

  Framebuffer target = framebuffer_new(320, 180);
  const RenderFlags flags;
  clear_framebuffer({0.0f, 0.0f, 0.0f}, flags, target);
  Camera camera;
  camera.projection = perspective(0.01f, 90.0f);
  float pitch = 0.1f;
  camera_look(camera, 0.2f, pitch, {0.0f, 8.0f, 0.0f});

  Lighting lighting;
  lighting.ambient = {0.1f, 0.1f, 0.1f, 1.0f};
  lighting.lighting_enabled = false;
  lighting.fog_enabled = true;
  lighting.fog_start = 50.0f;
  lighting.fog_end = 70.0f;

  Mat4 model;
  const float height = building ? 0.0f : 6.0f;
  set_translation(model, {0.0f, height, -distance});
  const Material material = Material::textured(texture);

  for (auto _ : state) {
    state.PauseTiming();
    std::fill(target.depth.begin(), target.depth.end(), kDepthEmpty);
    state.ResumeTiming();
    draw_mesh(subject_mesh.mesh, model, material, lighting, camera, flags, target);
    benchmark::DoNotOptimize(target.colour.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK_CAPTURE(bm_draw_mesh, building_at_30, Subject::building, 30.0f);
BENCHMARK_CAPTURE(bm_draw_mesh, building_at_60, Subject::building, 60.0f);
BENCHMARK_CAPTURE(bm_draw_mesh, car_at_10, Subject::car, 10.0f);
BENCHMARK_CAPTURE(bm_draw_mesh, car_at_40, Subject::car, 40.0f);

}  // namespace
}  // namespace vel
