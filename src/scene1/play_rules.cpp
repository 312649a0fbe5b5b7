// play_rules.cpp: the played game's departures from the city's rules (see
// play_rules.h for the list); the frame driver calls each one only when
// scene.rules.on is set.
#include "scene1/play_rules.h"

#include <algorithm>
#include <string>
#include <utility>

#include "scene1/grapple.h"
#include "scene1/hud_message.h"
#include "scene1/panel.h"
#include "scene1/scene_init.h"

namespace vel {

namespace {

// Repeated subtractions of 0.1f from 1.0f leave a little less than 0.1f
// before the tenth jump; the margin lets a full gauge pay for ten.
constexpr float kEnergyMargin = 0.001f;

constexpr Colour kRefused{1.0f, 0.3f, 0.3f, 1.0f};  // as MISSED!
constexpr Colour kGood{0.0f, 1.0f, 0.2f, 1.0f};     // as ENGAGED!
constexpr Colour kNews{0.5f, 1.0f, 1.0f, 1.0f};     // as the pickups

// The devices of the device menu, in its order.
constexpr int32_t kForceFieldDevice = 1;
constexpr int32_t kScannerDevice = 2;
constexpr int32_t kDeviceCount = 3;

void say(CityScene& scene, std::string text, Colour colour) {
  post_message(scene.hud.messages, std::move(text), colour, scene.clock.elapsed);
}

bool can_pay(const Economy& economy, float cost) {
  return economy.energy + kEnergyMargin >= cost;
}

}  // namespace

int32_t upgrade_cap(const PlayRules& rules) {
  return rules.on ? kUpgradeCap : INT32_MAX;
}

bool rules_allow_jump(CityScene& scene) {
  if (!scene.player.on_ground || can_pay(scene.economy, kJumpCost)) return true;
  say(scene, "LOW ENERGY", kRefused);
  return false;
}

bool rules_allow_shot(CityScene& scene) {
  // A shot on cooldown does nothing anyway.
  if (scene.grapple.attached || scene.grapple.cooldown != 0.0f) return true;
  if (can_pay(scene.economy, kShotCost)) return true;
  say(scene, "LOW ENERGY", kRefused);
  return false;
}

void rules_energy_floor(Economy& economy) {
  economy.energy = std::max(0.0f, economy.energy);
}

void rules_recharge(CityScene& scene, float step_dt) {
  if (!scene.player.on_ground || scene.grapple.attached || !(scene.economy.energy < 1.0f)) return;
  scene.economy.energy = std::min(1.0f, scene.economy.energy + kGroundRecharge * step_dt);
}

void rules_fall_back(CityScene& scene) {
  if (!(scene.player.body.position.y < kFallFloor)) return;
  scene.player.body = scene.rules.start_body;
  scene.grapple.attached = false;
  scene.grapple.anchor_car = -1;
  say(scene, "BACK TO THE START", kRefused);
}

void rules_chips_taken(CityScene& scene, size_t chips_before) {
  const size_t left = scene.objects.chips.size();
  if (left >= chips_before) return;
  scene.economy.upgrade_points += kPointsPerChip * static_cast<int32_t>(chips_before - left);
  if (left == 0 && scene.rules.level_complete < 0.0f) {
    scene.rules.level_complete = scene.clock.elapsed;
    say(scene, "LEVEL COMPLETE!", kGood);
  }
}

void rules_refund_drafts(Economy& economy) {
  economy.upgrade_points += (economy.drafts.drive - economy.levels.drive) +
                            (economy.drafts.jump - economy.levels.jump) +
                            (economy.drafts.pull - economy.levels.pull);
  economy.drafts = economy.levels;
}

void rules_station_test(CityScene& scene) {
  const float gap = distance(scene.player.body.position, scene.city.station_position);
  if (!(gap < kStationReach)) {
    scene.rules.station_armed = true;
  } else if (scene.rules.station_armed) {
    station_test(scene.player, scene.city.station_position, scene.menus);
  }
}

void rules_close_device_menu(CityScene& scene) {
  scene.menus.device_menu_open = false;
  scene.player.control_enabled = true;
  scene.rules.station_armed = false;
}

void rules_select_device(CityScene& scene) {
  const int32_t device = scene.menus.selection;
  if (device < 0 || device >= kDeviceCount) return;  // a panel row left selected: nothing
  if (device == kForceFieldDevice) {
    scene.grapple.snaps = false;
    say(scene, "FORCE FIELD INSTALLED!", kGood);
  } else if (device == kScannerDevice) {
    scene.rules.scanner = true;
    say(scene, "SCANNER INSTALLED!", kGood);
  } else {
    say(scene, "NOT AVAILABLE", kRefused);
  }
}

void rules_level_step(CityScene& scene, const Settings& settings, float time) {
  if (scene.rules.level_complete < 0.0f || scene.menus.panel_open || scene.menus.device_menu_open) {
    return;
  }
  if (scene.clock.elapsed - scene.rules.level_complete < kLevelCompleteDelay) return;
  rebuild_at_level(scene, settings, time, scene.city.level + 1);
  say(scene, "LEVEL " + std::to_string(scene.city.level), kNews);
}

void rebuild_at_level(CityScene& scene, const Settings& settings, float time, int32_t level) {
  // The assets are moved, not read again: a level never fails on a file.
  CityScene fresh;
  fresh.assets = std::move(scene.assets);
  fresh.menus.previews = std::move(scene.menus.previews);
  fresh.city.level = level;
  build_scene(fresh, settings, time);
  fresh.economy.levels = scene.economy.levels;
  fresh.economy.drafts = scene.economy.levels;
  fresh.economy.upgrade_points = scene.economy.upgrade_points;
  fresh.economy.chip_count = scene.economy.chip_count;
  fresh.grapple.snaps = scene.grapple.snaps;
  fresh.run_end = std::move(scene.run_end);
  fresh.raster_path = scene.raster_path;
  fresh.rules.on = scene.rules.on;
  fresh.rules.scanner = scene.rules.scanner;
  scene = std::move(fresh);
}

}  // namespace vel
