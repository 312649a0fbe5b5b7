// grapple_test.cpp: the grapple's shot, pull, snap, bursts and cooldown on
// small scenes placed by hand (the player at the origin, aiming down -z).
#include "scene1/grapple.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>

#include "gfx/camera.h"
#include "support/city_fixture.h"
#include "support/hand_scene.h"
#include "support/pixels.h"

namespace vel {
namespace {

using test::box_mesh;
using test::flyer;
using test::placed;

constexpr Vec3 kAhead{0.0f, 0.0f, -1.0f};

// One physics step of the rope on the scene's own parts.
void pull_rope(CityScene& scene) {
  grapple_pull(scene.grapple, scene.player.body, scene.objects, scene.economy, scene.hud.messages,
               scene.clock.elapsed, scene.events, scene.rules);
}

// Mesh 0: a 2-unit box about the origin. Mesh 1: a wall facing +z, 10 wide.
CityScene shooting_range() {
  CityScene scene;
  scene.assets.meshes.push_back(box_mesh({-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f}));
  scene.assets.meshes.push_back(box_mesh({-5.0f, -5.0f, -0.5f}, {5.0f, 5.0f, 0.0f}));
  scene.grapple.cooldown = 0.0f;
  scene.clock.elapsed = 7.0f;
  return scene;
}

void expect_vec_near(Vec3 actual, Vec3 expected) {
  EXPECT_FLOAT_EQ(actual.x, expected.x);
  EXPECT_FLOAT_EQ(actual.y, expected.y);
  EXPECT_FLOAT_EQ(actual.z, expected.z);
}

void expect_message(const CityScene& scene, const char* text, Colour colour) {
  ASSERT_FALSE(scene.hud.messages.empty());
  const HudMessage& m = scene.hud.messages.back();
  EXPECT_EQ(m.text, text);
  EXPECT_EQ(m.colour.r, colour.r);
  EXPECT_EQ(m.colour.g, colour.g);
  EXPECT_EQ(m.colour.b, colour.b);
  EXPECT_EQ(m.colour.a, colour.a);
  EXPECT_EQ(m.position, (Vec2{0.5f, 0.5f}));
  EXPECT_EQ(m.born, scene.clock.elapsed);
  EXPECT_FALSE(m.rising);
}

TEST(GrappleFire, DoesNothingDuringCooldownAndShootsOnceItHasRunOut) {
  CityScene scene = shooting_range();
  scene.grapple.cooldown = 0.05f;
  grapple_fire(scene, kAhead);
  EXPECT_TRUE(scene.hud.messages.empty());
  EXPECT_EQ(scene.economy.energy, 1.0f);
  EXPECT_EQ(scene.grapple.cooldown, 0.05f);

  grapple_cooldown_update(scene.grapple, 0.03f);
  grapple_cooldown_update(scene.grapple, 0.03f);  // never below 0
  EXPECT_EQ(scene.grapple.cooldown, 0.0f);
  grapple_fire(scene, kAhead);
  expect_message(scene, "MISSED!", {1.0f, 0.3f, 0.3f, 1.0f});
  EXPECT_FLOAT_EQ(scene.economy.energy, 0.99f);
  EXPECT_EQ(scene.grapple.cooldown, scene.grapple.reload);
}

TEST(GrappleFire, SurfaceHitAttachesMarksAndCharges) {
  CityScene scene = shooting_range();
  scene.objects.statics.push_back(
      placed(scene, ObjectKind::floor_block, "building_floor", 0, {0.0f, 0.0f, -20.0f}));
  grapple_fire(scene, kAhead);

  expect_message(scene, "ENGAGED!", {0.0f, 1.0f, 0.2f, 1.0f});
  EXPECT_TRUE(scene.grapple.attached);
  EXPECT_EQ(scene.grapple.anchor_car, -1);
  EXPECT_EQ(scene.grapple.anchor, (Vec3{0.0f, 0.0f, -19.0f}));
  // Just outside the face the rope hangs on.
  EXPECT_EQ(scene.grapple.rope_end, (Vec3{0.0f, 0.0f, -18.8f}));
  ASSERT_EQ(scene.objects.markers.size(), 1u);
  const SceneObject& marker = scene.objects.markers[0];
  EXPECT_EQ(marker.name, "hitindicator");
  EXPECT_EQ(marker.mesh, 3u);
  EXPECT_EQ(marker.texture, 5u);
  EXPECT_EQ(translation_of(marker.transform), (Vec3{0.0f, 0.0f, -19.0f}));
  EXPECT_TRUE(marker.visible);
  EXPECT_FALSE(marker.solid);
  EXPECT_FLOAT_EQ(scene.economy.energy, 0.95f);
  EXPECT_EQ(scene.grapple.cooldown, 0.1f);
}

TEST(GrappleFire, IgnoresStaticsThatAreNotSolidAndFacesSeenFromInside) {
  CityScene scene = shooting_range();
  scene.objects.statics.push_back(
      placed(scene, ObjectKind::other, "ghost", 0, {0.0f, 0.0f, -20.0f}, false));
  // The player stands inside this box: its walls all face away.
  scene.objects.statics.push_back(
      placed(scene, ObjectKind::floor_block, "building_floor", 0, {0.0f, 0.0f, 0.0f}));
  grapple_fire(scene, kAhead);
  expect_message(scene, "MISSED!", {1.0f, 0.3f, 0.3f, 1.0f});
  EXPECT_FALSE(scene.grapple.attached);
  EXPECT_TRUE(scene.objects.markers.empty());
}

TEST(GrappleFire, ReachEndsJustShortOf200) {
  CityScene scene = shooting_range();
  scene.objects.statics.push_back(
      placed(scene, ObjectKind::floor_block, "building_floor", 1, {0.0f, 0.0f, -200.0f}));
  grapple_fire(scene, kAhead);
  expect_message(scene, "MISSED!", {1.0f, 0.3f, 0.3f, 1.0f});
  EXPECT_FALSE(scene.grapple.attached);

  CityScene near = shooting_range();
  near.objects.statics.push_back(
      placed(near, ObjectKind::floor_block, "building_floor", 1, {0.0f, 0.0f, -199.0f}));
  grapple_fire(near, kAhead);
  expect_message(near, "ENGAGED!", {0.0f, 1.0f, 0.2f, 1.0f});
}

TEST(GrappleFire, DroneHitCapturesTheDroneWithoutAttaching) {
  CityScene scene = shooting_range();
  scene.objects.drones.push_back(flyer("drone_a", {30.0f, 0.0f, 0.0f}, 1.0f));
  scene.objects.drones.push_back(flyer("drone_b", {0.0f, 0.0f, -10.0f}, 1.0f));
  scene.objects.drones.push_back(flyer("drone_c", {0.0f, 30.0f, 0.0f}, 1.0f));
  grapple_fire(scene, kAhead);

  expect_message(scene, "PLACEHOLDER", {0.5f, 1.0f, 1.0f, 1.0f});
  ASSERT_EQ(scene.objects.drones.size(), 2u);
  EXPECT_EQ(scene.objects.drones[0].name, "drone_a");
  EXPECT_EQ(scene.objects.drones[1].name, "drone_c");
  ASSERT_EQ(scene.grapple.drone_bursts.size(), 1u);
  EXPECT_EQ(scene.grapple.drone_bursts[0].position, (Vec3{0.0f, 0.0f, -9.0f}));
  EXPECT_EQ(scene.grapple.drone_bursts[0].frame, 0);
  EXPECT_EQ(scene.grapple.drone_bursts[0].timer, 0.0f);
  EXPECT_FALSE(scene.grapple.attached);
  EXPECT_FLOAT_EQ(scene.economy.energy, 0.95f);
}

TEST(GrappleFire, CarHitHitchesTheRopeToThatCar) {
  CityScene scene = shooting_range();
  scene.objects.cars.push_back(flyer("car_0", {0.0f, 40.0f, 0.0f}, 2.0f));
  scene.objects.cars.push_back(flyer("car_1", {0.0f, 0.0f, -10.0f}, 2.0f));
  grapple_fire(scene, kAhead);
  expect_message(scene, "HITCHHIKING!", {0.0f, 1.0f, 0.2f, 1.0f});
  EXPECT_TRUE(scene.grapple.attached);
  EXPECT_EQ(scene.grapple.anchor_car, 1);
  EXPECT_EQ(scene.objects.cars.size(), 2u);
  EXPECT_FLOAT_EQ(scene.economy.energy, 0.95f);
}

TEST(GrappleFire, NearestWinsAndEqualDistancesGoToDronesThenCarsThenStatics) {
  {  // A wall in front of a drone takes the shot.
    CityScene scene = shooting_range();
    scene.objects.statics.push_back(
        placed(scene, ObjectKind::floor_block, "building_floor", 1, {0.0f, 0.0f, -5.0f}));
    scene.objects.drones.push_back(flyer("drone", {0.0f, 0.0f, -11.0f}, 1.0f));
    grapple_fire(scene, kAhead);
    EXPECT_EQ(scene.hud.messages.back().text, "ENGAGED!");
    EXPECT_EQ(scene.objects.drones.size(), 1u);
  }
  {  // Drone and car spheres alike: the drone.
    CityScene scene = shooting_range();
    scene.objects.cars.push_back(flyer("car", {0.0f, 0.0f, -11.0f}, 1.0f));
    scene.objects.drones.push_back(flyer("drone", {0.0f, 0.0f, -11.0f}, 1.0f));
    grapple_fire(scene, kAhead);
    EXPECT_EQ(scene.hud.messages.back().text, "PLACEHOLDER");
    EXPECT_FALSE(scene.grapple.attached);
  }
  {  // A car sphere first met at t = 10 and a wall at t = 10: the car.
    CityScene scene = shooting_range();
    scene.objects.statics.push_back(
        placed(scene, ObjectKind::floor_block, "building_floor", 1, {0.0f, 0.0f, -10.0f}));
    scene.objects.cars.push_back(flyer("car", {0.0f, 0.0f, -11.0f}, 1.0f));
    grapple_fire(scene, kAhead);
    EXPECT_EQ(scene.hud.messages.back().text, "HITCHHIKING!");
    EXPECT_TRUE(scene.objects.markers.empty());
  }
  {  // A sphere the player stands in is not hit (its near root is behind).
    CityScene scene = shooting_range();
    scene.objects.drones.push_back(flyer("drone", {0.0f, 0.0f, 0.0f}, 3.0f));
    grapple_fire(scene, kAhead);
    EXPECT_EQ(scene.hud.messages.back().text, "MISSED!");
  }
}

TEST(GrappleFire, ReleaseIsFreeKeepsTheCooldownAndDropsThisFramesForces) {
  CityScene scene = shooting_range();
  scene.grapple.attached = true;
  scene.grapple.anchor_car = 0;
  scene.objects.cars.push_back(flyer("car", {0.0f, 0.0f, -10.0f}, 1.0f));
  scene.economy.energy = 0.4f;
  scene.player.body.force = {0.0f, 1000.0f, 0.0f};  // a jump earlier in the frame
  scene.player.body.torque = {1.0f, 2.0f, 3.0f};
  grapple_fire(scene, kAhead);

  expect_message(scene, "DISENGAGED!", {0.0f, 0.3f, 1.0f, 1.0f});
  EXPECT_FALSE(scene.grapple.attached);
  EXPECT_EQ(scene.grapple.anchor_car, -1);
  EXPECT_EQ(scene.player.body.force, (Vec3{}));
  EXPECT_EQ(scene.player.body.torque, (Vec3{}));
  EXPECT_EQ(scene.economy.energy, 0.4f);
  EXPECT_EQ(scene.grapple.cooldown, 0.0f);
  // Released only: the car straight ahead was not shot at as well.
  EXPECT_EQ(scene.hud.messages.size(), 1u);
}

TEST(GrapplePull, GrowsWithTheRopeAndTheUpgradeAndStopsAt100) {
  CityScene scene = shooting_range();
  scene.grapple.attached = true;
  scene.grapple.anchor = {0.0f, 0.0f, -5.0f};
  scene.grapple.rope_end = scene.grapple.anchor;
  pull_rope(scene);
  EXPECT_EQ(scene.player.body.force, (Vec3{0.0f, 0.0f, -5.0f}));

  scene.player.body.force = {};
  scene.economy.levels.pull = 9;  // three times the pull
  pull_rope(scene);
  EXPECT_EQ(scene.player.body.force, (Vec3{0.0f, 0.0f, -15.0f}));

  scene.player.body.force = {0.0f, -9.81f, 0.0f};  // adds to what the step holds
  scene.economy.levels.pull = 0;
  scene.grapple.anchor = {0.0f, 150.0f, 0.0f};
  scene.grapple.rope_end = scene.grapple.anchor;
  pull_rope(scene);
  EXPECT_EQ(scene.player.body.force, (Vec3{0.0f, 100.0f - 9.81f, 0.0f}));
  EXPECT_TRUE(scene.grapple.attached);
}

TEST(GrapplePull, FollowsTheCarThatHoldsTheRope) {
  CityScene scene = shooting_range();
  scene.grapple.attached = true;
  scene.objects.cars.push_back(flyer("car_0", {50.0f, 0.0f, 0.0f}, 1.0f));
  scene.objects.cars.push_back(flyer("car_1", {3.0f, 4.0f, 0.0f}, 1.0f));
  scene.grapple.anchor_car = 1;
  pull_rope(scene);
  EXPECT_EQ(scene.grapple.anchor, (Vec3{3.0f, 4.0f, 0.0f}));
  EXPECT_EQ(scene.grapple.rope_end, (Vec3{3.0f, 4.0f, 0.0f}));
  expect_vec_near(scene.player.body.force, {3.0f, 4.0f, 0.0f});
}

TEST(GrapplePull, AtTheAnchorItselfTheForceStaysFinite) {
  CityScene scene = shooting_range();
  scene.grapple.attached = true;
  scene.player.body.position = {1.0f, 2.0f, 3.0f};
  scene.grapple.anchor = scene.player.body.position;
  scene.grapple.rope_end = scene.player.body.position;
  pull_rope(scene);
  EXPECT_EQ(scene.player.body.force, (Vec3{}));
}

// A building block standing at (0, -5, -20): its box spans x and z by 7.5
// about that point and y from -5 to 10.
CityScene rope_past_a_block(ObjectKind kind, const char* name, Vec3 anchor) {
  CityScene scene = shooting_range();
  scene.assets.meshes.push_back(box_mesh({-7.5f, 0.0f, -7.5f}, {7.5f, 15.0f, 7.5f}));
  scene.objects.statics.push_back(placed(scene, kind, name, 2, {0.0f, -5.0f, -20.0f}));
  scene.grapple.attached = true;
  scene.grapple.anchor = anchor;
  scene.grapple.rope_end = anchor;
  return scene;
}

TEST(GrapplePull, ARopeThroughABuildingSnaps) {
  CityScene scene =
      rope_past_a_block(ObjectKind::floor_block, "building_floor_3", {0.0f, 0.0f, -40.0f});
  pull_rope(scene);
  EXPECT_FALSE(scene.grapple.attached);
  EXPECT_EQ(scene.grapple.anchor_car, -1);
  expect_message(scene, "SNAPPED!", {1.0f, 0.5f, 0.0f, 1.0f});
  EXPECT_FLOAT_EQ(scene.economy.energy, 0.85f);
}

TEST(GrapplePull, OnlyBuildingsSnapAndOnlyWhereTheRopeRuns) {
  {  // The same block named as a terrace.
    CityScene scene = rope_past_a_block(ObjectKind::terrace, "terrace", {0.0f, 0.0f, -40.0f});
    pull_rope(scene);
    EXPECT_TRUE(scene.grapple.attached);
    EXPECT_TRUE(scene.hud.messages.empty());
  }
  {  // Passing above the block's top at y = 10.
    CityScene scene =
        rope_past_a_block(ObjectKind::floor_block, "building_floor", {0.0f, 11.0f, -40.0f});
    scene.player.body.position = {0.0f, 11.0f, 0.0f};
    pull_rope(scene);
    EXPECT_TRUE(scene.grapple.attached);
  }
  {  // Passing its corner diagonally: only a cross axis separates them.
    CityScene scene =
        rope_past_a_block(ObjectKind::floor_block, "building_floor", {22.0f, 0.0f, -25.0f});
    scene.player.body.position = {2.0f, 0.0f, -5.0f};
    pull_rope(scene);
    EXPECT_TRUE(scene.grapple.attached);
  }
}

TEST(GrapplePull, TheBuildingThatHoldsTheAnchorDoesNotCutItsRope) {
  CityScene scene = rope_past_a_block(ObjectKind::floor_block, "building_floor", {});
  scene.grapple.attached = false;
  grapple_fire(scene, kAhead);
  ASSERT_TRUE(scene.grapple.attached);
  EXPECT_EQ(scene.grapple.anchor, (Vec3{0.0f, 0.0f, -12.5f}));
  pull_rope(scene);
  EXPECT_TRUE(scene.grapple.attached);
}

// A rope shot up over a roof's edge holds on the roof, behind the block's
// corner: the play rules let it run through that block, the city's own
// rules snap it.
TEST(GrapplePull, UnderThePlayRulesTheAnchorsOwnBlockNeverSnapsItsRope) {
  for (const bool spares : {true, false}) {
    CityScene scene = rope_past_a_block(ObjectKind::floor_block, "building_floor", {});
    scene.rules.rope_spares_anchor = spares;
    // The roof of the block at y = -5 is y = 10; the anchor 4 units in
    // from the edge that faces the player, who hangs below that edge.
    const Vec3 roof{0.0f, 10.0f, -16.5f};
    scene.grapple.anchor = roof;
    scene.grapple.rope_end = roof + Vec3{0.0f, 0.2f, 0.0f};
    scene.grapple.anchor_static = 0;
    scene.player.body.position = {0.0f, 2.0f, -11.0f};
    pull_rope(scene);
    EXPECT_EQ(scene.grapple.attached, spares);
  }
}

TEST(DroneBursts, AdvanceEvery50msAndLeaveAfterTenFrames) {
  CityScene scene;
  scene.grapple.drone_bursts.push_back(DroneBurst{{1.0f, 0.0f, 0.0f}, 0, 0.0f});
  scene.grapple.drone_bursts.push_back(DroneBurst{{2.0f, 0.0f, 0.0f}, 5, 0.0f});
  drone_bursts_update(scene.grapple.drone_bursts, 0.05f);  // not past 0.05 yet
  EXPECT_EQ(scene.grapple.drone_bursts[0].frame, 0);
  EXPECT_EQ(scene.grapple.drone_bursts[0].timer, 0.05f);
  drone_bursts_update(scene.grapple.drone_bursts, 0.001f);
  EXPECT_EQ(scene.grapple.drone_bursts[0].frame, 1);
  EXPECT_EQ(scene.grapple.drone_bursts[0].timer, 0.0f);
  EXPECT_EQ(scene.grapple.drone_bursts[1].frame, 6);

  for (int i = 0; i < 4; ++i) drone_bursts_update(scene.grapple.drone_bursts, 0.06f);
  ASSERT_EQ(scene.grapple.drone_bursts.size(), 1u);  // the older one reached frame 10
  EXPECT_EQ(scene.grapple.drone_bursts[0].position.x, 1.0f);
  EXPECT_EQ(scene.grapple.drone_bursts[0].frame, 5);
  for (int i = 0; i < 4; ++i) drone_bursts_update(scene.grapple.drone_bursts, 0.06f);
  EXPECT_EQ(scene.grapple.drone_bursts[0].frame, 9);
  drone_bursts_update(scene.grapple.drone_bursts, 0.0f);  // a paused frame changes nothing
  EXPECT_EQ(scene.grapple.drone_bursts.size(), 1u);
  drone_bursts_update(scene.grapple.drone_bursts, 0.06f);
  EXPECT_TRUE(scene.grapple.drone_bursts.empty());
}

// A camera at the origin looking down -z, as the scene's.
CityScene looking_ahead() {
  CityScene scene = shooting_range();
  scene.view.camera.projection = perspective(0.01f, 90.0f);
  float pitch = 0.0f;
  camera_look(scene.view.camera, 0.0f, pitch, {0.0f, 0.0f, 0.0f});
  scene.view.render_flags.interlace = 0;
  return scene;
}

int lit_pixels(const Framebuffer& target) {
  int count = 0;
  for (int32_t y = 0; y < target.height; ++y) {
    for (int32_t x = 0; x < target.width; ++x) {
      if (!(test::pixel_at(target, x, y) == test::Bgr{})) ++count;
    }
  }
  return count;
}

TEST(GrappleEffects, TheRopeRunsFromBelowTheCentreToTheAnchor) {
  CityScene scene = looking_ahead();
  Framebuffer target = framebuffer_new(320, 180);
  draw_grapple_effects(scene.grapple, scene.objects.cars, scene.view, scene.view.render_flags,
                       target);
  EXPECT_EQ(lit_pixels(target), 0);  // nothing attached, no bursts

  scene.grapple.attached = true;
  scene.grapple.anchor = {5.0f, 0.0f, -10.0f};
  draw_grapple_effects(scene.grapple, scene.objects.cars, scene.view, scene.view.render_flags,
                       target);
  EXPECT_NE(test::pixel_at(target, 160, 84), test::Bgr{});
  // The anchor lands at x = (1.4281484 * 0.5 + 1) / 2 * 320 = 274, y = 90.
  EXPECT_TRUE(test::pixel_at(target, 274, 89) != test::Bgr{} ||
              test::pixel_at(target, 274, 90) != test::Bgr{});
  for (int32_t x = 276; x < 320; ++x) {
    for (int32_t y = 0; y < 180; ++y) EXPECT_EQ(test::pixel_at(target, x, y), test::Bgr{});
  }
}

TEST(GrappleEffects, AnAnchorBehindTheEyeDrawsNoRopeAndAFarOneIsCutToThePicture) {
  CityScene scene = looking_ahead();
  scene.grapple.attached = true;
  Framebuffer target = framebuffer_new(320, 180);
  scene.grapple.anchor = {0.0f, 0.0f, 10.0f};
  draw_grapple_effects(scene.grapple, scene.objects.cars, scene.view, scene.view.render_flags,
                       target);
  EXPECT_EQ(lit_pixels(target), 0);

  // Barely in front of the eye and far to the side: projects millions of
  // pixels away, yet the line is cut to the picture and drawn at once.
  scene.grapple.anchor = {1000.0f, 0.0f, -0.001f};
  const auto start = std::chrono::steady_clock::now();
  draw_grapple_effects(scene.grapple, scene.objects.cars, scene.view, scene.view.render_flags,
                       target);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::milliseconds(200));
  EXPECT_NE(test::pixel_at(target, 319, 84), test::Bgr{});
}

TEST(GrappleEffects, ABurstIsASmallSparkThatGrowsAndFades) {
  CityScene scene = looking_ahead();
  scene.grapple.drone_bursts.push_back(DroneBurst{{0.0f, 0.0f, -10.0f}, 0, 0.0f});
  Framebuffer young = framebuffer_new(320, 180);
  draw_grapple_effects(scene.grapple, scene.objects.cars, scene.view, scene.view.render_flags,
                       young);
  scene.grapple.drone_bursts[0].frame = 8;
  Framebuffer old = framebuffer_new(320, 180);
  draw_grapple_effects(scene.grapple, scene.objects.cars, scene.view, scene.view.render_flags, old);
  const int young_pixels = lit_pixels(young);
  EXPECT_GT(young_pixels, 8);
  EXPECT_LT(young_pixels, 400);  // small
  // The spark stays around the burst's point on the picture (160, 90).
  for (int32_t y = 0; y < 180; ++y) {
    for (int32_t x = 0; x < 320; ++x) {
      if (test::pixel_at(old, x, y) == test::Bgr{}) continue;
      EXPECT_LE(std::abs(x - 160), 20);
      EXPECT_LE(std::abs(y - 90), 20);
    }
  }
  EXPECT_EQ(test::pixel_at(young, 160, 90), test::Bgr{});  // hollow centre
}

}  // namespace
}  // namespace vel
