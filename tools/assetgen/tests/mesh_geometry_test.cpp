// mesh_geometry_test.cpp: the meshes as the game places and culls them:
// the terrace quad faces up after its turn, the block's walls face out with
// their facade upright, the props are closed and outward, the vehicles point
// their noses along +z, and atlas rectangles sample only their own pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "asset_decode.h"
#include "asset_tree.h"
#include "solids.h"

namespace vel {
namespace {

using test::DecodedObj;
using test::DecodedTga;
using test::Triangle;
using test::V3;

const AssetFile& file_named(const AssetTree& tree, const std::string& path) {
  for (const AssetFile& file : tree.files) {
    if (file.path == path) return file;
  }
  ADD_FAILURE() << path << " is not built";
  return tree.files.front();
}

DecodedObj mesh_named(const AssetTree& tree, const std::string& path) {
  const AssetFile& file = file_named(tree, path);
  DecodedObj mesh = test::decode_obj(std::string(file.bytes.begin(), file.bytes.end()));
  EXPECT_EQ(mesh.error, "") << path;
  return mesh;
}

V3 normalised(V3 v) {
  const float length = std::sqrt(test::dot(v, v));
  return {v.x / length, v.y / length, v.z / length};
}

// Whether the game's back-face test drops the triangle seen from `eye`
// looking at `target` (x right, y up on screen): clockwise is culled.
bool culled_from(const V3 (&p)[3], V3 eye, V3 target) {
  const V3 forward = normalised(test::sub(target, eye));
  const V3 right = normalised(test::cross(forward, V3{0, 1, 0}));
  const V3 up = test::cross(right, forward);
  float x[3], y[3];
  for (int k = 0; k < 3; ++k) {
    const V3 d = test::sub(p[k], eye);
    const float depth = test::dot(d, forward);
    x[k] = test::dot(d, right) / depth;
    y[k] = test::dot(d, up) / depth;
  }
  return (x[2] - x[1]) * (y[1] - y[0]) > (x[1] - x[0]) * (y[2] - y[1]);
}

struct Extent {
  V3 lo{1e9f, 1e9f, 1e9f};
  V3 hi{-1e9f, -1e9f, -1e9f};
};

Extent extent_of(const DecodedObj& mesh) {
  Extent e;
  for (const V3& p : mesh.positions) {
    e.lo = {std::min(e.lo.x, p.x), std::min(e.lo.y, p.y), std::min(e.lo.z, p.z)};
    e.hi = {std::max(e.hi.x, p.x), std::max(e.hi.y, p.y), std::max(e.hi.z, p.z)};
  }
  return e;
}

TEST(TerraceQuad, FacesUpAndSurvivesCullingFromAboveAfterTheTerraceTurn) {
  const AssetTree tree = build_asset_tree();
  const DecodedObj quad = mesh_named(tree, "quad.obj");
  ASSERT_EQ(quad.triangles.size(), 2u);
  // The terrace transform: rotation about x by 3.141592 / 2, rows scaled by
  // (7.5, 1, 7.5), lifted to a roof at height 30.
  const float a = 3.141592f / 2.0f;
  const float c = std::cos(a), s = std::sin(a);
  const auto place = [&](V3 p) {
    return V3{7.5f * p.x, c * p.y - s * p.z + 30.0f, 7.5f * (s * p.y + c * p.z)};
  };
  float area = 0.0f;
  for (const Triangle& t : quad.triangles) {
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(t.p[k].z, 0.0f);
      EXPECT_EQ(std::fabs(t.p[k].x), 1.0f);
      EXPECT_EQ(std::fabs(t.p[k].y), 1.0f);
      // Texture 0..1 across the square, u with x and v with y.
      EXPECT_EQ(t.u[k], (t.p[k].x + 1.0f) / 2.0f);
      EXPECT_EQ(t.v[k], (t.p[k].y + 1.0f) / 2.0f);
    }
    const V3 world[3] = {place(t.p[0]), place(t.p[1]), place(t.p[2])};
    const V3 n = test::cross(test::sub(world[1], world[0]), test::sub(world[2], world[0]));
    EXPECT_GT(n.y, 0.0f) << "the roof must face up for the player to land on it";
    EXPECT_LT(std::fabs(n.x) + std::fabs(n.z), 1e-3f * n.y);
    area += n.y / 2.0f;
    for (const V3 eye : {V3{0, 40, -20}, V3{30, 60, 25}, V3{-40, 31, 5}, V3{2, 90, 1}}) {
      EXPECT_FALSE(culled_from(world, eye, V3{0, 30, 0})) << "seen from above";
    }
    EXPECT_TRUE(culled_from(world, V3{0, 10, -20}, V3{0, 30, 0})) << "seen from below";
  }
  EXPECT_FLOAT_EQ(area, 225.0f) << "two triangles covering the 15 x 15 roof once";
}

TEST(BuildingBlock, FourOutwardWallsWithUprightFacadesAndNoLid) {
  const AssetTree tree = build_asset_tree();
  const DecodedObj block = mesh_named(tree, "building_1_base.obj");
  ASSERT_EQ(block.triangles.size(), 8u);
  const Extent e = extent_of(block);
  EXPECT_EQ(e.lo.x, -7.5f);
  EXPECT_EQ(e.hi.x, 7.5f);
  EXPECT_EQ(e.lo.z, -7.5f);
  EXPECT_EQ(e.hi.z, 7.5f);
  EXPECT_EQ(e.lo.y, 0.0f);
  EXPECT_EQ(e.hi.y, 15.0f);
  std::map<std::pair<int, int>, float> wall_area;  // by outward direction
  for (const Triangle& t : block.triangles) {
    const V3 n = test::facing(t);
    EXPECT_EQ(n.y, 0.0f) << "a top or bottom face would hide the terrace or stop the player";
    const V3 centre{(t.p[0].x + t.p[1].x + t.p[2].x) / 3, 0, (t.p[0].z + t.p[1].z + t.p[2].z) / 3};
    EXPECT_GT(test::dot(n, centre), 0.0f) << "wall faces into the building";
    // Seen from outside, right is (-n) x up; u must grow that way, v upward.
    const V3 right = test::cross(V3{-n.x, -n.y, -n.z}, V3{0, 1, 0});
    for (int k = 0; k < 3; ++k) {
      for (int j = 0; j < 3; ++j) {
        const V3 d = test::sub(t.p[j], t.p[k]);
        const float du = t.u[j] - t.u[k], dv = t.v[j] - t.v[k];
        EXPECT_NEAR(du * 15.0f, test::dot(d, normalised(right)), 1e-3f);
        EXPECT_NEAR(dv * 15.0f, d.y, 1e-3f);
      }
      EXPECT_TRUE(t.u[k] == 0.0f || t.u[k] == 1.0f);
      EXPECT_EQ(t.v[k], t.p[k].y / 15.0f);
    }
    const V3 unit = normalised(n);
    wall_area[{static_cast<int>(std::lround(unit.x)), static_cast<int>(std::lround(unit.z))}] +=
        std::sqrt(test::dot(n, n)) / 2.0f;
  }
  ASSERT_EQ(wall_area.size(), 4u);
  for (const auto& [direction, area] : wall_area) EXPECT_FLOAT_EQ(area, 225.0f);
}

// A closed surface wound consistently uses every edge once in each
// direction; with outward faces it encloses a positive volume.
void expect_closed_and_outward(const DecodedObj& mesh, const std::string& name) {
  std::map<std::pair<int, int>, int> edges;
  double volume = 0.0;
  for (const Triangle& t : mesh.triangles) {
    for (int k = 0; k < 3; ++k) ++edges[{t.position_index[k], t.position_index[(k + 1) % 3]}];
    volume += test::dot(t.p[0], test::cross(t.p[1], t.p[2])) / 6.0;
  }
  for (const auto& [edge, count] : edges) {
    const auto reverse = edges.find({edge.second, edge.first});
    ASSERT_TRUE(reverse != edges.end() && reverse->second == count)
        << name << ": edge " << edge.first << "-" << edge.second << " is open or mis-wound";
  }
  EXPECT_GT(volume, 0.0) << name << " is turned inside out";
}

TEST(Props, AntennaCarDroneAndPickupsAreClosedAndFaceOutwards) {
  const AssetTree tree = build_asset_tree();
  for (const char* path :
       {"antenna.obj", "car1/car1.obj", "drone/drone.obj", "play/chip.obj", "play/battery.obj"}) {
    expect_closed_and_outward(mesh_named(tree, path), path);
  }
}

TEST(Props, SizesMatchHowTheSceneUsesThem) {
  const AssetTree tree = build_asset_tree();
  const Extent antenna = extent_of(mesh_named(tree, "antenna.obj"));
  EXPECT_EQ(antenna.lo.y, 0.0f) << "stands on the roof";
  EXPECT_NEAR(antenna.hi.y, 5.0f, 0.5f);

  const DecodedObj car = mesh_named(tree, "car1/car1.obj");
  const Extent car_extent = extent_of(car);
  const float length = car_extent.hi.z - car_extent.lo.z;
  EXPECT_GE(length, 4.0f);
  EXPECT_LE(length, 5.0f);
  EXPECT_GT(length, car_extent.hi.x - car_extent.lo.x) << "long along its direction of travel";
  EXPECT_LE(car.triangles.size(), 300u);

  const Extent drone = extent_of(mesh_named(tree, "drone/drone.obj"));
  EXPECT_GE(drone.hi.x - drone.lo.x, 1.5f);
  EXPECT_LE(drone.hi.x - drone.lo.x, 2.0f);
  EXPECT_GE(drone.hi.z - drone.lo.z, 1.5f);
  EXPECT_LE(drone.hi.z - drone.lo.z, 2.0f);
}

// Every texel a triangle can show (sampled on a fine grid of its surface).
template <class Test>
bool triangle_shows(const DecodedTga& texture, const Triangle& t, Test test) {
  constexpr int steps = 12;
  for (int i = 0; i <= steps; ++i) {
    for (int j = 0; i + j <= steps; ++j) {
      const float a = static_cast<float>(i) / steps, b = static_cast<float>(j) / steps;
      const float u = t.u[0] + a * (t.u[1] - t.u[0]) + b * (t.u[2] - t.u[0]);
      const float v = t.v[0] + a * (t.v[1] - t.v[0]) + b * (t.v[2] - t.v[0]);
      if (test(test::sample(texture, u, v))) return true;
    }
  }
  return false;
}

TEST(Props, CarHeadlightsLeadTowardsPlusZAndTailLightsTrail) {
  const AssetTree tree = build_asset_tree();
  const DecodedObj car = mesh_named(tree, "car1/car1.obj");
  const DecodedTga texture = test::decode_tga(file_named(tree, "car1/tex.tga").bytes);
  ASSERT_EQ(texture.error, "");
  const auto headlight = [](test::Texel c) { return c.r > 240 && c.g > 240 && c.b > 200; };
  const auto tail_light = [](test::Texel c) { return c.r > 240 && c.g < 80 && c.b < 80; };
  bool lights_ahead = false, lights_behind = false;
  for (const Triangle& t : car.triangles) {
    const V3 n = normalised(test::facing(t));
    if (triangle_shows(texture, t, headlight)) {
      EXPECT_GT(n.z, 0.5f) << "a headlight on a face that does not look forward";
      lights_ahead = true;
    }
    if (n.z < -0.9f && triangle_shows(texture, t, tail_light)) lights_behind = true;
  }
  EXPECT_TRUE(lights_ahead);
  EXPECT_TRUE(lights_behind);
}

TEST(AtlasRect, SamplesOnlyTheRegionsOwnPixelsEvenAtThePictureEdges) {
  for (const int size : {16, 32, 64}) {
    // A picture whose texels name their own column and row.
    DecodedTga probe;
    probe.width = probe.height = size;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        probe.texels.push_back({static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0, 255});
      }
    }
    const int cuts[] = {0, 1, size / 4, size / 2, size - 4, size};
    for (const int x0 : cuts) {
      for (const int x1 : cuts) {
        if (x1 - x0 < 4) continue;
        const int y0 = x0 / 2, y1 = x1 - (x1 - x0) / 4;
        const UvRect uv = atlas_rect(x0, y0, x1, y1, size, size);
        for (const IVec2 corner :
             {uv.lo, uv.hi, IVec2{uv.lo.u, uv.hi.v}, IVec2{uv.hi.u, uv.lo.v}}) {
          const test::Texel t = test::sample(probe, static_cast<float>(corner.u) / kUvScale,
                                             static_cast<float>(corner.v) / kUvScale);
          EXPECT_TRUE(t.r >= x0 && t.r < x1 && t.g >= y0 && t.g < y1)
              << size << ": [" << x0 << "," << x1 << ")x[" << y0 << "," << y1 << ") sampled "
              << int{t.r} << "," << int{t.g};
        }
        EXPECT_LT(uv.lo.u, uv.hi.u);
        EXPECT_LT(uv.lo.v, uv.hi.v) << "v grows towards the top of the picture";
      }
    }
  }
}

}  // namespace
}  // namespace vel
