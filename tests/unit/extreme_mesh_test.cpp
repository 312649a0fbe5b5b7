// extreme_mesh_test.cpp: meshes whose numbers sit at the ends of the float
// range draw without undefined behaviour, the same on both paths.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx/camera.h"
#include "gfx/mesh_draw.h"
#include "gfx/obj_reader.h"

namespace vel {
namespace {

// A vertex near the largest float beside an ordinary triangle: its screen
// row saturates, and everything after the projection must cope.
constexpr char kTallMesh[] =
    "v 0 3e38 0\n"
    "v -1 -1 -3\n"
    "v 1 -1 -3\n"
    "v 0 1 -3\n"
    "vt 0 0\n"
    "f 2/1 3/1 4/1\n"
    "f 1/1 2/1 3/1\n"
    "f 1/1 1/1 1/1\n"
    "f 3/1 1/1 2/1\n";

Framebuffer drawn(const Mesh& mesh, const Camera& camera, RasterPath path) {
  Framebuffer target = framebuffer_new(kPictureWidth, kPictureHeight);
  clear_framebuffer({0.2f, 0.4f, 0.6f}, RenderFlags{}, target);
  const Lighting lighting{.lighting_enabled = false, .fog_enabled = false};
  draw_mesh(mesh, Mat4{}, Material::flat({1.0f, 1.0f, 1.0f, 1.0f}), {0.0f, 0.0f}, {1.0f, 1.0f},
            lighting, camera, RenderFlags{}, target, path);
  return target;
}

TEST(ExtremeMesh, AVertexNear3e38DrawsTheSameOnBothPaths) {
  const ParseResult<Mesh> mesh = parse_obj(kTallMesh, "tall.obj");
  ASSERT_TRUE(mesh) << mesh.error;
  std::vector<Camera> cameras(1);  // the identity camera first
  for (const Vec3 eye : {Vec3{0.0f, 0.0f, 0.0f}, Vec3{0.0f, 2.0f, 4.0f}, Vec3{0.5f, -3.0f, 1.0f}}) {
    for (float pitch : {0.0f, 0.7f, -0.7f}) {
      Camera camera;
      camera.projection = perspective(0.01f, 100.0f);
      camera_look(camera, 0.3f, pitch, eye);
      cameras.push_back(camera);
    }
  }
  for (const Camera& camera : cameras) {
    const Framebuffer fast = drawn(*mesh.value, camera, RasterPath::fast);
    const Framebuffer reference = drawn(*mesh.value, camera, RasterPath::reference);
    EXPECT_EQ(fast.colour, reference.colour);
    // Compared as bits: a depth may be not-a-number here, on both paths.
    ASSERT_EQ(fast.depth.size(), reference.depth.size());
    EXPECT_EQ(
        std::memcmp(fast.depth.data(), reference.depth.data(), fast.depth.size() * sizeof(float)),
        0);
  }
}

}  // namespace
}  // namespace vel
