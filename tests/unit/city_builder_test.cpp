// city_builder_test.cpp: the procedural city from the standard seed: which
// cells are accepted, what stands on them, the pickups, the antenna and the
// player's start, and the generator's position afterwards.
#include "scene1/city_builder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "base/rng.h"
#include "support/city_fixture.h"

namespace vel {
namespace {

// The record as init has it right before the city is built (level 1).
CityScene scene_before_city(CityStyle style) {
  CityScene scene;
  scene.assets.meshes = test::stand_in_meshes();
  scene.assets.textures = test::stand_in_textures();
  scene.rng_state = kRngSeed;
  scene.city.style = style;
  scene.city.grid_size = 6;
  scene.city.block_factor = 0.1f * 1.0f + 2.0f;
  scene.city.height_steps = 2;
  scene.city.max_chips = 40;
  return scene;
}

size_t count_named(const std::vector<SceneObject>& list, const std::string& prefix) {
  size_t count = 0;
  for (const SceneObject& object : list) {
    if (object.name.rfind(prefix, 0) == 0) ++count;
  }
  return count;
}

void expect_near(Vec3 actual, Vec3 expected, float tolerance = 1e-3f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(CityBuilder, StandardSeedGivesTheKnownCity) {
  CityScene scene = scene_before_city(CityStyle::storm);
  const Vec3 start = build_city(scene.city, scene.assets.meshes, scene.rng_state, scene.objects);

  EXPECT_EQ(scene.rng_state, 1914860917);
  EXPECT_EQ(count_named(scene.objects.statics, "base "), 10u);
  EXPECT_EQ(
      count_named(scene.objects.statics, "base ") + count_named(scene.objects.statics, "building "),
      20u);
  EXPECT_EQ(count_named(scene.objects.statics, "terrace"), 10u);
  EXPECT_EQ(scene.objects.chips.size(), 4u);
  EXPECT_EQ(scene.objects.batteries.size(), 5u);
  // 20 blocks, 10 terraces, the antenna last.
  ASSERT_EQ(scene.objects.statics.size(), 31u);
  EXPECT_EQ(scene.objects.statics.back().name, "anenna");

  std::set<std::string> terraces;
  for (const SceneObject& object : scene.objects.statics) {
    if (object.name.rfind("terrace", 0) == 0) terraces.insert(object.name);
  }
  const std::set<std::string> expected_cells{"terrace0-0", "terrace0-1", "terrace0-2", "terrace0-3",
                                             "terrace1-0", "terrace1-1", "terrace1-2", "terrace2-0",
                                             "terrace2-1", "terrace2-2"};
  EXPECT_EQ(terraces, expected_cells);

  expect_near(scene.city.station_position, {30.7148f, 45.0f, 63.3129f});
  expect_near(translation_of(scene.objects.statics.back().transform), scene.city.station_position,
              0.0f);
  expect_near(start, {-0.7229f, 0.0f, -10.5513f});
}

TEST(CityBuilder, CellsStackTheirBlocksAndTopThemWithATerrace) {
  CityScene scene = scene_before_city(CityStyle::storm);
  build_city(scene.city, scene.assets.meshes, scene.rng_state, scene.objects);
  // In statics each accepted cell lists its blocks bottom to top, then its
  // terrace at the roof height.
  float next_height = 0.0f;
  for (const SceneObject& object : scene.objects.statics) {
    const Vec3 p = translation_of(object.transform);
    if (object.name.rfind("base ", 0) == 0) {
      EXPECT_EQ(p.y, 0.0f) << object.name;
      EXPECT_EQ(object.texture, 9u);
      next_height = 15.0f;
    } else if (object.name.rfind("building ", 0) == 0) {
      EXPECT_EQ(p.y, next_height) << object.name;
      EXPECT_EQ(object.texture, 3u);
      next_height += 15.0f;
    } else if (object.name.rfind("terrace", 0) == 0) {
      EXPECT_EQ(p.y, next_height) << object.name;
      EXPECT_TRUE(object.solid);
      EXPECT_TRUE(object.visible);
      EXPECT_EQ(object.uv_scale, (Vec2{2.0f, 2.0f}));
      // Horizontal plate 7.5 to each side: local y became world z.
      EXPECT_EQ(object.transform.at(0, 0), 7.5f);
      EXPECT_EQ(object.transform.at(2, 1), 7.5f);
      EXPECT_NEAR(object.transform.at(1, 1), 3.1391647e-7f, 1e-12f);
      EXPECT_GT(object.bound_radius, 0.0f);
    }
    if (object.solid) {
      EXPECT_GT(object.bound_radius, 0.0f) << object.name;
    }
  }
}

TEST(CityBuilder, TallestTerraceIsMarkedAndCarriesTheAntenna) {
  CityScene scene = scene_before_city(CityStyle::storm);
  build_city(scene.city, scene.assets.meshes, scene.rng_state, scene.objects);
  size_t marked = 0;
  for (const SceneObject& object : scene.objects.statics) {
    if (object.texture != 5) continue;
    ++marked;
    EXPECT_EQ(object.name, "terrace1-2");
    expect_near(translation_of(object.transform), scene.city.station_position, 0.0f);
  }
  EXPECT_EQ(marked, 1u);
  const SceneObject& antenna = scene.objects.statics.back();
  EXPECT_EQ(antenna.mesh, 2u);
  EXPECT_EQ(antenna.texture, 4u);
  EXPECT_FALSE(antenna.solid);
  EXPECT_EQ(antenna.transform.at(0, 0), 3.0f);
  EXPECT_EQ(antenna.transform.at(1, 1), 3.0f);
}

TEST(CityBuilder, PickupsPairWithTheirIndicatorsAndHaveNoBounds) {
  CityScene scene = scene_before_city(CityStyle::storm);
  build_city(scene.city, scene.assets.meshes, scene.rng_state, scene.objects);
  ASSERT_EQ(scene.objects.chips.size(), scene.objects.chip_indicators.size());
  ASSERT_EQ(scene.objects.batteries.size(), scene.objects.battery_indicators.size());
  for (size_t k = 0; k < scene.objects.chips.size(); ++k) {
    const std::string number = std::to_string(k + 1);
    EXPECT_EQ(scene.objects.chips[k].name, "chip" + number);
    EXPECT_EQ(scene.objects.chip_indicators[k].name, "chip_indic" + number);
    const Vec3 item = translation_of(scene.objects.chips[k].transform);
    const Vec3 mark = translation_of(scene.objects.chip_indicators[k].transform);
    EXPECT_EQ(item.x, mark.x);
    EXPECT_EQ(item.z, mark.z);
    EXPECT_EQ(item.y, mark.y + 1.0f);
    EXPECT_EQ(scene.objects.chips[k].bound_radius, 0.0f);
    EXPECT_EQ(scene.objects.chip_indicators[k].bound_center, (Vec3{}));
    EXPECT_EQ(scene.objects.chips[k].mesh, 11u);
    EXPECT_EQ(scene.objects.chips[k].texture, 31u);
    EXPECT_EQ(scene.objects.chip_indicators[k].texture, 32u);
  }
  for (size_t k = 0; k < scene.objects.batteries.size(); ++k) {
    const std::string number = std::to_string(k + 1);
    EXPECT_EQ(scene.objects.batteries[k].name, "battery" + number);
    EXPECT_EQ(scene.objects.battery_indicators[k].name, "batt_indic" + number);
    EXPECT_EQ(scene.objects.batteries[k].mesh, 21u);
    EXPECT_EQ(scene.objects.battery_indicators[k].mesh, 12u);
    EXPECT_EQ(scene.objects.battery_indicators[k].texture, 47u);
    EXPECT_FALSE(scene.objects.batteries[k].solid);
  }
}

// Draws: 5 per accepted cell, 2 per skipped cell, 2 per chip, 2 per battery.
int32_t seed_after(size_t draws) {
  int32_t state = kRngSeed;
  for (size_t k = 0; k < draws; ++k) rng_next(state);
  return state;
}

TEST(CityBuilder, GeneratorIsDrawnAFixedNumberOfTimesPerCell) {
  CityScene scene = scene_before_city(CityStyle::storm);
  build_city(scene.city, scene.assets.meshes, scene.rng_state, scene.objects);
  const size_t cells = count_named(scene.objects.statics, "terrace");
  const size_t draws = 5 * cells + 2 * (36 - cells) + 2 * scene.objects.chips.size() +
                       2 * scene.objects.batteries.size();
  EXPECT_EQ(draws, 120u);
  EXPECT_EQ(scene.rng_state, seed_after(draws));

  // A full chip list still rolls for chips, but places none.
  CityScene capped = scene_before_city(CityStyle::storm);
  capped.city.max_chips = 0;
  build_city(capped.city, capped.assets.meshes, capped.rng_state, capped.objects);
  EXPECT_TRUE(capped.objects.chips.empty());
  EXPECT_TRUE(capped.objects.chip_indicators.empty());
  const size_t capped_cells = count_named(capped.objects.statics, "terrace");
  EXPECT_EQ(capped.rng_state, seed_after(5 * capped_cells + 2 * (36 - capped_cells) +
                                         2 * capped.objects.batteries.size()));
}

TEST(CityBuilder, StyleThreeAddsFittingsAndHidesTerraces) {
  CityScene scene = scene_before_city(CityStyle::fan_roofs);
  build_city(scene.city, scene.assets.meshes, scene.rng_state, scene.objects);
  EXPECT_EQ(scene.objects.fans.size(), 10u);
  EXPECT_EQ(count_named(scene.objects.statics, "fancontainer"), 10u);
  EXPECT_EQ(count_named(scene.objects.statics, "gridterrace"), 10u);
  for (const SceneObject& object : scene.objects.statics) {
    if (object.name.rfind("terrace", 0) == 0) {
      EXPECT_FALSE(object.visible);
      EXPECT_TRUE(object.solid);
    }
    if (object.name.rfind("base ", 0) == 0) {
      EXPECT_EQ(object.texture, 41u);
    }
  }
  // The fittings draw nothing from the generator: same state as the storm.
  CityScene plain = scene_before_city(CityStyle::storm);
  build_city(plain.city, plain.assets.meshes, plain.rng_state, plain.objects);
  EXPECT_EQ(scene.rng_state, plain.rng_state);
}

}  // namespace
}  // namespace vel
