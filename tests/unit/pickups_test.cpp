// pickups_test.cpp: turning and collecting chips and batteries, with the
// amounts the scene's generator gives from its seed.
#include "scene1/pickups.h"

#include <gtest/gtest.h>

#include <string>

#include "base/rng.h"
#include "gfx/matrix.h"

namespace vel {
namespace {

SceneObject at(std::string name, Vec3 position) {
  SceneObject object;
  object.name = std::move(name);
  set_translation(object.transform, position);
  return object;
}

// Pairs named "<kind>_i" / "<kind>_indicator_i" at x = 10 i on the ground.
void lay_pairs(std::vector<SceneObject>& pickups, std::vector<SceneObject>& indicators,
               const std::string& kind, int count) {
  for (int i = 0; i < count; ++i) {
    const Vec3 p{10.0f * static_cast<float>(i), 0.0f, 0.0f};
    pickups.push_back(at(kind + "_" + std::to_string(i), p));
    indicators.push_back(at(kind + "_indicator_" + std::to_string(i), p));
  }
}

// From the seed 482723929 the generator gives 471231870 and then
// -426839582, so u = 28030/65535 and 61922/65535.
CityScene seeded_scene() {
  CityScene scene;
  scene.rng_state = kRngSeed;
  scene.clock.elapsed = 9.5f;
  return scene;
}

TEST(CollectChips, TwoInReachAreBothTakenHigherIndexFirst) {
  CityScene scene = seeded_scene();
  lay_pairs(scene.objects.chips, scene.objects.chip_indicators, "chip", 4);
  // Chip 1 at x = 10 and chip 3 at x = 30 are moved next to the player.
  set_translation(scene.objects.chip_indicators[1].transform, {1.0f, 0.0f, 0.0f});
  set_translation(scene.objects.chip_indicators[3].transform, {0.0f, 1.5f, 0.0f});
  set_translation(scene.objects.chip_indicators[0].transform,
                  {2.0f, 0.0f, 0.0f});  // just out of reach
  scene.player.body.position = {0.0f, 0.0f, 0.0f};
  scene.economy.chip_count = 5;
  collect_chips(scene.objects, scene.player.body.position, scene.rng_state, scene.economy,
                scene.hud.messages, scene.clock.elapsed, scene.events);

  ASSERT_EQ(scene.hud.messages.size(), 2u);
  EXPECT_EQ(scene.hud.messages[0].text, "+14 CHIPS!");  // chip 3, first draw
  EXPECT_EQ(scene.hud.messages[1].text, "+19 CHIPS!");  // chip 1, second draw
  EXPECT_EQ(scene.economy.chip_count, 5 + 14 + 19);
  ASSERT_EQ(scene.objects.chips.size(), 2u);
  ASSERT_EQ(scene.objects.chip_indicators.size(), 2u);
  EXPECT_EQ(scene.objects.chips[0].name, "chip_0");
  EXPECT_EQ(scene.objects.chips[1].name, "chip_2");
  EXPECT_EQ(scene.objects.chip_indicators[1].name, "chip_indicator_2");
  EXPECT_EQ(scene.rng_state, -426839582);
  for (const HudMessage& m : scene.hud.messages) {
    EXPECT_EQ(m.colour.r, 0.5f);
    EXPECT_EQ(m.colour.g, 1.0f);
    EXPECT_EQ(m.colour.b, 1.0f);
    EXPECT_EQ(m.colour.a, 1.0f);
    EXPECT_EQ(m.position, (Vec2{0.5f, 0.5f}));
    EXPECT_EQ(m.born, 9.5f);
    EXPECT_FALSE(m.rising);
  }
}

TEST(CollectChips, NothingInReachDrawsNothing) {
  CityScene scene = seeded_scene();
  lay_pairs(scene.objects.chips, scene.objects.chip_indicators, "chip", 3);
  scene.player.body.position = {5.0f, 0.0f, 0.0f};  // 5 from both neighbours
  collect_chips(scene.objects, scene.player.body.position, scene.rng_state, scene.economy,
                scene.hud.messages, scene.clock.elapsed, scene.events);
  EXPECT_EQ(scene.objects.chips.size(), 3u);
  EXPECT_EQ(scene.rng_state, kRngSeed);
  EXPECT_TRUE(scene.hud.messages.empty());
}

TEST(CollectChips, ListsOutOfStepAreOnlyWalkedAsFarAsBothReach) {
  CityScene scene = seeded_scene();
  lay_pairs(scene.objects.chips, scene.objects.chip_indicators, "chip", 3);
  scene.objects.chips.pop_back();  // indicator 2 has no chip any more
  scene.player.body.position = {20.0f, 0.0f, 0.0f};
  collect_chips(scene.objects, scene.player.body.position, scene.rng_state, scene.economy,
                scene.hud.messages, scene.clock.elapsed, scene.events);
  EXPECT_EQ(scene.objects.chips.size(), 2u);
  EXPECT_EQ(scene.objects.chip_indicators.size(), 3u);
  EXPECT_TRUE(scene.hud.messages.empty());

  scene.player.body.position = {0.0f, 0.0f, 0.0f};
  collect_chips(scene.objects, scene.player.body.position, scene.rng_state, scene.economy,
                scene.hud.messages, scene.clock.elapsed, scene.events);
  EXPECT_EQ(scene.objects.chips.size(), 1u);
  EXPECT_EQ(scene.objects.chip_indicators.size(), 2u);
  EXPECT_EQ(scene.objects.chip_indicators[0].name, "chip_indicator_1");
}

TEST(CollectBatteries, GainIsCappedAtOneButTheMessageShowsAllOfIt) {
  CityScene scene = seeded_scene();
  lay_pairs(scene.objects.batteries, scene.objects.battery_indicators, "battery", 2);
  scene.economy.energy = 0.9f;
  scene.player.body.position = {10.0f, 1.0f, 0.0f};
  collect_batteries(scene.objects, scene.player.body.position, scene.rng_state, scene.economy,
                    scene.hud.messages, scene.clock.elapsed, scene.events);
  EXPECT_EQ(scene.economy.energy, 1.0f);
  ASSERT_EQ(scene.hud.messages.size(), 1u);
  EXPECT_EQ(scene.hud.messages[0].text, "+27 ENERGY!");  // gain 0.2711 from the first draw
  EXPECT_EQ(scene.objects.batteries.size(), 1u);
  EXPECT_EQ(scene.objects.battery_indicators.size(), 1u);
  EXPECT_EQ(scene.objects.batteries[0].name, "battery_0");
}

TEST(CollectBatteries, BelowTheCapTheWholeGainIsAdded) {
  CityScene scene = seeded_scene();
  rng_next(scene.rng_state);  // the second draw: u = 61922 / 65535
  lay_pairs(scene.objects.batteries, scene.objects.battery_indicators, "battery", 1);
  scene.economy.energy = -0.3f;  // spent below 0 by jumps and shots
  collect_batteries(scene.objects, scene.player.body.position, scene.rng_state, scene.economy,
                    scene.hud.messages, scene.clock.elapsed, scene.events);
  EXPECT_FLOAT_EQ(scene.economy.energy, -0.3f + 0.47794765f);
  EXPECT_EQ(scene.hud.messages.back().text, "+47 ENERGY!");
}

TEST(TurnPickups, ChipsTurnAboutXThenYAndIndicatorsAboutY) {
  CityScene scene;
  lay_pairs(scene.objects.chips, scene.objects.chip_indicators, "chip", 1);
  lay_pairs(scene.objects.batteries, scene.objects.battery_indicators, "battery", 1);
  turn_pickups(scene.objects, 0.5f);
  turn_batteries(scene.objects, 0.5f);

  const Mat4 chip = mat4_mul(axis_rotation(0, 0.5f), axis_rotation(1, 1.1f * 0.5f));
  const Mat4 battery = mat4_mul(axis_rotation(0, 1.5f * 0.5f), axis_rotation(1, 0.5f * 0.5f));
  const Mat4 indicator = axis_rotation(1, 0.5f);
  for (int k = 0; k < 16; ++k) {
    EXPECT_FLOAT_EQ(scene.objects.chips[0].rotation.m[k], chip.m[k]) << k;
    EXPECT_FLOAT_EQ(scene.objects.batteries[0].rotation.m[k], battery.m[k]) << k;
    EXPECT_FLOAT_EQ(scene.objects.chip_indicators[0].rotation.m[k], indicator.m[k]) << k;
    EXPECT_FLOAT_EQ(scene.objects.battery_indicators[0].rotation.m[k], indicator.m[k]) << k;
  }
  // Turning leaves them where they are.
  EXPECT_EQ(translation_of(scene.objects.chips[0].transform), (Vec3{}));
}

TEST(PickupBursts, ATakenPickupBurstsWhereItWasUntilItsMomentIsOver) {
  CityScene scene = seeded_scene();
  lay_pairs(scene.objects.chips, scene.objects.chip_indicators, "chip", 2);
  lay_pairs(scene.objects.batteries, scene.objects.battery_indicators, "battery", 2);
  set_translation(scene.objects.chips[1].transform, {10.0f, 1.0f, 0.0f});
  scene.player.body.position = {10.0f, 0.0f, 0.0f};
  collect_chips(scene.objects, scene.player.body.position, scene.rng_state, scene.economy,
                scene.hud.messages, scene.clock.elapsed, scene.events);
  turn_pickups(scene.objects, 0.5f);
  collect_batteries(scene.objects, scene.player.body.position, scene.rng_state, scene.economy,
                    scene.hud.messages, scene.clock.elapsed, scene.events);

  const std::vector<PickupBurst>& bursts = scene.objects.pickup_bursts;
  ASSERT_EQ(bursts.size(), 2u);
  EXPECT_EQ(bursts[0].kind, ObjectKind::chip);
  EXPECT_EQ(bursts[0].position, (Vec3{10.0f, 1.0f, 0.0f}));  // the item, not its indicator
  EXPECT_EQ(bursts[0].age, 0.5f);
  EXPECT_EQ(bursts[1].kind, ObjectKind::battery);
  EXPECT_EQ(bursts[1].age, 0.0f);
  // Paused, nothing ages; then each goes once past its moment.
  turn_pickups(scene.objects, 0.0f);
  turn_pickups(scene.objects, kPickupBurstLength - 0.5f + 0.01f);
  ASSERT_EQ(bursts.size(), 1u);
  EXPECT_EQ(bursts[0].kind, ObjectKind::battery);
  turn_pickups(scene.objects, 0.5f);
  EXPECT_TRUE(bursts.empty());
}

}  // namespace
}  // namespace vel
