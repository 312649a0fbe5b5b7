// mesh_draw_test.cpp: whole-mesh drawing: rejection, culling, per-vertex
// point and directional light, fog, the near-plane cut and malformed meshes.
#include "gfx/mesh_draw.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gfx/camera.h"
#include "support/pixels.h"

namespace vel {
namespace {

using test::Bgr;
using test::depth_at;
using test::kBlackPx;
using test::kWhite;
using test::kWhitePx;
using test::pixel_at;

constexpr Bgr kGreyPx{127, 127, 127};  // a white surface at half light
constexpr Bgr kBackgroundPx{153, 102, 51};

// One triangle with texcoords (0,0), (1,0), (0,1) and one shared normal.
Mesh triangle_mesh(Vec3 a, Vec3 b, Vec3 c, Vec3 normal = {0.0f, 0.0f, 1.0f}) {
  Mesh mesh;
  mesh.positions = {a, b, c};
  mesh.texcoords = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
  mesh.normals = {normal};
  mesh.corners = {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}};
  return mesh;
}

// With the identity camera, world x and y are normalised screen coordinates.
// This triangle covers the whole screen counter-clockwise, and its third
// vertex lies on the corner of pixel (0, 0), which therefore shows that
// vertex's own light and fog values exactly.
Mesh screen_mesh(Vec3 normal = {0.0f, 0.0f, 1.0f}) {
  return triangle_mesh({3.0f, -1.0f, 0.0f}, {-1.0f, 3.0f, 0.0f}, {-1.0f, -1.0f, 0.0f}, normal);
}

Lighting no_light() {
  return Lighting{.lighting_enabled = false, .fog_enabled = false};
}

// Ambient 0 and a white light: a white surface shows the intensity itself.
Lighting light_only(uint8_t type) {
  Lighting lighting;
  lighting.ambient = {0.0f, 0.0f, 0.0f, 1.0f};
  lighting.light_colour = kWhite;
  lighting.light_type = type;
  lighting.lighting_enabled = true;
  lighting.fog_enabled = false;
  return lighting;
}

Framebuffer background(int32_t width = 8, int32_t height = 8) {
  Framebuffer target = framebuffer_new(width, height);
  clear_framebuffer({0.2f, 0.4f, 0.6f}, RenderFlags{}, target);
  return target;
}

int drawn_pixels(const Framebuffer& target) {
  int n = 0;
  for (int32_t y = 0; y < target.height; ++y) {
    for (int32_t x = 0; x < target.width; ++x) n += depth_at(target, x, y) != kDepthEmpty;
  }
  return n;
}

// Draws with the identity camera, identity model and no uv change.
void draw_plain(const Mesh& mesh, const Lighting& lighting, const RenderFlags& flags,
                Framebuffer& target, const Camera& camera = Camera{}) {
  draw_mesh(mesh, Mat4{}, Material::flat(kWhite), lighting, camera, flags, target);
}

// A camera at the origin looking down -z through the game's projection.
Camera eye_camera() {
  Camera camera;
  camera.projection = perspective(0.01f, 100.0f);
  float pitch = 0.0f;
  camera_look(camera, 0.0f, pitch, {0.0f, 0.0f, 0.0f});
  return camera;
}

// ---- rejection and culling ---------------------------------------------

TEST(DrawMeshCulling, ClockwiseTrianglesAreSkippedOnlyWhileCulling) {
  const Mesh front = screen_mesh();
  const Mesh back = triangle_mesh({-1.0f, 3.0f, 0.0f}, {3.0f, -1.0f, 0.0f}, {-1.0f, -1.0f, 0.0f});
  RenderFlags culling;
  Framebuffer target = background();
  draw_plain(front, no_light(), culling, target);
  EXPECT_EQ(drawn_pixels(target), 64);

  target = background();
  draw_plain(back, no_light(), culling, target);
  EXPECT_EQ(drawn_pixels(target), 0);

  RenderFlags both_sides;
  both_sides.cull_back_faces = 0;
  draw_plain(back, no_light(), both_sides, target);
  EXPECT_EQ(drawn_pixels(target), 64);
  EXPECT_EQ(pixel_at(target, 5, 2), kWhitePx);
}

TEST(DrawMeshCulling, TrianglesWhollyOutsideTheClipVolumeAreSkipped) {
  struct Case {
    const char* name;
    Mesh mesh;
  };
  const Case outside[] = {
      {"beyond far", triangle_mesh({-1.0f, -1.0f, 1.5f}, {1.0f, -1.0f, 1.5f}, {0.0f, 1.0f, 1.5f})},
      {"right", triangle_mesh({1.5f, -1.0f, 0.0f}, {3.0f, -1.0f, 0.0f}, {2.0f, 1.0f, 0.0f})},
      {"left", triangle_mesh({-3.0f, -1.0f, 0.0f}, {-1.5f, -1.0f, 0.0f}, {-2.0f, 1.0f, 0.0f})},
      {"top", triangle_mesh({-1.0f, 1.5f, 0.0f}, {1.0f, 1.5f, 0.0f}, {0.0f, 3.0f, 0.0f})},
  };
  for (const Case& c : outside) {
    Framebuffer target = background();
    draw_plain(c.mesh, no_light(), RenderFlags{}, target);
    EXPECT_EQ(drawn_pixels(target), 0) << c.name;
  }

  // Just inside the far plane it is drawn.
  Framebuffer target = background();
  draw_plain(triangle_mesh({-1.0f, -1.0f, 0.99f}, {1.0f, -1.0f, 0.99f}, {0.0f, 1.0f, 0.99f}),
             no_light(), RenderFlags{}, target);
  EXPECT_GT(drawn_pixels(target), 0);

  // Wholly behind the eye: every w is negative.
  Framebuffer behind = background();
  draw_plain(triangle_mesh({-1.0f, -1.0f, 2.0f}, {1.0f, -1.0f, 2.0f}, {0.0f, 1.0f, 2.0f}),
             no_light(), RenderFlags{}, behind, eye_camera());
  EXPECT_EQ(drawn_pixels(behind), 0);
}

// ---- lights ------------------------------------------------------------

// The colour of pixel (0, 0): vertex 3 of the white screen triangle.
Bgr lit_corner(const Mesh& mesh, const Lighting& lighting, const Camera& camera = Camera{}) {
  Framebuffer target = background();
  draw_plain(mesh, lighting, RenderFlags{}, target, camera);
  return pixel_at(target, 0, 0);
}

TEST(DrawMeshLight, DirectionalLightFromAboveLightsUpwardNormalsOnly) {
  Lighting down = light_only(kDirectionalLight);
  down.light_direction = {0.0f, -3.0f, 0.0f};  // normalised on use
  EXPECT_EQ(lit_corner(screen_mesh({0.0f, 5.0f, 0.0f}), down), kWhitePx);
  EXPECT_EQ(lit_corner(screen_mesh({0.0f, -1.0f, 0.0f}), down), kBlackPx);
  EXPECT_EQ(lit_corner(screen_mesh({1.0f, 0.0f, 0.0f}), down), kBlackPx);  // grazing
}

TEST(DrawMeshLight, PointLightFallsOffLinearlyAndNeedsToFaceTheSurface) {
  // The light stands 5 units in front of vertex 3 at (-1, -1, 0).
  Lighting point = light_only(kPointLight);
  point.light_position = {-1.0f, -1.0f, 5.0f};
  point.light_range = 10.0f;
  EXPECT_EQ(lit_corner(screen_mesh(), point), kGreyPx);  // (10 - 5) / 10 = 0.5

  // Facing away or out of reach, the intensity is 0, not negative: with an
  // ambient of 0.5 the surface keeps exactly its ambient half.
  point.ambient = {0.5f, 0.5f, 0.5f, 1.0f};
  EXPECT_EQ(lit_corner(screen_mesh({0.0f, 0.0f, -1.0f}), point), kGreyPx);
  point.light_range = 4.0f;
  EXPECT_EQ(lit_corner(screen_mesh(), point), kGreyPx);
}

TEST(DrawMeshLight, NormalsFollowTheModelRotation) {
  // A quarter turn about x carries the normal (0, 0, 1) to (0, -1, 0), which
  // faces a light shining upward. The rotated triangle lies in the y = 0
  // plane, so look at it through a camera that sees it from above.
  Lighting up = light_only(kDirectionalLight);
  up.light_direction = {0.0f, 1.0f, 0.0f};
  const Mat4 quarter_turn = axis_rotation(0, 1.5707964f);
  Mat4 look_down;  // rows: x -> x, z -> y, y -> z
  look_down.at(1, 1) = 0.0f;
  look_down.at(1, 2) = -1.0f;
  look_down.at(2, 1) = 1.0f;
  look_down.at(2, 2) = 0.0f;
  Camera camera;
  camera.view_projection = look_down;
  Framebuffer target = background();
  RenderFlags flags;
  flags.cull_back_faces = 0;
  draw_mesh(screen_mesh(), quarter_turn, Material::flat(kWhite), up, camera, flags, target);
  EXPECT_EQ(pixel_at(target, 4, 4), kWhitePx);
}

TEST(DrawMeshLight, UnknownLightTypeStopsTheProgramOnlyWhenLighting) {
  Lighting odd = light_only(2);
  odd.lighting_enabled = false;
  EXPECT_EQ(lit_corner(screen_mesh(), odd), kWhitePx);

  // A culled triangle never reaches the lighting step.
  const Mesh back = triangle_mesh({-1.0f, 3.0f, 0.0f}, {3.0f, -1.0f, 0.0f}, {-1.0f, -1.0f, 0.0f});
  odd.lighting_enabled = true;
  EXPECT_EQ(lit_corner(back, odd), kBackgroundPx);

  EXPECT_EXIT(lit_corner(screen_mesh(), odd), ::testing::ExitedWithCode(101), "Unknown light type");
}

// ---- fog ---------------------------------------------------------------

TEST(DrawMeshFog, VisibilityFallsFromOneToZeroAcrossTheFogRange) {
  Lighting fog = no_light();
  fog.fog_enabled = true;
  fog.fog_start = 110.0f;
  fog.fog_end = 130.0f;
  fog.fog_colour = {0.0f, 0.0f, 1.0f, 1.0f};
  const struct {
    float distance;
    Bgr expected;
  } cases[] = {{100.0f, kWhitePx},
               {110.0f, kWhitePx},
               {120.0f, Bgr{255, 127, 127}},
               {130.0f, Bgr{255, 0, 0}},
               {140.0f, Bgr{255, 0, 0}}};
  for (const auto& c : cases) {
    Camera camera;  // identity projection; only the eye moves
    camera.eye = {-1.0f, -1.0f, c.distance};
    EXPECT_EQ(lit_corner(screen_mesh(), fog, camera), c.expected) << c.distance;
  }
}

// ---- texture coordinates -----------------------------------------------

TEST(DrawMeshTexture, TexcoordsAreScaledThenOffset) {
  Image image = test::solid_image(5, 1, kWhite);
  for (int32_t c = 0; c < 5; ++c) {
    test::set_texel(image, c, 0, {static_cast<float>(c) / 4.0f, 0.0f, 0.0f, 1.0f});
  }
  Mesh mesh = screen_mesh();
  mesh.texcoords[2] = {0.25f, 0.0f};
  const auto red_at_corner = [&](Vec2 offset, Vec2 scale) {
    Framebuffer target = background();
    draw_mesh(mesh, {.material = Material::textured(image), .uv_offset = offset, .uv_scale = scale},
              target);
    return int{pixel_at(target, 0, 0).r};
  };
  EXPECT_EQ(red_at_corner({0.0f, 0.0f}, {1.0f, 1.0f}), 63);    // column 1
  EXPECT_EQ(red_at_corner({0.0f, 0.0f}, {3.0f, 1.0f}), 191);   // 0.75: column 3
  EXPECT_EQ(red_at_corner({0.25f, 0.0f}, {1.0f, 1.0f}), 127);  // 0.5: column 2
}

// ---- near-plane cut ----------------------------------------------------

float near_distance(const Vec4& c) {
  return -c.z - 0.1f * c.w;
}

TEST(NearPlaneCut, OneCornerBehindGivesAQuadTwoBehindATriangle) {
  const Vec2 uv[3] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
  const Vec4 one_behind[3] = {
      {0.0f, 0.0f, 1.0f, 2.0f}, {1.0f, 0.0f, 1.0f, 2.0f}, {0.0f, 1.0f, -3.0f, -1.0f}};
  const NearCut quad = cut_near_plane(one_behind, uv);
  ASSERT_EQ(quad.count, 4);
  // Kept corners first in walking order, then the crossing of each edge.
  EXPECT_EQ(quad.position[0].x, 0.0f);
  EXPECT_EQ(quad.position[1].x, 1.0f);
  for (int i = 0; i < quad.count; ++i) EXPECT_LE(near_distance(quad.position[i]), 1e-6f) << i;

  const Vec4 two_behind[3] = {
      {0.0f, 0.0f, 1.0f, 2.0f}, {1.0f, 0.0f, -3.0f, -1.0f}, {0.0f, 1.0f, -3.0f, -1.0f}};
  const NearCut tri = cut_near_plane(two_behind, uv);
  ASSERT_EQ(tri.count, 3);
  for (int i = 0; i < tri.count; ++i) EXPECT_LE(near_distance(tri.position[i]), 1e-6f) << i;

  const Vec4 all_behind[3] = {
      {0.0f, 0.0f, -3.0f, -1.0f}, {1.0f, 0.0f, -3.0f, -1.0f}, {0.0f, 1.0f, -3.0f, -1.0f}};
  EXPECT_EQ(cut_near_plane(all_behind, uv).count, 0);
}

TEST(NearPlaneCut, CrossingCarriesTheEdgeFractionIntoPositionAndUv) {
  // Edge 2 -> 3 runs from s = -1.2 to s = 1.8: it crosses 0.4 of the way.
  const Vec4 c[3] = {{0.0f, 0.0f, 1.0f, 2.0f}, {1.0f, 0.0f, 1.0f, 2.0f}, {6.0f, 5.0f, -2.6f, 8.0f}};
  const Vec2 uv[3] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {6.0f, 5.0f}};
  const NearCut cut = cut_near_plane(c, uv);
  ASSERT_EQ(cut.count, 4);
  EXPECT_NEAR(cut.position[2].x, 1.0f + 0.4f * 5.0f, 1e-5f);
  EXPECT_NEAR(cut.position[2].w, 2.0f + 0.4f * 6.0f, 1e-5f);
  EXPECT_NEAR(cut.uv[2].x, 1.0f + 0.4f * 5.0f, 1e-5f);
  EXPECT_NEAR(cut.uv[2].y, 0.4f * 5.0f, 1e-5f);
  // uv follows x and y exactly here (uv = clip x, y), as barycentric weights
  // in the clip x-y plane of the uncut triangle would give.
  for (int i = 0; i < cut.count; ++i) {
    EXPECT_NEAR(cut.uv[i].x, cut.position[i].x, 1e-5f) << i;
    EXPECT_NEAR(cut.uv[i].y, cut.position[i].y, 1e-5f) << i;
  }
}

