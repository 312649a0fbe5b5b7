// frame_events.h: what happened in one frame, as the scene's step says it.
// The sound, the messages and the tests read this list; nobody infers an
// event from the state afterwards. The list has a fixed capacity so that a
// frame never allocates; an event past it is counted, not kept.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gfx/vec.h"

namespace vel {

enum class EventKind : uint8_t {
  // The player's body.
  jumped,     // left a roof
  landed,     // met a roof; value: the downward speed just before, units/s
  air_brake,  // braked in the air
  walked,     // moved along a roof this frame; value: the ground distance
  fell_back,  // fell below the city and starts again; where: the new place
  // The grapple.
  shot_fired,
  grapple_engaged,  // the rope holds on a facade; where: the anchor
  grapple_drone,    // caught a drone
  grapple_car,      // hitched a car
  grapple_missed,
  grapple_released,
  grapple_snapped,
  // Energy and pickups.
  chip_taken,     // value: the chips it adds to the count; where: the chip
  battery_taken,  // value: the energy it gives; where: the battery
  low_energy,     // a jump or a shot refused: no take-off, no shot
  // The menus; detail: which menu (MenuKind).
  menu_opened,
  menu_closed,
  menu_moved,
  menu_selected,
  menu_refused,
  // The city.
  flash_began,     // a lightning flash lights the city
  level_complete,  // the last chip of the city went; value: its level
  level_advanced,  // a bigger city was built; value: its level
  // The frame asks the program to change scenes; value: the request
  // (scene_requests.h).
  scene_switch_asked,
  // The player chose OPTIONS (the title, the played panel): the program
  // opens its options menu over the scene.
  options_asked,
};

enum class MenuKind : uint8_t { none, panel, device_menu, title };

struct FrameEvent {
  EventKind kind = EventKind::jumped;
  MenuKind menu = MenuKind::none;
  float value = 0.0f;
  Vec3 where;
};

inline constexpr size_t kFrameEventCapacity = 32;

struct FrameEvents {
  std::array<FrameEvent, kFrameEventCapacity> list{};
  size_t count = 0;
  size_t dropped = 0;  // events past the capacity in this frame

  void clear() {
    count = 0;
    dropped = 0;
  }
  void add(const FrameEvent& event) {
    if (count < list.size()) {
      list[count++] = event;
    } else {
      dropped += 1;
    }
  }
  void add(EventKind kind, float value = 0.0f, Vec3 where = {}) {
    add(FrameEvent{kind, MenuKind::none, value, where});
  }
  void add_menu(EventKind kind, MenuKind menu) { add(FrameEvent{kind, menu, 0.0f, {}}); }
  const FrameEvent* begin() const { return list.data(); }
  const FrameEvent* end() const { return list.data() + count; }
  bool has(EventKind kind) const {
    for (const FrameEvent& event : *this) {
      if (event.kind == kind) return true;
    }
    return false;
  }
};

}  // namespace vel
