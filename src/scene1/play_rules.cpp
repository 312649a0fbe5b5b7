// play_rules.cpp: the played game's rules that the fixed run does not have
// (see play_rules.h for the list and city_rules.h for their values).
#include "scene1/play_rules.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "scene1/grapple.h"
#include "scene1/hud_message.h"
#include "scene1/panel.h"
#include "scene1/player.h"
#include "scene1/scene_init.h"

namespace vel {

namespace {

// Repeated subtractions of 0.1f from 1.0f leave a little less than 0.1f
// before the tenth jump; the margin lets a full gauge pay for ten.
constexpr float kEnergyMargin = 0.001f;

constexpr Colour kRefused{1.0f, 0.3f, 0.3f, 1.0f};  // as MISSED!
constexpr Colour kGood{0.0f, 1.0f, 0.2f, 1.0f};     // as ENGAGED!
constexpr Colour kNews{0.5f, 1.0f, 1.0f, 1.0f};     // as the pickups
constexpr Colour kWarning{1.0f, 0.8f, 0.2f, 1.0f};

// The edge hint: walking faster than this towards a spot this far ahead
// with no roof within kEdgeDrop under it says EDGE!, at most every
// kEdgeHintPause seconds.
constexpr float kEdgeHintSpeed = 2.0f;
constexpr float kEdgeLookAhead = 3.0f;
constexpr float kEdgeDrop = 4.0f;
constexpr float kEdgeHintPause = 4.0f;
// No EDGE! with a chip this near: the player walks to the edge to take it.
constexpr float kEdgeChipNear = 6.0f;
// A line of the small font, as a fraction of the picture's height, and
// the most lines a message is moved up.
constexpr float kMessageLine = 10.0f / 180.0f;
constexpr int32_t kMostStackedLines = 6;
// A message born in the middle of the picture starts this far above it,
// clear of the crosshair and the distance under it, and floats up, away
// from the status rows along the bottom.
constexpr float kMessageLift = 14.0f / 180.0f;
// A roof this close under the body's centre (its radius and a margin) is
// one it stands on, for the fall back.
constexpr float kRoofUnderfoot = 1.5f;
// The last roof is noted only this far inside its edges, so a player put
// back on it does not walk straight off again.
constexpr float kRoofAround = 2.5f;

// The climb: a roof edge at most kClimbReach above the body's centre is
// climbed at kClimbSpeed up the wall, until the body's bottom is
// kClimbClearance over the edge, then crossed at kClimbInward; it needs
// kClimbRoom free behind the edge to stand, and ends after kClimbSteps
// physics steps whatever happened (a balcony in the way).
constexpr float kClimbReach = 31.0f;
constexpr float kClimbSpeed = 12.0f;
constexpr float kClimbClearance = 0.5f;
constexpr float kClimbInward = 5.0f;
constexpr float kClimbRoom = 2.0f;
constexpr float kClimbIntoWall = 1.0f;  // how far inside the facade the roof is looked for
constexpr int32_t kClimbSteps = 300;
// A leap coming down this near over a roof (from the body's centre) stops
// over it, unless it comes down on a roof within kLeapSameRoof of that
// height anyway.
constexpr float kLeapCatch = 8.0f;
constexpr float kLeapSameRoof = 1.0f;
// A rope caught on a lower roof's edge lands the body this far behind it.
constexpr float kEdgeLanding = 2.5f;

// The devices of the device menu, in its order.
constexpr int32_t kForceFieldDevice = 1;
constexpr int32_t kScannerDevice = 2;
constexpr int32_t kDeviceCount = 3;

void say(CityScene& scene, std::string text, Colour colour) {
  post_message(scene.hud.messages, std::move(text), colour, scene.clock.elapsed);
}

// "m:ss" of whole seconds.
std::string minutes_and_seconds(float seconds) {
  const int32_t whole = seconds > 0.0f && seconds < 1.0e6f ? static_cast<int32_t>(seconds) : 0;
  const int32_t s = whole % 60;
  return std::to_string(whole / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}

bool can_pay(const Economy& economy, float cost) {
  return economy.energy + kEnergyMargin >= cost;
}

}  // namespace

bool rules_allow_jump(CityScene& scene) {
  if (!scene.player.on_ground || can_pay(scene.economy, kJumpEnergyCost)) return true;
  say(scene, "LOW ENERGY", kRefused);
  scene.events.add(EventKind::low_energy);
  return false;
}

bool rules_allow_shot(CityScene& scene) {
  // A shot on cooldown does nothing anyway.
  if (scene.grapple.attached || scene.grapple.cooldown != 0.0f) return true;
  if (can_pay(scene.economy, kShotEnergyCost)) return true;
  say(scene, "LOW ENERGY", kRefused);
  scene.events.add(EventKind::low_energy);
  return false;
}

void rules_energy_floor(Economy& economy) {
  economy.energy = std::max(0.0f, economy.energy);
}

void rules_recharge(CityScene& scene, float step_dt) {
  if (!scene.player.on_ground || scene.grapple.attached || !(scene.economy.energy < 1.0f)) return;
  scene.economy.energy =
      std::min(1.0f, scene.economy.energy + scene.rules.ground_recharge * step_dt);
}

namespace {

// A roof under the body's centre and under the points kRoofAround beside
// it on each side: a place to be put back without stepping off again.
bool roof_all_around(const CityScene& scene, Vec3 at) {
  constexpr Vec3 kDown{0.0f, -1.0f, 0.0f};
  const Vec3 sides[] = {{0.0f, 0.0f, 0.0f},
                        {kRoofAround, 0.0f, 0.0f},
                        {-kRoofAround, 0.0f, 0.0f},
                        {0.0f, 0.0f, kRoofAround},
                        {0.0f, 0.0f, -kRoofAround}};
  for (const Vec3& side : sides) {
    if (!(distance_to_statics(scene, at + side, kDown) < kRoofUnderfoot)) return false;
  }
  return true;
}

}  // namespace

void rules_fall_back(CityScene& scene) {
  RuleProgress& progress = scene.progress;
  // Only a place with roof under the body's centre and all around it
  // counts: a body touching a roof's edge from the side would be put back
  // into the air, one at the very edge would step off again. A body that
  // only ever stands near a roof's edge (a chip there, say) is kept at
  // that roof's middle, at the height it stands.
  if (scene.rules.fall == FallRule::back_to_last_roof && scene.player.on_ground &&
      scene.player.body.position.y > scene.rules.fall_floor) {
    Vec3 kept = scene.player.body.position;
    bool safe = roof_all_around(scene, kept);
    if (!safe) {
      const StaticHit under = nearest_static(scene, kept, Vec3{0.0f, -1.0f, 0.0f});
      if (under.index >= 0 && under.distance < kRoofUnderfoot) {
        const Vec3 middle = scene.objects.statics[static_cast<size_t>(under.index)].bound_center;
        kept = {middle.x, kept.y, middle.z};
        safe = roof_all_around(scene, kept);
      }
    }
    if (safe) {
      progress.last_roof_body = scene.player.body;
      progress.last_roof_body.position = kept;
      progress.last_roof_body.velocity = {};
      progress.last_roof_body.force = {};
      progress.stood_on_roof = true;
    }
  }
  if (!(scene.player.body.position.y < scene.rules.fall_floor)) return;
  const bool to_roof = scene.rules.fall == FallRule::back_to_last_roof && progress.stood_on_roof;
  scene.player.body = to_roof ? progress.last_roof_body : progress.start_body;
  scene.grapple.attached = false;
  scene.grapple.anchor_car = -1;
  say(scene, to_roof ? "BACK TO THE LAST ROOF" : "BACK TO THE START", kRefused);
  scene.events.add(EventKind::fell_back, 0.0f, scene.player.body.position);
}

bool rules_start_climb(CityScene& scene, Vec3 heading) {
  const GrappleState& grapple = scene.grapple;
  const Vec3 out = grapple.pull_offset;
  const float out_length = std::sqrt(out.x * out.x + out.z * out.z);
  if (!grapple.attached || grapple.anchor_car >= 0 || !(out_length > 0.0f)) return false;
  const Vec3 into{-out.x / out_length, 0.0f, -out.z / out_length};
  const float heading_length = std::sqrt(heading.x * heading.x + heading.z * heading.z);
  if (!(heading_length > 0.0f) ||
      !((heading.x * into.x + heading.z * into.z) / heading_length > 0.3f)) {
    return false;
  }
  const Vec3 body = scene.player.body.position;
  // Only from the wall: a body still swinging towards it leaps as ever.
  const Vec3 to_anchor = grapple.anchor - body;
  if (!(std::sqrt(to_anchor.x * to_anchor.x + to_anchor.z * to_anchor.z) <
        out_length + kClimbRoom)) {
    return false;
  }
  // The roof over the facade: straight down from above, just inside it.
  const Vec3 above{grapple.anchor.x + into.x * kClimbIntoWall, body.y + kClimbReach,
                   grapple.anchor.z + into.z * kClimbIntoWall};
  const float drop = distance_to_statics(scene, above, Vec3{0.0f, -1.0f, 0.0f});
  const float top = above.y - drop;
  if (!(drop > 0.0f) || !(top > body.y - kPlayerRadius) || !(top < above.y)) return false;
  // Room to stand behind the edge: a taller block flush with the facade is
  // a wall to go on up, not a roof.
  const Vec3 over{body.x, top + kPlayerRadius + kClimbClearance, body.z};
  if (!(distance_to_statics(scene, over, into) > length(out) + kClimbRoom)) return false;
  scene.progress.climb_top = top;
  scene.progress.climb_heading = into;
  scene.progress.climb_steps_left = kClimbSteps;
  return true;
}

void rules_climb_step(CityScene& scene) {
  RuleProgress& progress = scene.progress;
  PlayerBody& body = scene.player.body;
  --progress.climb_steps_left;
  if (body.position.y - kPlayerRadius < progress.climb_top + kClimbClearance) {
    body.velocity = {0.0f, kClimbSpeed, 0.0f};
    body.force = {0.0f, 0.0f, 0.0f};
    return;
  }
  if (scene.player.on_ground) {
    progress.climb_steps_left = 0;
    return;
  }
  body.velocity.x = progress.climb_heading.x * kClimbInward;
  body.velocity.z = progress.climb_heading.z * kClimbInward;
}

void rules_catch_edge_below(CityScene& scene) {
  GrappleState& grapple = scene.grapple;
  grapple.edge_caught = false;
  const Vec3 out = grapple.pull_offset;
  const float out_length = std::sqrt(out.x * out.x + out.z * out.z);
  // A facade only: a roof or a car already holds the body where it lands.
  if (!grapple.attached || grapple.anchor_car >= 0 || !(out_length > 0.5f * length(out))) return;
  const Vec3 into{-out.x / out_length, 0.0f, -out.z / out_length};
  const Vec3 body = scene.player.body.position;
  const Vec3 above{grapple.anchor.x + into.x * kClimbIntoWall, body.y,
                   grapple.anchor.z + into.z * kClimbIntoWall};
  const float top = above.y - distance_to_statics(scene, above, Vec3{0.0f, -1.0f, 0.0f});
  if (!(top < body.y - kPlayerRadius) || !(top > grapple.anchor.y - kClimbReach)) return;
  // Room on the roof behind the edge: a taller block flush with the facade
  // is a wall, not a roof to land on.
  const Vec3 over{grapple.anchor.x + out.x / out_length * 0.5f,
                  top + kPlayerRadius + kClimbClearance,
                  grapple.anchor.z + out.z / out_length * 0.5f};
  if (!(distance_to_statics(scene, over, into) > kClimbRoom)) return;
  grapple.anchor = {grapple.anchor.x + into.x * kEdgeLanding, top,
                    grapple.anchor.z + into.z * kEdgeLanding};
  // Pulled to just under where a body stands on the roof: it lands.
  grapple.pull_offset = {0.0f, kPlayerRadius - kClimbClearance, 0.0f};
  grapple.rope_end = grapple.anchor + Vec3{0.0f, 0.2f, 0.0f};
  grapple.edge_caught = true;
}

void rules_edge_landing(CityScene& scene) {
  if (scene.grapple.attached && scene.grapple.edge_caught && scene.player.on_ground) {
    grapple_release(scene);
  }
}

void rules_leap_landing(CityScene& scene) {
  RuleProgress& progress = scene.progress;
  if (!progress.leap_airborne) return;
  PlayerBody& body = scene.player.body;
  if (scene.player.on_ground || scene.grapple.attached) {
    progress.leap_airborne = false;
    return;
  }
  if (!(body.velocity.y < 0.0f)) return;  // still rising
  constexpr Vec3 kDown{0.0f, -1.0f, 0.0f};
  const float below = distance_to_statics(scene, body.position, kDown);
  if (!(below < kLeapCatch)) return;
  progress.leap_airborne = false;
  // Where the body would come down on its way (gravity alone): on the same
  // roof, the leap goes on as it is; past its edge, it stops over it.
  const float fall = std::max(below - kPlayerRadius, 0.0f);
  const float sinking = -body.velocity.y;
  const float gravity = kGravity * body.gravity_scale;
  const float t = gravity > 0.0f
                      ? (std::sqrt(sinking * sinking + 2.0f * gravity * fall) - sinking) / gravity
                      : fall / sinking;
  const Vec3 landing{body.position.x + body.velocity.x * t, body.position.y,
                     body.position.z + body.velocity.z * t};
  if (std::fabs(distance_to_statics(scene, landing, kDown) - below) < kLeapSameRoof) return;
  body.velocity.x = 0.0f;
  body.velocity.z = 0.0f;
}

void rules_chips_taken(CityScene& scene, size_t chips_before) {
  const size_t left = scene.objects.chips.size();
  if (left >= chips_before) return;
  const int32_t points = scene.rules.points_per_chip * static_cast<int32_t>(chips_before - left);
  scene.economy.upgrade_points += points;
  if (scene.rules.plain_pickup_words && points > 0) {
    say(scene, "+" + std::to_string(points) + " POINTS", kNews);
  }
  if (scene.rules.level_advance && left == 0 && scene.progress.level_complete < 0.0f) {
    scene.progress.level_complete = scene.clock.elapsed;
    say(scene, "LEVEL COMPLETE! " + minutes_and_seconds(scene.clock.elapsed), kGood);
    scene.events.add(EventKind::level_complete, static_cast<float>(scene.city.level));
  }
}

void rules_edge_hint(CityScene& scene) {
  const PlayerState& player = scene.player;
  if (!player.on_ground || !player.control_enabled) return;
  const Vec3 v = player.body.velocity;
  const float speed = std::sqrt(v.x * v.x + v.z * v.z);
  if (!(speed > kEdgeHintSpeed)) return;
  if (scene.clock.elapsed - scene.progress.edge_said < kEdgeHintPause) return;
  // Where the body will be in half a second: is there a roof under it?
  const Vec3 ahead = player.body.position + Vec3{v.x, 0.0f, v.z} * (kEdgeLookAhead / speed);
  if (distance_to_statics(scene, ahead, Vec3{0.0f, -1.0f, 0.0f}) < kEdgeDrop) return;
  for (const SceneObject& chip : scene.objects.chips) {
    if (distance(player.body.position, translation_of(chip.transform)) < kEdgeChipNear) return;
  }
  scene.progress.edge_said = scene.clock.elapsed;
  say(scene, "EDGE!", kWarning);
}

void rules_stack_messages(std::vector<HudMessage>& messages, float elapsed) {
  for (size_t k = 0; k < messages.size(); ++k) {
    HudMessage& fresh = messages[k];
    if (fresh.born != elapsed) continue;
    if (fresh.position.y == 0.5f) {
      fresh.position.y += kMessageLift;
      fresh.rising = true;
    }
    for (int32_t line = 0; line < kMostStackedLines; ++line) {
      bool covered = false;
      for (size_t j = 0; j < k; ++j) {
        covered = covered || std::fabs(messages[j].position.y - fresh.position.y) < kMessageLine;
      }
      if (!covered) break;
      fresh.position.y += kMessageLine;
    }
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
    scene.progress.station_armed = true;
  } else if (scene.progress.station_armed) {
    station_test(scene.player, scene.city.station_position, scene.menus);
  }
}

void rules_close_device_menu(CityScene& scene) {
  scene.menus.device_menu_open = false;
  scene.player.control_enabled = true;
  scene.progress.station_armed = false;
}

void rules_select_device(CityScene& scene) {
  const int32_t device = scene.menus.selection;
  if (device < 0 || device >= kDeviceCount) return;  // a panel row left selected: nothing
  if (device == kForceFieldDevice) {
    scene.grapple.snaps = false;
    say(scene, "FORCE FIELD INSTALLED!", kGood);
  } else if (device == kScannerDevice) {
    scene.progress.scanner = true;
    say(scene, "SCANNER INSTALLED!", kGood);
  } else {
    say(scene, "NOT AVAILABLE", kRefused);
  }
}

bool rules_level_step(CityScene& scene, const Settings& settings, float time) {
  if (scene.progress.level_complete < 0.0f || scene.menus.panel_open ||
      scene.menus.device_menu_open) {
    return false;
  }
  if (scene.clock.elapsed - scene.progress.level_complete < kLevelCompleteDelay) return false;
  rebuild_at_level(scene, settings, time, scene.city.level + 1);
  say(scene, "LEVEL " + std::to_string(scene.city.level), kNews);
  return true;
}

void rebuild_at_level(CityScene& scene, const Settings& settings, float time, int32_t level) {
  // The assets are moved, not read again: a level never fails on a file.
  CityScene fresh;
  fresh.assets = std::move(scene.assets);
  fresh.picture.previews = std::move(scene.picture.previews);
  fresh.city.level = level;
  build_scene(fresh, settings, time);
  keep_runner_choices(fresh, scene);
  fresh.economy.levels = scene.economy.levels;
  fresh.economy.drafts = scene.economy.levels;
  fresh.economy.upgrade_points = scene.economy.upgrade_points;
  fresh.economy.chip_count = scene.economy.chip_count;
  fresh.grapple.snaps = scene.grapple.snaps;
  fresh.progress.scanner = scene.progress.scanner;
  scene = std::move(fresh);
}

}  // namespace vel