// A floor one unit below the eye, seen through the game's projection on a
// 32 x 18 target. On the bottom row the eye sees the floor 2.54 units ahead.
TEST(NearPlaneCut, FloorReachingBehindTheEyeIsDrawnWhereItLies) {
  const Camera camera = eye_camera();
  RenderFlags flags;
  flags.cull_back_faces = 0;

  // One corner behind: on the bottom row the floor spans x = +-1.63, that is
  // pixels 2..30.
  Framebuffer quad = background(32, 18);
  draw_plain(triangle_mesh({-2.0f, -1.0f, -4.0f}, {2.0f, -1.0f, -4.0f}, {0.0f, -1.0f, 4.0f}),
             no_light(), flags, quad, camera);
  for (int32_t x = 3; x <= 29; ++x) EXPECT_EQ(pixel_at(quad, x, 0), kWhitePx) << x;
  EXPECT_EQ(pixel_at(quad, 0, 0), kBackgroundPx);
  EXPECT_EQ(pixel_at(quad, 31, 0), kBackgroundPx);
  // The far edge at z = -4 ends between rows 3 and 4; above is empty.
  EXPECT_EQ(pixel_at(quad, 16, 3), kWhitePx);
  EXPECT_EQ(pixel_at(quad, 16, 4), kBackgroundPx);
  EXPECT_EQ(pixel_at(quad, 16, 17), kBackgroundPx);

  // Two corners behind: on the bottom row only x = +-0.37, pixels 13..19.
  Framebuffer tri = background(32, 18);
  draw_plain(triangle_mesh({0.0f, -1.0f, -4.0f}, {-2.0f, -1.0f, 4.0f}, {2.0f, -1.0f, 4.0f}),
             no_light(), flags, tri, camera);
  for (int32_t x = 0; x < 32; ++x) {
    EXPECT_EQ(pixel_at(tri, x, 0), x >= 13 && x <= 19 ? kWhitePx : kBackgroundPx) << x;
  }
}

