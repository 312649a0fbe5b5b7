// city_style.h: the city's four looks and the slots, view distance, fog and
// rain each one chooses.
#pragma once

#include <cstdint>

#include "gfx/framebuffer.h"
#include "scene_api/asset_slots.h"

namespace vel {

// The number is the look's place in the state file ("style"); init always
// builds the storm.
enum class CityStyle : uint8_t {
  clear_night = 0,  // dark red fog, dry
  grey_rain = 1,    // grey fog and light, drifting rain; its own art
  storm = 2,        // black fog, heavy rain and lightning
  fan_roofs = 3,    // green fog, dry; fans and grid terraces on every roof
};

// Slots and look chosen by the scene's style.
struct StyleLook {
  uint64_t floor_texture = texture_slot::kFloor;
  uint64_t base_texture = texture_slot::kBase;
  uint64_t terrace_texture = texture_slot::kTerrace;
  uint64_t car_mesh = mesh_slot::kCar;
  uint64_t car_texture = texture_slot::kCar;
  uint64_t distant_floor_texture = texture_slot::kDistantFloor;
  float view_distance = 150.0f;
  Rgb fog_colour;
  bool rain = false;
};
// A value outside the four looks is read as the clear night.
StyleLook style_look(CityStyle style);

// Whether the look has rain drops to move and draw.
inline bool has_rain(CityStyle style) {
  return style == CityStyle::grey_rain || style == CityStyle::storm;
}

}  // namespace vel
