// player_status.h: what the play program shows of the player's state, read
// from the city in one place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gfx/image.h"
#include "scene1/city_scene.h"

namespace vel {

// Where a chip is on the picture, for the pointer: on it, or the way to
// turn when it is off it (behind the eye or past an edge).
struct ChipMark {
  bool on_picture = false;
  Vec2 at;         // pixels, y up: the chip's place, or the picture's edge towards it
  Vec2 direction;  // unit, on the picture, from its centre towards the chip
  int32_t distance = 0;
  int32_t rise = 0;     // how far the chip is above the eye (below: negative)
  bool behind = false;  // behind the eye: the arrow points the shorter way round
};

inline constexpr size_t kChipMarks = 16;  // the scanner marks this many chips at most

struct PlayerStatus {
  float energy = 0.0f;  // 0..1 when the gauge is full
  int32_t chips = 0;
  int32_t max_chips = 0;
  int32_t upgrade_points = 0;
  int32_t level = 0;            // the city's level, shown when above 0 (the play rules)
  int32_t nearest_chip = -1;    // units to the nearest chip, with the scanner; else -1
  bool shown = false;           // the city is live under no menu or opening bars
  AimKind aim = AimKind::none;  // the crosshair's look; none: no crosshair
  int32_t aim_distance = 0;     // whole units to the crosshair's facade, car or drone
  bool pointer = false;         // the nearest chip is pointed at (the play rules)
  ChipMark nearest;             // the nearest chip, when pointer
  // With the scanner every chip (the nearest first) is marked on the picture.
  std::array<ChipMark, kChipMarks> marks{};
  size_t mark_count = 0;
  const Image* font = nullptr;  // the city's HUD font, when loaded
};

// Read from the city as the last frame left it, for a picture of
// `width` x `height` pixels.
PlayerStatus player_status(const CityScene& city, int32_t width, int32_t height);

}  // namespace vel
