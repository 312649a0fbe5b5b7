// player_status.cpp: the only play code that reads the city's fields for
// the status display; a change in how the city groups its record is met
// here alone.
#include "play/player_status.h"

#include <algorithm>
#include <cmath>

#include "base/saturate.h"
#include "gfx/matrix.h"
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

// The chip's mark: its place on the picture through the camera the frame
// was drawn with, or the edge of the picture in its direction.
ChipMark mark_chip(const CityScene& city, Vec3 chip, int32_t width, int32_t height) {
  ChipMark mark;
  mark.distance = trunc_i32(distance(city.player.body.position, chip));
  mark.rise = trunc_i32(chip.y - city.player.body.position.y);
  const Vec4 clip = mat4_apply(city.view.camera.view_projection, chip);
  const float half_w = 0.5f * static_cast<float>(width);
  const float half_h = 0.5f * static_cast<float>(height);
  float x = 0.0f;
  float y = 0.0f;
  if (clip.w > 0.0f) {
    x = clip.x / clip.w;
    y = clip.y / clip.w;
    if (std::fabs(x) <= 1.0f && std::fabs(y) <= 1.0f) {
      mark.on_picture = true;
      mark.at = {(x + 1.0f) * half_w, (y + 1.0f) * half_h};
      mark.direction = {0.0f, 1.0f};
      return mark;
    }
  } else {
    // Behind the eye the projection mirrors; an arrow up or down would say
    // nothing there, so it points sideways, the shorter way round.
    mark.behind = true;
    x = clip.x > 0.0f ? -1.0f : 1.0f;
    y = 0.0f;
  }
  const float length = std::sqrt(x * x + y * y);
  mark.direction = length > 0.0f ? Vec2{x / length, y / length} : Vec2{0.0f, -1.0f};
  // The edge point, kept inside a margin of the picture and above the
  // status rows along its bottom.
  const float reach_x = (half_w - 14.0f) / std::max(std::fabs(mark.direction.x), 0.001f);
  const float room_y = mark.direction.y < 0.0f ? half_h - 46.0f : half_h - 14.0f;
  const float reach_y = room_y / std::max(std::fabs(mark.direction.y), 0.001f);
  const float reach = std::min(reach_x, reach_y);
  mark.at = {half_w + mark.direction.x * reach, half_h + mark.direction.y * reach};
  return mark;
}

}  // namespace

PlayerStatus player_status(const CityScene& city, int32_t width, int32_t height) {
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
  status.aim = city.grapple.aim;
  status.aim_distance = trunc_i32(city.grapple.aim_distance);
  if (city.rules.level_advance && !city.objects.chip_indicators.empty()) {
    // The nearest chip, from the first second of play; with the scanner
    // every chip besides.
    size_t nearest = 0;
    float best = -1.0f;
    const Vec3 eye = city.player.body.position;
    for (size_t i = 0; i < city.objects.chip_indicators.size(); ++i) {
      const float d = distance(eye, translation_of(city.objects.chip_indicators[i].transform));
      if (best < 0.0f || d < best) {
        best = d;
        nearest = i;
      }
    }
    status.pointer = true;
    status.nearest = mark_chip(
        city, translation_of(city.objects.chip_indicators[nearest].transform), width, height);
    if (city.progress.scanner) {
      for (const SceneObject& indicator : city.objects.chip_indicators) {
        if (status.mark_count == kChipMarks) break;
        status.marks[status.mark_count++] =
            mark_chip(city, translation_of(indicator.transform), width, height);
      }
    }
  }
  status.shown =
      city.player.control_enabled && !city.menus.panel_open && !city.menus.device_menu_open;
  if (city.assets.textures.size() > texture_slot::kSmallFont) {
    status.font = &city.assets.textures[texture_slot::kSmallFont];
  }
  return status;
}

}  // namespace vel
