// raster_equivalence_test.cpp: the fast renderer draws exactly the bytes of
// the reference one: random triangles of every kind, the real meshes from
// random cameras, and every frame of the default course through the city.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "gfx/camera.h"
#include "gfx/cpu_features.h"
#include "gfx/matrix.h"
#include "gfx/mesh_draw.h"
#include "gfx/obj_reader.h"
#include "gfx/picture_hash.h"
#include "gfx/raster.h"
#include "gfx/raster_fast.h"
#include "gfx/tga_reader.h"
#include "gfx/triangle_batch.h"
#include "gfx/vertex_table.h"
#include "support/asset_path.h"
#include "support/city_fixture.h"

namespace vel {
namespace {

// The bytes of two targets, colour and depth, compared whole; on a
// difference, the first differing pixel is named.
::testing::AssertionResult same_bytes(const Framebuffer& expected, const Framebuffer& actual) {
  const size_t pixels = expected.depth.size();
  for (size_t i = 0; i < pixels; ++i) {
    const bool colour_differs = std::memcmp(&expected.colour[3 * i], &actual.colour[3 * i], 3) != 0;
    const bool depth_differs = std::memcmp(&expected.depth[i], &actual.depth[i], 4) != 0;
    if (colour_differs || depth_differs) {
      const size_t w = static_cast<size_t>(expected.width);
      return ::testing::AssertionFailure()
             << "first difference at stored row " << i / w << ", column " << i % w << ": colour "
             << int{expected.colour[3 * i]} << "," << int{expected.colour[3 * i + 1]} << ","
             << int{expected.colour[3 * i + 2]} << " vs " << int{actual.colour[3 * i]} << ","
             << int{actual.colour[3 * i + 1]} << "," << int{actual.colour[3 * i + 2]} << ", depth "
             << expected.depth[i] << " vs " << actual.depth[i];
    }
  }
  return ::testing::AssertionSuccess();
}

// ---- random triangles -----------------------------------------------------

// Draws from a fixed seed, so a failure repeats.
struct Dice {
  std::mt19937 engine;
  explicit Dice(uint32_t seed) : engine(seed) {}
  float uniform(float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(engine);
  }
  int32_t below(int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(engine); }
  bool chance(float p) { return uniform(0.0f, 1.0f) < p; }
};

// Texture of random texels; some with alpha below, at and above the 0.05
// cut-off, some fully opaque.
Image random_true_colour(Dice& dice, int32_t width, int32_t height) {
  Image image;
  image.width = width;
  image.height = height;
  for (int32_t i = 0; i < width * height; ++i) {
    const float a = dice.chance(0.7f) ? 1.0f : dice.uniform(0.0f, 1.0f);
    image.pixels.push_back(
        {dice.uniform(0.0f, 1.0f), dice.uniform(0.0f, 1.0f), dice.uniform(0.0f, 1.0f), a});
  }
  return image;
}

// Colour-mapped, with a few indices past the end of the palette (such texels
// read as transparent).
Image random_colour_mapped(Dice& dice, int32_t width, int32_t height) {
  Image image;
  image.width = width;
  image.height = height;
  image.colour_mapped = true;
  for (int i = 0; i < 12; ++i) {
    image.palette.push_back({dice.uniform(0.0f, 1.0f), dice.uniform(0.0f, 1.0f),
                             dice.uniform(0.0f, 1.0f), dice.chance(0.8f) ? 1.0f : 0.5f});
  }
  for (int32_t i = 0; i < width * height; ++i) {
    image.indices.push_back(static_cast<uint8_t>(dice.below(14)));
  }
  return image;
}

// A coordinate in units of w: mostly on screen, sometimes far beyond it, and
// now and then exactly on a pixel corner of the target, where the edge
// tests meet equality.
float clip_coordinate(Dice& dice, float w, int32_t pixels) {
  const int kind = dice.below(10);
  if (kind < 6) return dice.uniform(-1.2f, 1.2f) * w;
  if (kind < 8) return dice.uniform(-4.0f, 4.0f) * w;
  if (kind < 9) return dice.uniform(-1.0e4f, 1.0e4f) * w;
  const int32_t corner = dice.below(pixels + 1);
  return (static_cast<float>(corner) * (2.0f / static_cast<float>(pixels)) - 1.0f) * w;
}

struct RandomTriangle {
  Vec4 p[3];
  Vec2 uv[3];
  float light[3];
  float fog[3];
};

RandomTriangle random_triangle(Dice& dice, const Framebuffer& target) {
  RandomTriangle t;
  const float size = dice.chance(0.5f) ? 1.0f : dice.uniform(0.001f, 0.2f);
  const float cx = dice.uniform(-1.1f, 1.1f), cy = dice.uniform(-1.1f, 1.1f);
  for (int k = 0; k < 3; ++k) {
    const float w = dice.chance(0.5f) ? 1.0f : dice.uniform(0.02f, 8.0f);
    if (size < 1.0f) {
      // Small triangles near one point, as distant meshes give.
      t.p[k] = {(cx + dice.uniform(-size, size)) * w, (cy + dice.uniform(-size, size)) * w,
                dice.uniform(-1.0f, 1.0f) * w, w};
    } else {
      t.p[k] = {clip_coordinate(dice, w, target.width), clip_coordinate(dice, w, target.height),
                dice.uniform(-1.2f, 1.2f) * w, w};
    }
    const float reach = dice.chance(0.7f) ? 1.0f : 40.0f;
    t.uv[k] = {dice.uniform(-reach, reach), dice.uniform(-reach, reach)};
    t.light[k] = dice.uniform(0.0f, 2.0f);
    t.fog[k] = dice.uniform(0.0f, 1.0f);
  }
  return t;
}

Framebuffer random_target(Dice& dice, int32_t width, int32_t height) {
  Framebuffer target = framebuffer_new(width, height);
  for (uint8_t& b : target.colour) b = static_cast<uint8_t>(dice.below(256));
  for (float& d : target.depth) d = dice.chance(0.7f) ? kDepthEmpty : dice.uniform(0.0f, 1.0f);
  return target;
}

TriangleFill fill_of(const RandomTriangle& t, const Lighting& lighting, const Material& material,
                     const RenderFlags& flags, RasterPath path) {
  TriangleFill fill{.p1 = t.p[0],
                    .p2 = t.p[1],
                    .p3 = t.p[2],
                    .uv1 = t.uv[0],
                    .uv2 = t.uv[1],
                    .uv3 = t.uv[2],
                    .material = material,
                    .lighting = lighting,
                    .flags = flags,
                    .path = path};
  for (int k = 0; k < 3; ++k) {
    fill.light[k] = t.light[k];
    fill.fog[k] = t.fog[k];
  }
  return fill;
}

// The fast path with at most `lanes` lanes per group.
void fast_with_lanes(int32_t lanes, const RandomTriangle& t, const Lighting& lighting,
                     const Material& material, const RenderFlags& flags, Framebuffer& target) {
  FillRules rules = fill_rules(lighting, material, flags, target);
  if (!rules.lanes_fit) {
    rasterise_triangle_fast(fill_of(t, lighting, material, flags, RasterPath::fast), target);
    return;
  }
  rules.lane_limit = lanes;
  TriangleShading shading;
  for (int k = 0; k < 3; ++k) {
    shading.uv[k] = t.uv[k];
    shading.light[k] = t.light[k];
    shading.fog[k] = t.fog[k];
  }
  fill_triangle(screen_vertex(t.p[0], rules), screen_vertex(t.p[1], rules),
                screen_vertex(t.p[2], rules), rules, shading, target);
}

// Batches of random triangles drawn into the same random target by the
// reference and by the fast path at every group width (16 falls back to 8
// on processors without AVX-512, and to 4 without AVX2). Every batch has its
// own flags, material and lighting, so every combination comes round.
void check_random_batches(uint32_t seed, int batches, int32_t width, int32_t height) {
  Dice dice(seed);
  const std::vector<Image> textures = {
      random_true_colour(dice, 8, 8), random_true_colour(dice, 64, 64),
      random_true_colour(dice, 5, 3), random_colour_mapped(dice, 16, 16),
      random_colour_mapped(dice, 3, 7)};
  for (int batch = 0; batch < batches; ++batch) {
    RenderFlags flags;
    flags.depth_test = dice.chance(0.8f) ? 1 : 0;
    flags.interlace = dice.chance(0.4f) ? 1 : 0;
    flags.odd_field = dice.chance(0.5f) ? 1 : 0;
    flags.depth_override = dice.chance(0.1f) ? 1 : 0;
    Material material = Material::textured(textures[dice.below(5)]);
    if (dice.chance(0.3f)) {
      const float alphas[] = {1.0f, 1.0f, 0.5f, 0.05f, 0.04f, 0.0f, 0.999f};
      material = Material::flat({dice.uniform(-0.2f, 1.2f), dice.uniform(0.0f, 1.0f),
                                 dice.uniform(0.0f, 1.0f), alphas[dice.below(7)]});
    }
    Lighting lighting;
    lighting.lighting_enabled = dice.chance(0.5f);
    lighting.fog_enabled = dice.chance(0.6f);
    lighting.ambient = {dice.uniform(0.0f, 1.0f), dice.uniform(0.0f, 1.0f),
                        dice.uniform(0.0f, 1.0f), 1.0f};
    lighting.light_colour = {dice.uniform(0.0f, 2.0f), dice.uniform(0.0f, 2.0f),
                             dice.uniform(0.0f, 2.0f), 1.0f};
    lighting.fog_colour = {dice.uniform(0.0f, 1.0f), dice.uniform(0.0f, 1.0f),
                           dice.uniform(0.0f, 1.0f), 1.0f};

    const Framebuffer start = random_target(dice, width, height);
    Framebuffer reference = start;
    Framebuffer fast16 = start;
    Framebuffer fast8 = start;
    Framebuffer fast4 = start;
    const int count = 1 + dice.below(8);
    for (int i = 0; i < count; ++i) {
      const RandomTriangle t = random_triangle(dice, start);
      rasterise_triangle(fill_of(t, lighting, material, flags, RasterPath::reference), reference);
      fast_with_lanes(16, t, lighting, material, flags, fast16);
      fast_with_lanes(8, t, lighting, material, flags, fast8);
      fast_with_lanes(4, t, lighting, material, flags, fast4);
    }
    ASSERT_TRUE(same_bytes(reference, fast16)) << "16 lanes, seed " << seed << ", batch " << batch;
    ASSERT_TRUE(same_bytes(reference, fast8)) << "8 lanes, seed " << seed << ", batch " << batch;
    ASSERT_TRUE(same_bytes(reference, fast4)) << "4 lanes, seed " << seed << ", batch " << batch;
  }
}

TEST(RasterEquivalence, RandomTrianglesOnTheGameTarget) {
  check_random_batches(1, 250, 320, 180);
}

TEST(RasterEquivalence, RandomTrianglesOnSmallAndOddTargets) {
  // Widths that are not multiples of the group width move the last group
  // of a row left; widths below 4 fall back to the reference.
  const int32_t sizes[][2] = {{46, 46}, {32, 32}, {37, 23}, {9, 5}, {8, 8}, {5, 7}, {4, 3}, {3, 9}};
  uint32_t seed = 100;
  for (const auto& size : sizes) check_random_batches(seed++, 1000, size[0], size[1]);
}

TEST(RasterEquivalence, TrianglesWithExtremeCoordinates) {
  // Huge, tiny, zero-area and not-a-number inputs: the fast path must not
  // narrow its rows wrongly nor read outside the target or the texture.
  Dice dice(7);
  const Image texture = random_true_colour(dice, 16, 16);
  const float extremes[] = {0.0f,
                            1.0e-30f,
                            1.0e-7f,
                            3.0e5f,
                            1.0e12f,
                            1.0e30f,
                            3.0e38f,
                            std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
  for (int i = 0; i < 400; ++i) {
    RandomTriangle t = random_triangle(dice, framebuffer_new(64, 48));
    const int k = dice.below(3);
    const float e = extremes[dice.below(9)];
    switch (dice.below(4)) {
      case 0:
        t.p[k].x = dice.chance(0.5f) ? e : -e;
        break;
      case 1:
        t.p[k].y = dice.chance(0.5f) ? e : -e;
        break;
      case 2:
        t.p[k].w = e;
        break;
      default:
        t.uv[k].x = dice.chance(0.5f) ? e : -e;
        break;
    }
    Lighting lighting;
    lighting.fog_enabled = true;
    const RenderFlags flags;
    Framebuffer reference = random_target(dice, 64, 48);
    Framebuffer fast = reference;
    const Material material = Material::textured(texture);
    rasterise_triangle(fill_of(t, lighting, material, flags, RasterPath::reference), reference);
    rasterise_triangle(fill_of(t, lighting, material, flags, RasterPath::fast), fast);
    ASSERT_TRUE(same_bytes(reference, fast)) << "case " << i;
  }
}

// ---- meshes ---------------------------------------------------------------

// A grid of more positions than the fast path's table holds, so that its
// triangles are prepared one at a time.
Mesh big_grid_mesh() {
  Mesh mesh;
  constexpr int kSide = 30;  // 900 positions
  for (int j = 0; j < kSide; ++j) {
    for (int i = 0; i < kSide; ++i) {
      const float x = static_cast<float>(i) - 15.0f;
      const float z = static_cast<float>(j) - 15.0f;
      mesh.positions.push_back({x, 0.3f * std::sin(x) * std::cos(z), z});
      mesh.texcoords.push_back({x * 0.1f, z * 0.1f});
      mesh.normals.push_back({0.0f, 1.0f, 0.1f});
    }
  }
  for (int j = 0; j + 1 < kSide; ++j) {
    for (int i = 0; i + 1 < kSide; ++i) {
      const uint64_t a = static_cast<uint64_t>(j * kSide + i);
      const uint64_t b = a + 1, c = a + kSide, d = c + 1;
      for (const uint64_t v : {a, c, b, b, c, d}) mesh.corners.push_back({v, v, v});
    }
  }
  return mesh;
}

// Every value of the vertex table, at both widths, is the reference's own
// per-corner value: mat4_apply for the clip position, screen_vertex for the
// rasteriser's values, x / w and y / w for the back-face test. Counts that
// are not multiples of the width leave a partial last group.
TEST(RasterEquivalence, VertexTablesMatchTheScalarValuesAtEveryWidth) {
  Dice dice(11);
  const Framebuffer target = framebuffer_new(320, 180);
  for (int round = 0; round < 60; ++round) {
    Mat4 mvp;
    for (float& m : mvp.m) m = dice.uniform(-2.0f, 2.0f);
    const size_t count = 1 + static_cast<size_t>(dice.below(150));
    std::vector<Vec3> positions(count);
    for (Vec3& p : positions) {
      p = {dice.uniform(-50.0f, 50.0f), dice.uniform(-50.0f, 50.0f), dice.uniform(-50.0f, 50.0f)};
    }
    // Fog visibilities are compared between the widths.
    Mat4 model;
    for (float& m : model.m) m = dice.uniform(-2.0f, 2.0f);
    FogView fog;
    fog.model = &model;
    fog.eye = {dice.uniform(-10.0f, 10.0f), dice.uniform(-10.0f, 10.0f), 0.0f};
    fog.start = dice.uniform(0.0f, 40.0f);
    fog.inv_span = 1.0f / dice.uniform(1.0f, 200.0f);
    std::vector<float> fog_at_four;
    for (const int32_t lanes : {4, 8}) {
      FillRules rules =
          fill_rules(Lighting{}, Material::flat({1.0f, 1.0f, 1.0f, 1.0f}), RenderFlags{}, target);
      rules.lane_limit = lanes;
      VertexTable table;
      place_vertices(mvp, positions.data(), count, table, lanes);
      finish_vertices(rules, &fog, positions.data(), count, table);
      if (lanes == 4) {
        fog_at_four.assign(table.fog, table.fog + count);
      } else {
        ASSERT_EQ(std::memcmp(fog_at_four.data(), table.fog, count * sizeof(float)), 0);
      }
      finish_vertices(rules, nullptr, positions.data(), count, table);
      for (size_t i = 0; i < count; ++i) {
        const Vec4 c = mat4_apply(mvp, positions[i]);
        const Vec4 got = clip_at(table, i);
        ASSERT_EQ(std::memcmp(&c, &got, sizeof c), 0) << lanes << " lanes, position " << i;
        ASSERT_EQ((table.code[i] & kInFront) != 0, c.w > 0.0f);
        if (!(c.w > 0.0f)) continue;
        const ScreenVertex want = screen_vertex(c, rules);
        const ScreenVertex have = screen_at(table, i);
        ASSERT_EQ(std::memcmp(&want, &have, sizeof want), 0) << lanes << " lanes, position " << i;
        const float back[2] = {c.x / c.w, c.y / c.w};
        const float table_back[2] = {table.back_x[i], table.back_y[i]};
        ASSERT_EQ(std::memcmp(back, table_back, sizeof back), 0);
        ASSERT_EQ(table.fog[i], 1.0f);
      }
    }
  }
}

// A batch's decision is prepare_triangle's, triangle by triangle: tiny and
// large boxes, boxes reaching past the target, degenerate and not-a-number
// corners, either field.
TEST(RasterEquivalence, TriangleBatchesDecideAsTheTrianglesDo) {
  Dice dice(23);
  const Framebuffer target = framebuffer_new(320, 180);
  const float odd[] = {0.0f, 1.0e-30f, 3.0e38f, std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::quiet_NaN()};
  int drawn = 0, dropped = 0;
  for (int round = 0; round < 400; ++round) {
    RenderFlags flags;
    flags.interlace = dice.chance(0.4f) ? 1 : 0;
    flags.odd_field = dice.chance(0.5f) ? 1 : 0;
    FillRules rules =
        fill_rules(Lighting{}, Material::flat({1.0f, 1.0f, 1.0f, 1.0f}), flags, target);
    // Corners near one another, so that most boxes hold a few pixels.
    VertexTable table;
    const float cx = dice.uniform(-1.1f, 1.1f), cy = dice.uniform(-1.1f, 1.1f);
    const float spread = dice.chance(0.7f) ? 0.02f : 1.0f;
    for (int i = 0; i < 24; ++i) {
      Vec4 clip{cx + dice.uniform(-spread, spread), cy + dice.uniform(-spread, spread),
                dice.uniform(-1.0f, 1.0f), 1.0f};
      if (dice.chance(0.03f)) clip.x = odd[dice.below(5)];
      const ScreenVertex v = screen_vertex(clip, rules);
      table.r[i] = v.r;
      table.ndc_x[i] = v.x;
      table.ndc_y[i] = v.y;
      table.ndc_z[i] = v.z;
      table.column[i] = v.column;
      table.row[i] = v.row;
    }
    TriangleBatch batch;
    batch.count = 1 + dice.below(kTriangleBatch);
    for (int i = 0; i < batch.count; ++i) {
      for (int k = 0; k < 3; ++k) batch.entry[k][i] = static_cast<uint32_t>(dice.below(24));
    }
    for (const int32_t lanes : {4, 8}) {
      rules.lane_limit = lanes;
      const uint32_t draws = batch_draws(batch, table, rules);
      for (int i = 0; i < batch.count; ++i) {
        TriangleSetup t;
        const bool expected = prepare_triangle(screen_at(table, batch.entry[0][i]),
                                               screen_at(table, batch.entry[1][i]),
                                               screen_at(table, batch.entry[2][i]), rules, t);
        ASSERT_EQ((draws >> i & 1u) != 0, expected) << "round " << round << ", triangle " << i;
        (expected ? drawn : dropped) += 1;
      }
      ASSERT_EQ(draws >> batch.count, 0u);
    }
  }
  // Both answers came up often.
  EXPECT_GT(drawn, 200);
  EXPECT_GT(dropped, 200);
}

TEST(RasterEquivalence, RealMeshesFromRandomCameras) {
  struct Subject {
    Mesh mesh;
    Image texture;
    float radius;
  };
  const std::vector<Subject> subjects = {
      {read_obj(test::asset_path("building_1_base.obj")),
       read_tga(test::asset_path("building_3.tga")), 15.0f},
      {read_obj(test::asset_path("car1/car1.obj")), read_tga(test::asset_path("car1/tex.tga")),
       3.0f},
      {read_obj(test::asset_path("drone/drone.obj")), read_tga(test::asset_path("drone/drone.tga")),
       2.0f},
      {read_obj(test::asset_path("antenna.obj")), read_tga(test::asset_path("antenna.tga")), 6.0f},
      {read_obj(test::asset_path("quad.obj")), read_tga(test::asset_path("terrace.tga")), 2.0f},
      {big_grid_mesh(), read_tga(test::asset_path("building_3_32.tga")), 20.0f},
  };
  Dice dice(42);
  for (int view = 0; view < 300; ++view) {
    const Subject& subject = subjects[static_cast<size_t>(view) % subjects.size()];
    Camera camera;
    camera.projection = perspective(0.01f, dice.uniform(20.0f, 120.0f));
    // From far outside to inside the mesh, so that triangles reach behind
    // the eye and are cut at the near plane.
    const float distance = subject.radius * dice.uniform(0.05f, 4.0f);
    const float angle = dice.uniform(0.0f, 6.2831853f);
    const Vec3 eye{distance * std::cos(angle), dice.uniform(-0.5f, 1.5f) * subject.radius,
                   distance * std::sin(angle)};
    float pitch = dice.uniform(-1.2f, 1.2f);
    camera_look(camera, dice.uniform(-3.2f, 3.2f), pitch, eye);

    Mat4 model = mat4_mul(axis_rotation(1, dice.uniform(0.0f, 6.0f)),
                          axis_rotation(0, dice.uniform(-0.3f, 0.3f)));
    set_translation(model, {dice.uniform(-1.0f, 1.0f), 0.0f, dice.uniform(-1.0f, 1.0f)});

    Lighting lighting;
    lighting.lighting_enabled = dice.chance(0.5f);
    lighting.light_type = dice.chance(0.5f) ? kPointLight : kDirectionalLight;
    lighting.light_position = {dice.uniform(-10.0f, 10.0f), 5.0f, dice.uniform(-10.0f, 10.0f)};
    lighting.light_range = dice.uniform(5.0f, 40.0f);
    lighting.ambient = {0.1f, 0.2f, 0.3f, 1.0f};
    lighting.fog_enabled = dice.chance(0.6f);
    lighting.fog_start = dice.uniform(0.0f, 10.0f);
    lighting.fog_end = lighting.fog_start + dice.uniform(0.5f, 30.0f);
    lighting.fog_colour = {0.2f, 0.1f, 0.3f, 1.0f};
    RenderFlags flags;
    flags.cull_back_faces = dice.chance(0.7f) ? 1 : 0;
    flags.interlace = dice.chance(0.5f) ? 1 : 0;
    flags.odd_field = static_cast<uint8_t>(view % 2);
    const Vec2 uv_offset{dice.uniform(-1.0f, 1.0f), dice.uniform(-1.0f, 1.0f)};
    const Vec2 uv_scale{dice.uniform(0.5f, 3.0f), dice.uniform(0.5f, 3.0f)};

    Framebuffer reference = framebuffer_new(view % 3 == 0 ? 46 : 320, view % 3 == 0 ? 46 : 180);
    clear_framebuffer({0.1f, 0.2f, 0.3f}, RenderFlags{}, reference);
    Framebuffer fast = reference;
    MeshDraw draw{.model = model,
                  .material = Material::textured(subject.texture),
                  .uv_offset = uv_offset,
                  .uv_scale = uv_scale,
                  .lighting = lighting,
                  .camera = camera,
                  .flags = flags,
                  .path = RasterPath::reference};
    draw_mesh(subject.mesh, draw, reference);
    draw.path = RasterPath::fast;
    draw_mesh(subject.mesh, draw, fast);
    ASSERT_TRUE(same_bytes(reference, fast)) << "view " << view;
  }
}

// ---- the city -------------------------------------------------------------

// The default course: all-zero input, 1/60 s steps, until the scene's own
// ending in frame 757; one hash per frame.
std::vector<uint64_t> course_hashes(RasterPath path) {
  CityScene scene;
  test::EndedRun ended;
  test::init_real_scene(scene, ended);
  scene.raster_path = path;
  Framebuffer target = framebuffer_new(320, 180);
  const Settings settings;
  std::vector<uint64_t> hashes;
  for (int frame = 1; frame <= 757 && !ended.ended; ++frame) {
    const float step = 1.0f / 60.0f;
    scene.update({}, target, step, static_cast<float>(frame) * step, settings);
    hashes.push_back(picture_hash(target.colour));
  }
  EXPECT_TRUE(ended.ended);
  return hashes;
}

// The checks above ask for 16 and 8 lanes on every processor, and the fast
// path falls back to narrower code where the processor lacks the extension
// a width is compiled for; these two say in the log (as a skip with its
// reason) when a width therefore went unchecked on this machine.
bool has_avx2() {
#if defined(__x86_64__)
  return cpu_has_avx2();
#else
  return false;
#endif
}

bool has_avx512() {
#if defined(__x86_64__)
  return cpu_has_avx512();
#else
  return false;
#endif
}

TEST(RasterEquivalence, EightLanesWereExercised) {
  if (!has_avx2()) {
    GTEST_SKIP() << "8 lanes not exercised: this processor lacks " << VEL_AVX2
                 << "; the 8-lane checks ran the 4-lane code";
  }
  RecordProperty("lane_width_8", "exercised");
}

TEST(RasterEquivalence, SixteenLanesWereExercised) {
  if (!has_avx512()) {
    GTEST_SKIP() << "16 lanes not exercised: this processor lacks " << VEL_AVX512
                 << "; the 16-lane checks ran the " << (has_avx2() ? 8 : 4) << "-lane code";
  }
  RecordProperty("lane_width_16", "exercised");
}

TEST(RasterEquivalence, EveryFrameOfTheDefaultCourseIsTheSameOnBothPaths) {
  const std::vector<uint64_t> reference = course_hashes(RasterPath::reference);
  const std::vector<uint64_t> fast = course_hashes(RasterPath::fast);
  ASSERT_EQ(reference.size(), 757u);
  ASSERT_EQ(fast.size(), reference.size());
  for (size_t i = 0; i < reference.size(); ++i) {
    ASSERT_EQ(reference[i], fast[i]) << "frame " << i + 1;
  }
}

}  // namespace
}  // namespace vel
