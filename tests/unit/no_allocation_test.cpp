// no_allocation_test.cpp: drawing allocates nothing: draw_mesh on both
// rasteriser paths (near-plane cuts and meshes too big for the fast path's
// vertex table included), and a few hundred frames of the city seen from the
// benchmark's high view, where the most triangles are drawn. Counts every
// operator new of the test program (support/allocation_counter).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/camera.h"
#include "gfx/mesh_draw.h"
#include "gfx/obj_reader.h"
#include "gfx/tga_reader.h"
#include "sim/bench.h"
#include "support/allocation_counter.h"
#include "support/asset_path.h"
#include "support/city_fixture.h"

namespace vel {
namespace {

// A flat grid of 40 x 40 positions: more than the fast path's table holds.
Mesh big_grid_mesh() {
  Mesh mesh;
  for (int j = 0; j < 40; ++j) {
    for (int i = 0; i < 40; ++i) {
      mesh.positions.push_back(
          {static_cast<float>(i) - 20.0f, 0.0f, static_cast<float>(j) - 20.0f});
      mesh.texcoords.push_back({static_cast<float>(i) * 0.25f, static_cast<float>(j) * 0.25f});
    }
  }
  mesh.normals.push_back({0.0f, 1.0f, 0.0f});
  for (uint64_t j = 0; j + 1 < 40; ++j) {
    for (uint64_t i = 0; i + 1 < 40; ++i) {
      const uint64_t a = j * 40 + i, b = a + 1, c = a + 40, d = c + 1;
      for (const uint64_t v : {a, c, b, b, c, d}) mesh.corners.push_back({v, v, 0});
    }
  }
  return mesh;
}

TEST(NoAllocation, DrawMeshOnBothPathsAllocatesNothing) {
  const std::vector<Mesh> meshes = {read_obj(test::asset_path("building_1_base.obj")),
                                    read_obj(test::asset_path("car1/car1.obj")),
                                    read_obj(test::asset_path("drone/drone.obj")), big_grid_mesh()};
  const Image true_colour = read_tga(test::asset_path("building_3.tga"));
  const Image colour_mapped = read_tga(test::asset_path("terrace.tga"));
  Framebuffer target = framebuffer_new(320, 180);
  Camera camera;
  camera.projection = perspective(0.01f, 90.0f);
  Lighting lighting;
  lighting.fog_enabled = true;
  lighting.fog_end = 60.0f;
  const RenderFlags flags;

  const size_t before = test::allocation_count();
  ASSERT_GT(before, 0u) << "the counting operator new is not in use";
  for (const RasterPath path : {RasterPath::reference, RasterPath::fast}) {
    for (int view = 0; view < 8; ++view) {
      // Eyes inside and beside the meshes: triangles reach behind the eye
      // and are cut at the near plane.
      float pitch = 0.3f * static_cast<float>(view % 3) - 0.3f;
      camera_look(camera, 0.8f * static_cast<float>(view), pitch,
                  {0.5f * static_cast<float>(view) - 2.0f, 1.0f, 3.0f - static_cast<float>(view)});
      clear_framebuffer({0.0f, 0.0f, 0.0f}, flags, target);
      for (const Mesh& mesh : meshes) {
        const Image& texture = view % 2 == 0 ? true_colour : colour_mapped;
        draw_mesh(mesh,
                  {.material = Material::textured(texture),
                   .lighting = lighting,
                   .camera = camera,
                   .flags = flags,
                   .path = path},
                  target);
      }
    }
  }
  EXPECT_EQ(test::allocation_count() - before, 0u);
}

TEST(NoAllocation, HighViewFramesOnBothPathsAllocateNothing) {
  for (const RasterPath path : {RasterPath::reference, RasterPath::fast}) {
    CityScene scene;
    test::EndedRun ended;
    test::init_real_scene(scene, ended);
    scene.raster_path = path;
    Framebuffer target = framebuffer_new(320, 180);
    const Settings settings;
    const float step = 1.0f / 60.0f;
    // Through the opening, so that everything a frame may grow has grown.
    int frame = 0;
    while (frame < 320) {
      ++frame;
      hold_high_view(scene, static_cast<float>(frame) * step);
      scene.update({}, target, step, static_cast<float>(frame) * step, settings);
    }
    const size_t before = test::allocation_count();
    while (frame < 700) {
      ++frame;
      hold_high_view(scene, static_cast<float>(frame) * step);
      scene.update({}, target, step, static_cast<float>(frame) * step, settings);
    }
    EXPECT_EQ(test::allocation_count() - before, 0u)
        << (path == RasterPath::fast ? "fast" : "reference");
  }
}

}  // namespace
}  // namespace vel
