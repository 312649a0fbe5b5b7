// pickups.cpp: chips and batteries: their turning, their collection near the
// player, and what they add to the chip count and the energy.
#include "scene1/pickups.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/saturate.h"
#include "scene1/hud_message.h"
#include "scene1/rng.h"

namespace vel {

namespace {

// A pickup is taken when the player's centre comes this close to its
// indicator.
constexpr float kPickupReach = 2.0f;
constexpr Colour kPickupColour{0.5f, 1.0f, 1.0f, 1.0f};

void add_message(CityScene& scene, std::string text) {
  scene.hud.messages.push_back(
      HudMessage{std::move(text), kPickupColour, {0.5f, 0.5f}, scene.clock.elapsed, false});
}

void turn_all(std::vector<SceneObject>& objects, uint8_t axis, float angle) {
  for (SceneObject& object : objects) rotate_object(object, axis, angle);
}

// Removes the pair at `index`: the two lists are paired by index, so both
// lose the same place and later pairs move down together.
void remove_pair(std::vector<SceneObject>& pickups, std::vector<SceneObject>& indicators,
                 size_t index) {
  indicators.erase(indicators.begin() + static_cast<std::ptrdiff_t>(index));
  pickups.erase(pickups.begin() + static_cast<std::ptrdiff_t>(index));
}

bool within_reach(const CityScene& scene, const SceneObject& indicator) {
  return distance(scene.player.body.position, translation_of(indicator.transform)) < kPickupReach;
}

// Pairs are walked from the last one down so that a removal never moves an
// entry still to be visited. Lists built out of step are only walked as far
// as both reach.
size_t paired_count(const std::vector<SceneObject>& pickups,
                    const std::vector<SceneObject>& indicators) {
  return std::min(pickups.size(), indicators.size());
}

}  // namespace

void turn_pickups(CityScene& scene, float step_dt) {
  for (SceneObject& chip : scene.objects.chips) {
    rotate_object(chip, 0, step_dt);
    rotate_object(chip, 1, 1.1f * step_dt);
  }
  turn_all(scene.objects.chip_indicators, 1, step_dt);
}

void collect_chips(CityScene& scene) {
  for (size_t i = paired_count(scene.objects.chips, scene.objects.chip_indicators); i-- > 0;) {
    if (!within_reach(scene, scene.objects.chip_indicators[i])) continue;
    remove_pair(scene.objects.chips, scene.objects.chip_indicators, i);
    const int32_t draw = rng_next(scene.rng_state);
    const float u = rng_unit(draw);
    // 10 to 20 chips, rounded to the nearest.
    const int32_t amount = trunc_i32((u + 1.0f) * 0.5f * 20.0f + 0.5f);
    scene.economy.chip_count += amount;
    add_message(scene, "+" + std::to_string(amount) + " CHIPS!");
  }
}

void turn_batteries(CityScene& scene, float step_dt) {
  for (SceneObject& battery : scene.objects.batteries) {
    rotate_object(battery, 0, 1.5f * step_dt);
    rotate_object(battery, 1, 0.5f * step_dt);
  }
  turn_all(scene.objects.battery_indicators, 1, step_dt);
}

void collect_batteries(CityScene& scene) {
  for (size_t i = paired_count(scene.objects.batteries, scene.objects.battery_indicators);
       i-- > 0;) {
    if (!within_reach(scene, scene.objects.battery_indicators[i])) continue;
    remove_pair(scene.objects.batteries, scene.objects.battery_indicators, i);
    const int32_t draw = rng_next(scene.rng_state);
    const float u = rng_unit(draw);
    const float gain = u * 0.4f + 0.1f;  // 0.1 to 0.5
    scene.economy.energy = std::min(1.0f, scene.economy.energy + gain);
    // The message shows the whole gain, also when the cap swallowed part.
    add_message(scene, "+" + std::to_string(trunc_i32(gain * 100.0f)) + " ENERGY!");
  }
}

}  // namespace vel
