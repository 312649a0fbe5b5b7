// pickups.h: chips and batteries: turning them, collecting them near the
// player, and what they add to the chip count and the energy.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/vec.h"
#include "scene1/city_scene.h"
#include "scene1/hud_message.h"

namespace vel {

// Seconds a taken pickup's burst lasts.
inline constexpr float kPickupBurstLength = 0.6f;

// Chips turn about x and y, their indicators about y; the bursts of taken
// pickups age, and go once past kPickupBurstLength.
void turn_pickups(CityObjects& objects, float step_dt);
// A collected pickup draws its amount from the generator, adds it to the
// economy and says so in a message born at `elapsed`.
//
// Takes every chip whose indicator is within reach of the player: 10 to 20
// chips each. Each taken pickup leaves a burst where it was.
void collect_chips(CityObjects& objects, Vec3 player_position, int32_t& rng_state, Economy& economy,
                   std::vector<HudMessage>& messages, float elapsed, FrameEvents& events,
                   bool plain_words = false);
// Batteries turn about x and y, their indicators about y.
void turn_batteries(CityObjects& objects, float step_dt);
// Takes every battery whose indicator is within reach of the player: 0.1 to
// 0.5 energy each, the energy capped at 1.
void collect_batteries(CityObjects& objects, Vec3 player_position, int32_t& rng_state,
                       Economy& economy, std::vector<HudMessage>& messages, float elapsed,
                       FrameEvents& events);

}  // namespace vel
