// player_status.cpp: the only play code that reads the city's fields for
// the status display; a change in how the city groups its record is met
// here alone.
#include "play/player_status.h"

namespace vel {

namespace {
constexpr size_t kFontSlot = 0;
}  // namespace

PlayerStatus player_status(const CityScene& city) {
  PlayerStatus status;
  status.energy = city.energy;
  status.chips = city.chip_count;
  status.max_chips = city.max_chips;
  status.upgrade_points = city.upgrade_points;
  status.shown = city.control_enabled != 0 && city.panel_open == 0 && city.device_menu_open == 0;
  if (city.textures.size() > kFontSlot) status.font = &city.textures[kFontSlot];
  return status;
}

}  // namespace vel
