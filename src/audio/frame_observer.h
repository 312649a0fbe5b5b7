// frame_observer.h: what the city did in a frame, found by comparing the
// parts of its record that make a sound with the same parts a frame before.
// The scene is only read: sound never changes a rule or a picture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/vec.h"
#include "scene1/city_scene.h"

namespace vel {

// The parts of the city's record the sounds follow.
struct CitySnapshot {
  bool valid = false;
  float start_time = 0.0f;  // a new value means the city was built afresh
  float elapsed = 0.0f;
  uint32_t held = 0;   // the controls held this frame
  bool flash = false;  // lightning lights the city (the fog is off)
  bool on_ground = false;
  bool control_enabled = false;
  bool panel_open = false;
  bool device_menu_open = false;
  bool paused = true;
  bool switch_requested = false;
  int32_t selection = 0;
  UpgradeLevels drafts;
  int32_t upgrade_points = 0;
  Vec3 position;
  Vec3 velocity;
};

enum class GrappleSound : uint8_t { none, miss, engaged, drone, car, released, snapped };

struct CityEvents {
  bool flash_started = false;
  bool jumped = false;
  bool air_brake = false;
  bool landed = false;
  float impact_speed = 0.0f;  // downward speed just before landing, units/s
  float walked = 0.0f;        // ground distance covered this frame
  GrappleSound grapple = GrappleSound::none;
  bool grapple_snapped = false;  // may come in the same frame as a shot
  int32_t chips_picked = 0;
  int32_t batteries_picked = 0;
  bool menu_opened = false;
  bool menu_closed = false;
  bool menu_moved = false;
  bool menu_selected = false;
  bool menu_refused = false;
};

CitySnapshot snapshot_city(const CityScene& city);
// The events between two snapshots; none when `before` is not valid or the
// city was built afresh in between.
CityEvents compare_frames(const CitySnapshot& before, const CitySnapshot& after,
                          const CityScene& city);

}  // namespace vel
