// player_status.cpp: the only play code that reads the city's fields for
// the status display; a change in how the city groups its record is met
// here alone.
#include "play/player_status.h"

#include "base/saturate.h"
#include "scene_api/asset_slots.h"

namespace vel {

namespace {

// Whole units from the player to the nearest chip's indicator; -1 when none
// is left.
int32_t nearest_chip(const CityScene& city) {
  float nearest = -1.0f;
  for (const SceneObject& indicator : city.objects.chip_indicators) {
    const float d = distance(city.player.body.position, translation_of(indicator.transform));
    if (nearest < 0.0f || d < nearest) nearest = d;
  }
  return nearest < 0.0f ? -1 : trunc_i32(nearest);
}

}  // namespace

PlayerStatus player_status(const CityScene& city) {
  PlayerStatus status;
  status.energy = city.economy.energy;
  status.chips = city.economy.chip_count;
  status.max_chips = city.city.max_chips;
  status.upgrade_points = city.economy.upgrade_points;
  if (city.rules.level_advance) {
    // The goal in sight: the chips taken of those this city was built with.
    status.level = city.city.level;
    status.max_chips = city.progress.chips_placed;
    status.chips = city.progress.chips_placed - static_cast<int32_t>(city.objects.chips.size());
  }
  if (city.progress.scanner) status.nearest_chip = nearest_chip(city);
  status.shown =
      city.player.control_enabled && !city.menus.panel_open && !city.menus.device_menu_open;
  if (city.assets.textures.size() > texture_slot::kSmallFont) {
    status.font = &city.assets.textures[texture_slot::kSmallFont];
  }
  return status;
}

}  // namespace vel
