// player_status.h: what the play program shows of the player's state, read
// from the city in one place.
#pragma once

#include <cstdint>

#include "gfx/image.h"
#include "scene1/city_scene.h"

namespace vel {

struct PlayerStatus {
  float energy = 0.0f;  // 0..1 when the gauge is full
  int32_t chips = 0;
  int32_t max_chips = 0;
  int32_t upgrade_points = 0;
  int32_t level = 0;            // the city's level, shown when above 0 (the play rules)
  int32_t nearest_chip = -1;    // units to the nearest chip, with the scanner; else -1
  bool shown = false;           // the city is live under no menu or opening bars
  const Image* font = nullptr;  // the city's HUD font, when loaded
};

PlayerStatus player_status(const CityScene& city);

}  // namespace vel
