// pickups.cpp: chips and batteries: their turning, their collection near the
// player, and what they add to the chip count and the energy.
#include "scene1/pickups.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/rng.h"
#include "base/saturate.h"
#include "scene1/hud_message.h"

namespace vel {

namespace {

// A pickup is taken when the player's centre comes this close to its
// indicator.
constexpr float kPickupReach = 2.0f;
constexpr Colour kPickupColour{0.5f, 1.0f, 1.0f, 1.0f};

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

bool within_reach(Vec3 player_position, const SceneObject& indicator) {
  return distance(player_position, translation_of(indicator.transform)) < kPickupReach;
}

// Pairs are walked from the last one down so that a removal never moves an
// entry still to be visited. Lists built out of step are only walked as far
// as both reach.
size_t paired_count(const std::vector<SceneObject>& pickups,
                    const std::vector<SceneObject>& indicators) {
  return std::min(pickups.size(), indicators.size());
}

}  // namespace

void turn_pickups(CityObjects& objects, float step_dt) {
  for (SceneObject& chip : objects.chips) {
    rotate_object(chip, 0, step_dt);
    rotate_object(chip, 1, 1.1f * step_dt);
  }
  turn_all(objects.chip_indicators, 1, step_dt);
  std::vector<PickupBurst>& bursts = objects.pickup_bursts;
  for (PickupBurst& burst : bursts) burst.age += step_dt;
  std::erase_if(bursts, [](const PickupBurst& burst) { return burst.age > kPickupBurstLength; });
}

void collect_chips(CityObjects& objects, Vec3 player_position, int32_t& rng_state, Economy& economy,
                   std::vector<HudMessage>& messages, float elapsed, FrameEvents& events,
                   bool plain_words) {
  for (size_t i = paired_count(objects.chips, objects.chip_indicators); i-- > 0;) {
    if (!within_reach(player_position, objects.chip_indicators[i])) continue;
    const Vec3 where = translation_of(objects.chips[i].transform);
    remove_pair(objects.chips, objects.chip_indicators, i);
    const int32_t draw = rng_next(rng_state);
    const float u = rng_unit(draw);
    // 10 to 20 chips, rounded to the nearest.
    const int32_t amount = trunc_i32((u + 1.0f) * 0.5f * 20.0f + 0.5f);
    economy.chip_count += amount;
    events.add(EventKind::chip_taken, static_cast<float>(amount), where);
    objects.pickup_bursts.push_back({where, ObjectKind::chip, 0.0f});
    // The count the chip adds is the city's own; the plain words say what
    // the player counts: one chip.
    post_message(messages,
                 plain_words ? std::string("+1 CHIP")
                             : "+" + std::to_string(amount) + message_text::kChipsSuffix,
                 kPickupColour, elapsed);
  }
}

void turn_batteries(CityObjects& objects, float step_dt) {
  for (SceneObject& battery : objects.batteries) {
    rotate_object(battery, 0, 1.5f * step_dt);
    rotate_object(battery, 1, 0.5f * step_dt);
  }
  turn_all(objects.battery_indicators, 1, step_dt);
}

void collect_batteries(CityObjects& objects, Vec3 player_position, int32_t& rng_state,
                       Economy& economy, std::vector<HudMessage>& messages, float elapsed,
                       FrameEvents& events) {
  for (size_t i = paired_count(objects.batteries, objects.battery_indicators); i-- > 0;) {
    if (!within_reach(player_position, objects.battery_indicators[i])) continue;
    const Vec3 where = translation_of(objects.batteries[i].transform);
    remove_pair(objects.batteries, objects.battery_indicators, i);
    const int32_t draw = rng_next(rng_state);
    const float u = rng_unit(draw);
    const float energy_gain = u * 0.4f + 0.1f;  // 0.1 to 0.5
    economy.energy = std::min(1.0f, economy.energy + energy_gain);
    events.add(EventKind::battery_taken, energy_gain, where);
    objects.pickup_bursts.push_back({where, ObjectKind::battery, 0.0f});
    // The message shows the whole gain, also when the cap swallowed part.
    post_message(
        messages,
        "+" + std::to_string(trunc_i32(energy_gain * 100.0f)) + message_text::kEnergySuffix,
        kPickupColour, elapsed);
  }
}

}  // namespace vel