TEST(NearPlaneCut, TrianglesReachingBehindTheEyeAreNotCulled) {
  // With a corner behind the eye the screen winding means nothing, so both
  // windings are drawn even while culling.
  const Camera camera = eye_camera();
  const Vec3 a{-2.0f, -1.0f, -4.0f}, b{2.0f, -1.0f, -4.0f}, c{0.0f, -1.0f, 4.0f};
  for (const Mesh& mesh : {triangle_mesh(a, b, c), triangle_mesh(b, a, c)}) {
    Framebuffer target = background(32, 18);
    draw_plain(mesh, no_light(), RenderFlags{}, target, camera);
    EXPECT_EQ(pixel_at(target, 16, 0), kWhitePx);
  }
}

TEST(NearPlaneCut, PiecesKeepTheUncutTrianglesFogValues) {
  // All three corners lie 4.47 units from the fog's reference point, at
  // visibility 0.5, so every piece is drawn at 0.5 throughout. Values
  // recomputed at the cut points (about 1 unit away) would be far higher.
  Lighting fog = no_light();
  fog.fog_enabled = true;
  fog.fog_start = 0.0f;
  fog.fog_end = 8.944272f;
  fog.fog_colour = {0.0f, 0.0f, 0.0f, 1.0f};
  Camera camera = eye_camera();
  camera.eye = {0.0f, -1.0f, 0.0f};  // fog distance only; the view is unchanged
  RenderFlags flags;
  flags.cull_back_faces = 0;
  Framebuffer target = background(32, 18);
  draw_mesh(triangle_mesh({-2.0f, -1.0f, -4.0f}, {2.0f, -1.0f, -4.0f}, {0.0f, -1.0f, 4.472136f}),
            Mat4{}, Material::flat(kWhite), fog, camera, flags, target);
  for (int32_t x : {4, 8, 16, 24, 28}) EXPECT_EQ(pixel_at(target, x, 0), kGreyPx) << x;
  EXPECT_EQ(pixel_at(target, 16, 3), kGreyPx);
}

// ---- malformed meshes --------------------------------------------------

TEST(DrawMeshMalformed, IncompleteTriplesAndBadIndicesAreSkipped) {
  Mesh mesh = screen_mesh();
  // A second triangle with a position index past the array, then two
  // corners of an incomplete third one.
  mesh.corners.push_back({0, 0, 0});
  mesh.corners.push_back({9, 0, 0});
  mesh.corners.push_back({1, 0, 0});
  mesh.corners.push_back({0, 0, 0});
  mesh.corners.push_back({1, 7, 0});
  Framebuffer target = background();
  draw_plain(mesh, no_light(), RenderFlags{}, target);
  EXPECT_EQ(drawn_pixels(target), 64);  // the good triangle, nothing else

  // Without any normals a lit mesh still draws, with ambient light only.
  Mesh bare = screen_mesh();
  bare.normals.clear();
  Lighting lighting = light_only(kDirectionalLight);
  lighting.ambient = {0.5f, 0.5f, 0.5f, 1.0f};
  EXPECT_EQ(lit_corner(bare, lighting), kGreyPx);
}

}  // namespace
}  // namespace vel
