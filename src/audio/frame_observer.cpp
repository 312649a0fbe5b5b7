// frame_observer.cpp: the city's sounding events, read from its record: the
// flash from the fog, the body's contact and speed, the controls pressed,
// and the grapple's and the pickups' messages born in this frame.
#include "audio/frame_observer.h"

#include <cmath>
#include <string_view>

#include "scene1/control_bits.h"
#include "scene1/hud_message.h"

namespace vel {

namespace {

bool same_levels(const UpgradeLevels& a, const UpgradeLevels& b) {
  return a.drive == b.drive && a.jump == b.jump && a.pull == b.pull;
}

// The grapple and the pickups say what happened in a message born at the
// frame's elapsed time; nothing else in the record tells a miss from a hit.
void read_messages(const CityScene& city, CityEvents& events) {
  for (const HudMessage& message : city.hud.messages) {
    if (message.born != city.clock.elapsed) continue;
    const std::string_view text = message.text;
    if (text == message_text::kMissed) {
      events.grapple = GrappleSound::miss;
    } else if (text == message_text::kEngaged) {
      events.grapple = GrappleSound::engaged;
    } else if (text == message_text::kDroneCaught) {
      events.grapple = GrappleSound::drone;
    } else if (text == message_text::kCarHitched) {
      events.grapple = GrappleSound::car;
    } else if (text == message_text::kReleased) {
      events.grapple = GrappleSound::released;
    } else if (text == message_text::kSnapped) {
      events.grapple_snapped = true;
    } else if (text.ends_with(message_text::kChipsSuffix)) {
      events.chips_picked += 1;
    } else if (text.ends_with(message_text::kEnergySuffix)) {
      events.batteries_picked += 1;
    }
  }
}

void read_menus(const CitySnapshot& before, const CitySnapshot& after, uint32_t pressed,
                CityEvents& events) {
  const bool was_open = before.panel_open || before.device_menu_open;
  const bool is_open = after.panel_open || after.device_menu_open;
  events.menu_opened = !was_open && is_open;
  events.menu_closed = was_open && !is_open;
  if (!was_open || !is_open) return;
  const bool moved =
      before.selection != after.selection || !same_levels(before.drafts, after.drafts);
  const bool acted = after.switch_requested != before.switch_requested ||
                     after.paused != before.paused || after.panel_open != before.panel_open;
  events.menu_moved = moved;
  if (pressed & kMenuSelectBit) {
    events.menu_selected = acted;
    events.menu_refused = !acted;
  }
  // Left and right that changed nothing met a greyed row or an empty purse.
  if ((pressed & (kMenuLeftBit | kMenuRightBit)) && !moved) events.menu_refused = true;
}

}  // namespace

CitySnapshot snapshot_city(const CityScene& city) {
  CitySnapshot snap;
  snap.valid = true;
  snap.start_time = city.clock.start_time;
  snap.elapsed = city.clock.elapsed;
  snap.held = city.clock.prev_held;
  snap.flash = city.city.style == CityStyle::storm && !city.view.lighting.fog_enabled;
  snap.on_ground = city.player.on_ground;
  snap.control_enabled = city.player.control_enabled;
  snap.panel_open = city.menus.panel_open;
  snap.device_menu_open = city.menus.device_menu_open;
  snap.paused = city.clock.paused;
  snap.switch_requested = city.switch_request.requested;
  snap.selection = city.menus.selection;
  snap.drafts = city.economy.drafts;
  snap.upgrade_points = city.economy.upgrade_points;
  snap.position = city.player.body.position;
  snap.velocity = city.player.body.velocity;
  return snap;
}

CityEvents compare_frames(const CitySnapshot& before, const CitySnapshot& after,
                          const CityScene& city) {
  CityEvents events;
  if (!before.valid || before.start_time != after.start_time) return events;
  const uint32_t pressed = after.held & ~before.held;
  events.flash_started = after.flash && !before.flash;

  // The jump key acts on the contact the last frame ended with.
  const bool menus_before = before.panel_open || before.device_menu_open;
  if ((pressed & kJumpBit) && before.control_enabled && !menus_before) {
    events.jumped = before.on_ground;
    events.air_brake = !before.on_ground;
  }
  if (after.on_ground && !before.on_ground) {
    events.landed = true;
    events.impact_speed = before.velocity.y < 0.0f ? -before.velocity.y : 0.0f;
  }
  if (after.on_ground && before.on_ground) {
    const float dx = after.position.x - before.position.x;
    const float dz = after.position.z - before.position.z;
    const float walked = std::sqrt(dx * dx + dz * dz);
    // A teleport-sized jump is not a step.
    events.walked = walked < 5.0f ? walked : 0.0f;
  }
  if (after.elapsed != before.elapsed) read_messages(city, events);
  read_menus(before, after, pressed, events);
  return events;
}

}  // namespace vel
