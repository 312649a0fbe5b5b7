// play_rules_test.cpp: the play rules through the city's own frame step on
// the real level-1 city: the station's menu closes and stays shut until the
// player comes back, no device ends the game, and taking every chip leads
// to a bigger city that keeps the upgrades. (Scripts through the runner
// check the refund, the upgrade bought with a chip and the energy floor.)
#include "scene1/play_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "gfx/camera.h"
#include "gfx/framebuffer.h"
#include "gfx/matrix.h"
#include "scene1/grapple.h"
#include "scene_api/control_bits.h"
#include "support/city_fixture.h"

namespace vel {
namespace {

constexpr float kStep = 1.0f / 60.0f;

struct RulesRun {
  CityScene scene;
  test::EndedRun ended;
  Framebuffer framebuffer = framebuffer_new(kPictureWidth, kPictureHeight);
  Settings settings;
  float time = 0.0f;
  std::vector<EventKind> heard;  // every event of the frames run, in order

  RulesRun() {
    scene.rules = kPlayRules;
    test::init_real_scene(scene, ended);
    scene.run_end = nullptr;
    frames(310, 0);  // past the opening: the player has control
  }
  // `count` frames holding `held` (a press acts on its first frame).
  void frames(int count, uint32_t held, Vec2 look = {0.0f, 0.0f}) {
    for (int k = 0; k < count; ++k) {
      time += kStep;
      FrameEvents events;
      run_frame(scene, {held, look}, kStep, time, settings, framebuffer, events);
      for (const FrameEvent& event : events) heard.push_back(event.kind);
    }
  }
  void press(uint32_t bit) {
    frames(1, bit);
    frames(1, 0);
  }
  void put_player(Vec3 at) {
    scene.player.body.position = at;
    scene.player.body.velocity = {};
  }
  bool reported(EventKind kind) const {
    return std::find(heard.begin(), heard.end(), kind) != heard.end();
  }
  bool said_starting(const std::string& text) const {
    const auto& m = scene.hud.messages;
    return std::any_of(m.begin(), m.end(),
                       [&](const HudMessage& x) { return x.text.rfind(text, 0) == 0; });
  }
  bool said(const std::string& text) const {
    const auto& m = scene.hud.messages;
    return std::any_of(m.begin(), m.end(), [&](const HudMessage& x) { return x.text == text; });
  }
};

TEST(PlayRules, ThePanelKeyClosesTheDeviceMenuUntilThePlayerComesBack) {
  RulesRun run;
  const Vec3 station = run.scene.city.station_position;
  run.put_player({station.x, station.y + 1.0f, station.z});
  run.frames(1, 0);
  ASSERT_TRUE(run.scene.menus.device_menu_open);

  // Every device, chosen: none ends the program; the force field and the
  // scanner install.
  for (int device = 0; device < 3; ++device) {
    run.scene.menus.selection = device;
    run.press(kMenuSelectBit);
  }
  EXPECT_TRUE(run.said("NOT AVAILABLE"));
  EXPECT_TRUE(run.said("FORCE FIELD INSTALLED!"));
  EXPECT_FALSE(run.scene.grapple.snaps);
  EXPECT_TRUE(run.scene.progress.scanner);

  run.press(kPanelToggleBit);
  EXPECT_FALSE(run.scene.menus.device_menu_open);
  EXPECT_FALSE(run.scene.menus.panel_open);
  EXPECT_TRUE(run.scene.player.control_enabled);
  run.frames(30, 0);  // still at the station: it stays shut
  EXPECT_FALSE(run.scene.menus.device_menu_open);

  run.put_player({station.x + 20.0f, station.y + 1.0f, station.z});
  run.frames(1, 0);
  run.put_player({station.x, station.y + 1.0f, station.z});
  run.frames(1, 0);
  EXPECT_TRUE(run.scene.menus.device_menu_open);  // came back: it opens again
}

// Without the energy a jump from a roof is refused: LOW ENERGY, no
// take-off, and no jump reported (so none is heard). In the air the same
// key brakes, which is free.
TEST(PlayRules, ARefusedJumpIsNoJump) {
  RulesRun run;
  run.frames(200, 0);  // landed on the start's roof
  ASSERT_TRUE(run.scene.player.on_ground);
  run.scene.economy.energy = 0.0f;
  run.heard.clear();
  run.press(kJumpBit);
  EXPECT_TRUE(run.reported(EventKind::low_energy));
  EXPECT_FALSE(run.reported(EventKind::jumped));
  EXPECT_TRUE(run.scene.player.on_ground);
  EXPECT_TRUE(run.said("LOW ENERGY"));

  run.scene.economy.energy = 1.0f;
  run.heard.clear();
  run.press(kJumpBit);
  EXPECT_TRUE(run.reported(EventKind::jumped));
  EXPECT_FALSE(run.reported(EventKind::low_energy));
}

// The rope from the facade ahead of the start (the tour's shot), held: the
// crosshair says it would hold before the shot, the swing settles to within
// a unit of height 3 s after it, and letting go of the key lets go of the
// rope.
TEST(PlayRules, TheHeldRopeSettlesAndLettingGoReleasesIt) {
  RulesRun run;
  run.frames(10, 0);
  run.frames(30, 0, {0.0f, 1.0f});  // the view raised to the horizon
  run.frames(20, kWalkForward);
  run.frames(1, kWalkForward | kJumpBit);
  run.frames(15, 0);
  EXPECT_EQ(run.scene.grapple.aim, AimKind::facade);
  run.frames(1, kGrappleBit);
  ASSERT_TRUE(run.scene.grapple.attached);
  run.frames(180, kGrappleBit);
  float low = 1.0e9f;
  float high = -1.0e9f;
  for (int k = 0; k < 120; ++k) {
    run.frames(1, kGrappleBit);
    low = std::min(low, run.scene.player.body.position.y);
    high = std::max(high, run.scene.player.body.position.y);
  }
  EXPECT_TRUE(run.scene.grapple.attached);
  EXPECT_LT(high - low, 2.0f) << "the swing still spans " << low << " to " << high;
  // Reeled in for longer than the rope is long: it stops out of the wall
  // and still holds, and a leap with no walk key heads into the facade
  // (or straight up it, climbing to the roof above).
  run.frames(240, kGrappleBit | kMoveWithView);
  ASSERT_TRUE(run.scene.grapple.attached);
  const Vec3 normal = run.scene.grapple.pull_offset;
  EXPECT_GE(distance(run.scene.player.body.position, run.scene.grapple.anchor), 1.9f);
  run.frames(1, kGrappleBit | kJumpBit);
  EXPECT_FALSE(run.scene.grapple.attached);
  const Vec3 v = run.scene.player.body.velocity;
  EXPECT_TRUE(v.x * normal.x + v.z * normal.z < 0.0f || run.scene.progress.climb_steps_left > 0);
  EXPECT_GT(v.y, 0.0f);
}

// A rope caught a block below a roof's edge, reeled in to the wall: the
// leap climbs up and over the edge onto that roof, a block above the start.
TEST(PlayRules, TheLeapOffARopeBelowTheEdgeClimbsOntoTheRoof) {
  RulesRun run;
  run.frames(10, 0);
  run.frames(1, 0, {62.8f, 24.0f});  // towards the taller block beside the start
  run.frames(1, kGrappleBit);
  ASSERT_TRUE(run.scene.grapple.attached);
  run.frames(90, kGrappleBit | kMoveWithView);
  const float anchor_y = run.scene.grapple.anchor.y;
  run.frames(1, kGrappleBit | kJumpBit);
  run.frames(300, 0);
  EXPECT_TRUE(run.scene.player.on_ground);
  EXPECT_GT(run.scene.player.body.position.y, anchor_y + 5.0f);
}

// From the station's tower, a rope shot down at the wall of the lower
// tower beside it catches that roof's edge: the swing ends on the roof.
TEST(PlayRules, ARopeShotDownAtALowerRoofsWallLandsOnThatRoof) {
  RulesRun run;
  run.put_player({39.5f, 46.0f, 62.0f});  // just off the edge of its roof
  const Vec3 wall{51.6f, 25.0f, 60.0f};   // the east tower's west facade, a block under its roof
  grapple_fire(run.scene, (wall - run.scene.player.body.position) /
                              distance(wall, run.scene.player.body.position));
  ASSERT_TRUE(run.scene.grapple.attached);
  rules_catch_edge_below(run.scene);
  EXPECT_FLOAT_EQ(run.scene.grapple.anchor.y, 30.0f);
  run.frames(240, kGrappleBit);
  EXPECT_TRUE(run.scene.player.on_ground);
  EXPECT_NEAR(run.scene.player.body.position.y, 31.0f, 0.1f);
  EXPECT_FALSE(run.scene.grapple.attached);  // let go on landing
}

TEST(PlayRules, LettingGoReleasesTheRope) {
  RulesRun run;
  run.frames(10, 0);
  run.frames(30, 0, {0.0f, 1.0f});
  run.frames(20, kWalkForward);
  run.frames(1, kWalkForward | kJumpBit);
  run.frames(15, 0);
  run.frames(1, kGrappleBit);
  ASSERT_TRUE(run.scene.grapple.attached);
  run.frames(1, 0);
  EXPECT_FALSE(run.scene.grapple.attached);
  EXPECT_TRUE(run.reported(EventKind::grapple_released));
}

// Facing a chip, the play rules draw it where the fixed run's
// rules show the sky or a facade behind it.
TEST(PlayRules, AChipInViewIsDrawn) {
  RulesRun run;
  // Standing on the chip's roof, 6 units from it.
  const Vec3 chip = translation_of(run.scene.objects.chips.front().transform);
  const Vec3 eye{chip.x + 6.0f, chip.y + 1.0f, chip.z};
  run.scene.player.body.position = eye;
  float pitch = -std::atan2(chip.y - eye.y, std::hypot(chip.x - eye.x, chip.z - eye.z));
  camera_look(run.scene.view.camera, std::atan2(chip.x - eye.x, eye.z - chip.z), pitch, eye);
  run.scene.view.camera.view_projection =
      mat4_mul(run.scene.view.camera.projection, run.scene.view.camera.view);
  run.scene.view.render_flags.interlace = 0;
  auto centre = [&](const CityRules& rules) {
    run.scene.rules = rules;
    Framebuffer picture = framebuffer_new(kPictureWidth, kPictureHeight);
    draw_city_frame(run.scene, run.scene.picture, picture);
    std::vector<uint8_t> middle;
    for (int32_t y = 86; y < 94; ++y) {
      const size_t row = static_cast<size_t>(kPictureHeight - 1 - y) * kPictureWidth * 3;
      middle.insert(middle.end(), picture.colour.begin() + row + 156 * 3,
                    picture.colour.begin() + row + 164 * 3);
    }
    return middle;
  };
  EXPECT_NE(centre(kPlayRules), centre(kFixedRunRules)) << "the chip at " << distance(eye, chip);
}

// A fall below the city comes back on the roof last stood on, not at the
// start.
TEST(PlayRules, AFallReturnsToTheLastRoof) {
  RulesRun run;
  run.frames(200, 0);
  ASSERT_TRUE(run.scene.player.on_ground);
  const Vec3 roof{40.0f, 31.0f, 40.0f};  // stood on, as far as the rule knows
  run.scene.progress.last_roof_body.position = roof;
  run.put_player({40.0f, kPlayRules.fall_floor - 1.0f, 40.0f});
  run.frames(1, 0);
  EXPECT_LT(distance(run.scene.player.body.position, roof), 1.0f);
  EXPECT_TRUE(run.said("BACK TO THE LAST ROOF"));
}

// The player come to rest on the start roof: where it stands and the
// middle of the block under it (found false when either is missing).
struct StartRoof {
  bool found = false;
  Vec3 stood;
  Vec3 middle;
};

StartRoof settle_on_start_roof(RulesRun& run) {
  run.frames(200, 0);
  StartRoof roof;
  roof.stood = run.scene.player.body.position;
  const StaticHit under = nearest_static(run.scene, roof.stood, Vec3{0.0f, -1.0f, 0.0f});
  if (!run.scene.player.on_ground || under.index < 0) return roof;
  roof.middle = run.scene.objects.statics[static_cast<size_t>(under.index)].bound_center;
  roof.found = true;
  return roof;
}

// Stood on a roof only near its edge (where a chip lies, say), the player
// who falls comes back in that roof's middle, not on an older roof.
TEST(PlayRules, AFallAfterStandingOnlyNearARoofsEdgeReturnsToItsMiddle) {
  RulesRun run;
  const StartRoof roof = settle_on_start_roof(run);
  ASSERT_TRUE(roof.found);
  run.scene.progress.stood_on_roof = false;
  run.put_player({roof.middle.x + 6.0f, roof.stood.y, roof.middle.z});
  run.frames(5, 0);
  ASSERT_TRUE(run.scene.player.on_ground);
  ASSERT_TRUE(run.scene.progress.stood_on_roof);
  run.put_player({40.0f, kPlayRules.fall_floor - 1.0f, 40.0f});
  run.frames(1, 0);
  EXPECT_NEAR(run.scene.player.body.position.x, roof.middle.x, 0.5f);
  EXPECT_NEAR(run.scene.player.body.position.z, roof.middle.z, 0.5f);
  EXPECT_TRUE(run.said("BACK TO THE LAST ROOF"));
}

// A leap off a rope coming down over the roof it set out for, fast enough
// to sail past its far edge, stops over the roof and lands on it; without
// the rule the same leap goes on past the edge.
TEST(PlayRules, ALeapThatWouldSailPastARoofComesDownOnIt) {
  RulesRun probe;
  const StartRoof roof = settle_on_start_roof(probe);
  ASSERT_TRUE(roof.found);
  int past_the_edge = 0;
  for (const Vec3 way : {Vec3{1.0f, 0.0f, 0.0f}, Vec3{-1.0f, 0.0f, 0.0f}, Vec3{0.0f, 0.0f, 1.0f},
                         Vec3{0.0f, 0.0f, -1.0f}}) {
    float height[2] = {};
    for (const bool lands : {false, true}) {
      RulesRun run;
      run.frames(200, 0);
      run.scene.rules.leap_lands = lands;
      run.put_player({roof.middle.x, roof.stood.y + 5.0f, roof.middle.z});
      run.scene.player.body.velocity = way * 12.0f + Vec3{0.0f, -1.0f, 0.0f};
      run.scene.progress.leap_airborne = true;
      run.frames(90, 0);
      height[lands ? 1 : 0] = run.scene.player.body.position.y;
    }
    if (!(height[0] < roof.stood.y - 2.0f)) continue;  // another roof as high beyond the edge
    ++past_the_edge;
    EXPECT_NEAR(height[1], roof.stood.y, 1.0f) << "along " << way.x << " " << way.z;
  }
  EXPECT_GT(past_the_edge, 0);
}

TEST(PlayRules, TakingEveryChipBuildsTheNextLevelKeepingTheUpgrades) {
  RulesRun run;
  run.scene.economy.levels.jump = 3;
  const int32_t placed = run.scene.progress.chips_placed;
  ASSERT_GT(placed, 0);
  ASSERT_EQ(static_cast<size_t>(placed), run.scene.objects.chips.size());
  while (!run.scene.objects.chip_indicators.empty()) {
    const Vec3 chip = translation_of(run.scene.objects.chip_indicators.back().transform);
    run.put_player(chip);
    run.frames(1, 0);
  }
  EXPECT_EQ(run.scene.economy.upgrade_points, kPlayRules.points_per_chip * placed);
  EXPECT_TRUE(run.said_starting("LEVEL COMPLETE! "));
  EXPECT_EQ(run.scene.city.level, 1);

  run.frames(static_cast<int>(kLevelCompleteDelay / kStep) + 2, 0);
  EXPECT_EQ(run.scene.city.level, 2);
  EXPECT_EQ(run.scene.city.grid_size, 8);
  EXPECT_GT(run.scene.objects.chips.size(), static_cast<size_t>(placed));
  EXPECT_EQ(run.scene.progress.chips_placed, static_cast<int32_t>(run.scene.objects.chips.size()));
  EXPECT_EQ(run.scene.economy.levels.jump, 3);
  EXPECT_EQ(run.scene.economy.upgrade_points, kPlayRules.points_per_chip * placed);
  EXPECT_EQ(run.scene.rules, kPlayRules);
  EXPECT_TRUE(run.said("LEVEL 2"));
  EXPECT_TRUE(run.reported(EventKind::level_complete));
  EXPECT_TRUE(run.reported(EventKind::level_advanced));
}

TEST(PlayRules, AFallBelowTheCityStartsAgainWhereTheCityBegan) {
  RulesRun run;
  run.scene.rules.fall = FallRule::back_to_start;
  run.put_player({40.0f, kPlayRules.fall_floor - 1.0f, 40.0f});
  run.frames(1, 0);
  EXPECT_GT(run.scene.player.body.position.y, kPlayRules.fall_floor);
  EXPECT_TRUE(run.said("BACK TO THE START"));
  EXPECT_TRUE(run.reported(EventKind::fell_back));
  run.frames(330, 0);  // risen from beside the lowest tower onto its roof, as at the start
  EXPECT_TRUE(run.scene.player.on_ground);
}

}  // namespace
}  // namespace vel
