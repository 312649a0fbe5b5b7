// soundscape.h: what the world sounds like after a frame, as its scene
// reports it: the rain's facts, whether a menu covers the city, and the
// nearest vehicles around the listener. The sound follows this and the
// frame's events; it never reads a scene's own record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gfx/vec.h"

namespace vel {

// Vehicles farther than this are not heard.
inline constexpr float kHearingRange = 140.0f;
// The engines heard at once: the nearest ones.
inline constexpr size_t kHeardVehicles = 4;

struct HeardVehicle {
  float distance = 1.0e30f;  // beyond kHearingRange: the slot is silent
  Vec3 offset;               // from the listener
  Vec3 velocity;             // units/s; zero while the world stands still
  bool drone = false;
  size_t index = 0;  // in its list: gives each engine its own pitch
  // The same vehicle keeps it while the city stands, whatever its rank, so
  // its engine keeps its own voice as others pass it.
  uint32_t id = 0;
};

struct Soundscape {
  bool city = false;  // false: no city around the listener (the title): a soft rain and hum
  size_t rain_drops = 0;
  bool storm = false;
  float storm_timer = 0.0f;
  bool flash = false;                                  // lightning lights the city
  bool covered = false;                                // the system panel covers the city
  Vec3 listener_right;                                 // the view's right, for panning
  Vec3 listener_velocity;                              // units/s, for the wind and the Doppler
  bool rope_attached = false;                          // swinging on the grapple
  std::array<HeardVehicle, kHeardVehicles> nearest{};  // nearest first
};

}  // namespace vel
