// player_test.cpp: the player body: the fixed-step loop, resting on a
// terrace, sliding along a wall, jumping and braking, walking, and the
// camera's axes and pitch limit.
#include "scene1/player.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gfx/matrix.h"
#include "scene1/city_builder.h"
#include "support/city_fixture.h"

namespace vel {
namespace {

// A scene with the stand-in meshes, a block at the origin (x and z
// -7.5..7.5, y 0..15) and its terrace at y 15, the body at rest far away.
class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scene.assets.meshes = test::stand_in_meshes();
    SceneObject block = make_object(ObjectKind::floor_block, "building 0-0", 1, 3,
                                    {0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f});
    update_object_bounds(block, scene.assets.meshes[mesh_slot::kBlock], true);
    scene.objects.statics.push_back(block);
    SceneObject terrace = make_object(ObjectKind::terrace, "terrace0-0", 0, 6, {0.0f, 15.0f, 0.0f},
                                      {7.5f, 1.0f, 7.5f});
    terrace.rotation = axis_rotation(0, 3.141592f / 2.0f);
    compose_transform(terrace);
    update_object_bounds(terrace, scene.assets.meshes[mesh_slot::kQuad], true);
    scene.objects.statics.push_back(terrace);
    scene.player.body.position = {100.0f, 50.0f, 100.0f};
  }
  CityScene scene;
};

TEST_F(PlayerTest, FrameTimeRunsWholeStepsAndKeepsTheRest) {
  scene.player.body.velocity = {0.0f, 0.0f, 0.0f};
  physics_steps(scene, 0.035f);
  EXPECT_NEAR(scene.player.physics_accumulator, 0.005f, 1e-6f);
  // Three steps of free fall from rest: v = 3 * 0.0981 (drag is tiny).
  EXPECT_NEAR(scene.player.body.velocity.y, -3.0f * 9.81f * 0.01f, 1e-4f);

  // Too short for a step: the time waits in the accumulator.
  const Vec3 before = scene.player.body.position;
  physics_steps(scene, 0.004f);
  EXPECT_EQ(scene.player.body.position, before);
  EXPECT_NEAR(scene.player.physics_accumulator, 0.009f, 1e-6f);
}

TEST_F(PlayerTest, AFrameOfDaysRunsAQuarterSecondAndEnds) {
  // 2^18 s and more is past where a step lessens the accumulator: the
  // frame must still end, after at most a quarter second of steps.
  scene.player.body.velocity = {0.0f, 0.0f, 0.0f};
  physics_steps(scene, 1e30f);
  EXPECT_EQ(scene.player.physics_accumulator, 0.0f);
  EXPECT_NEAR(scene.player.body.velocity.y, -25.0f * 9.81f * 0.01f, 0.05f);
}

TEST_F(PlayerTest, BodyComesToRestOnATerrace) {
  scene.player.body.position = {1.0f, 15.95f, 2.0f};
  scene.player.body.velocity = {3.0f, 0.0f, -2.0f};
  for (int k = 0; k < 100; ++k) physics_step(scene);
  EXPECT_TRUE(scene.player.on_ground);
  EXPECT_EQ(scene.player.body.damping, (Vec3{kGroundDamping, kGroundDamping, kGroundDamping}));
  // No gravity on the ground: the body stays on the plate, one radius up.
  EXPECT_NEAR(scene.player.body.position.y, 16.0f, 1e-3f);
  EXPECT_LT(length(scene.player.body.velocity), 1e-3f);
  EXPECT_EQ(scene.player.body.force, (Vec3{}));
}

TEST_F(PlayerTest, WalkingOffTheEdgeBringsBackGravityAtTheNextStep) {
  scene.player.body.position = {0.0f, 16.0f, 0.0f};
  physics_step(scene);
  ASSERT_TRUE(scene.player.on_ground);
  scene.player.body.position = {9.5f, 16.0f, 0.0f};  // past the edge by more than a radius
  physics_step(scene);
  EXPECT_FALSE(scene.player.on_ground);
  EXPECT_EQ(scene.player.body.damping, (Vec3{}));
  EXPECT_NEAR(scene.player.body.velocity.y, -0.0981f, 1e-5f);
}

TEST_F(PlayerTest, LandingOnATerraceEndsTheFlight) {
  scene.player.airborne = true;
  scene.player.body.position = {0.0f, 16.5f, 0.0f};
  scene.player.body.velocity = {0.0f, -60.0f, 0.0f};
  for (int k = 0; k < 20; ++k) physics_step(scene);
  EXPECT_TRUE(scene.player.on_ground);
  EXPECT_FALSE(scene.player.airborne);
  EXPECT_GT(scene.player.body.position.y, 15.9f);
}

TEST_F(PlayerTest, WallInTheAirRemovesTheVelocityIntoIt) {
  scene.player.airborne = true;
  scene.player.body.position = {8.4f, 7.0f, 0.0f};  // 0.9 from the +x wall
  scene.player.body.velocity = {-5.0f, 0.0f, 3.0f};
  physics_step(scene);
  EXPECT_FALSE(scene.player.on_ground);
  EXPECT_FALSE(scene.player.airborne);  // any solid contact ends the flight
  EXPECT_NEAR(scene.player.body.velocity.x, 0.0f, 1e-5f);
  EXPECT_NEAR(scene.player.body.velocity.z, 3.0f, 0.01f);  // only drag takes from it
  EXPECT_NEAR(scene.player.body.position.x, 8.5f, 1e-4f);  // pushed out to one radius
  EXPECT_GT(scene.player.body.position.z, 0.0f);
}

TEST_F(PlayerTest, CentreOnTheSurfaceLeavesAlongTheNormal) {
  // A centre exactly on a face has no direction away from it; it must not
  // turn the body into NaN.
  scene.player.body.position = {7.5f, 7.0f, 0.0f};
  scene.player.body.velocity = {0.0f, 0.0f, 1.0f};
  physics_step(scene);
  EXPECT_TRUE(std::isfinite(scene.player.body.position.x));
  EXPECT_TRUE(std::isfinite(scene.player.body.velocity.z));
  EXPECT_NEAR(scene.player.body.position.x, 8.5f, 1e-4f);
}

TEST_F(PlayerTest, ObjectsOutOfReachAreNotTested) {
  // Bound sphere plus one radius plus 20: nothing here is near (100, 50, 100).
  scene.player.body.velocity = {0.0f, 0.0f, 0.0f};
  physics_step(scene);
  EXPECT_FALSE(scene.player.on_ground);
  EXPECT_LT(scene.player.body.velocity.y, 0.0f);

  // A bound that is not a number never puts an object in reach, even with
  // the body pressed against its wall.
  scene.objects.statics[0].bound_center.x = std::nanf("");
  scene.player.body.position = {8.4f, 7.0f, 0.0f};
  scene.player.body.velocity = {-5.0f, 0.0f, 0.0f};
  physics_step(scene);
  EXPECT_LT(scene.player.body.velocity.x, -4.9f);
  EXPECT_LT(scene.player.body.position.x, 8.4f);
}

TEST_F(PlayerTest, JumpFromTheGroundAddsTenUnitsPerSecondAndCostsEnergy) {
  scene.player.body.position = {0.0f, 16.0f, 0.0f};
  scene.player.body.velocity = {};
  physics_step(scene);
  ASSERT_TRUE(scene.player.on_ground);
  scene.economy.energy = -0.5f;  // costs its energy even when there is none left
  scene.clock.elapsed = 7.5f;
  player_jump(scene.player, scene.economy, scene.clock.elapsed);
  EXPECT_EQ(scene.player.body.force.y, 1000.0f);
  EXPECT_FLOAT_EQ(scene.economy.energy, -0.6f);
  EXPECT_TRUE(scene.player.airborne);
  EXPECT_EQ(scene.player.takeoff_time, 7.5f);
  physics_step(scene);
  EXPECT_NEAR(scene.player.body.velocity.y, 10.0f, 1e-4f);
}

TEST_F(PlayerTest, RunningJumpPushesAlongTheMotionAtMostByTheJump) {
  scene.player.on_ground = true;
  scene.economy.levels.jump = 9;  // 1000 + 6000
  scene.player.body.velocity = {2.0f, 0.0f, 0.0f};
  player_jump(scene.player, scene.economy, scene.clock.elapsed);
  EXPECT_FLOAT_EQ(scene.player.body.force.y, 7000.0f);
  EXPECT_FLOAT_EQ(scene.player.body.force.x, 60.0f);  // 30 |v|
  scene.player.body.force = {};
  scene.player.body.velocity = {0.0f, 0.0f, 1000.0f};
  player_jump(scene.player, scene.economy, scene.clock.elapsed);
  EXPECT_FLOAT_EQ(scene.player.body.force.z, 7000.0f);
}

TEST_F(PlayerTest, AirBrakeWorksOnlyInTheAirAndCostsNothing) {
  scene.player.on_ground = false;
  scene.player.body.velocity = {4.0f, -3.0f, -200.0f};
  player_jump(scene.player, scene.economy, scene.clock.elapsed);
  EXPECT_EQ(scene.player.body.force.x, -40.0f);
  EXPECT_EQ(scene.player.body.force.y, 0.0f);
  EXPECT_EQ(scene.player.body.force.z, 1000.0f);  // only the upper bound applies
  EXPECT_EQ(scene.economy.energy, 1.0f);
  EXPECT_FALSE(scene.player.airborne);
}

TEST_F(PlayerTest, WalkingPushesHorizontallyOnlyOnTheGround) {
  float pitch = -0.4f;
  camera_look(scene.view.camera, 0.0f, pitch, {});
  const CameraAxes axes = camera_axes(scene.view.camera);
  scene.player.on_ground = false;
  player_drive(scene.player, scene.economy.levels.drive, kWalkForward, axes);
  EXPECT_EQ(scene.player.body.force, (Vec3{}));

  scene.player.on_ground = true;
  player_drive(scene.player, scene.economy.levels.drive, kWalkForward, axes);
  // Looking along -z (and up): the horizontal part, normalised, times 100.
  EXPECT_NEAR(scene.player.body.force.z, -100.0f, 1e-3f);
  EXPECT_NEAR(scene.player.body.force.x, 0.0f, 1e-3f);
  EXPECT_EQ(scene.player.body.force.y, 0.0f);

  scene.player.body.force = {};
  scene.economy.levels.drive = 9;
  player_drive(scene.player, scene.economy.levels.drive, kWalkForward | kWalkRight, axes);
  EXPECT_NEAR(length(scene.player.body.force), 400.0f, 1e-2f);
  EXPECT_GT(scene.player.body.force.x, 0.0f);

  scene.player.body.force = {};
  player_drive(scene.player, scene.economy.levels.drive, kWalkForward | kWalkBack,
               axes);  // cancel out
  EXPECT_EQ(scene.player.body.force, (Vec3{}));
}

TEST_F(PlayerTest, VerticalMovesFollowTheViewHeight) {
  float pitch = -0.4f;  // looking up
  camera_look(scene.view.camera, 0.0f, pitch, {});
  const Vec3 forward = camera_axes(scene.view.camera).forward;
  ASSERT_GT(forward.y, 0.3f);
  const float y = scene.player.body.position.y;
  player_vertical(scene.player.body, kMoveWithView, forward, 0.5f);
  EXPECT_NEAR(scene.player.body.position.y, y + 5.0f * forward.y, 1e-4f);
  player_vertical(scene.player.body, kMoveWithView | kMoveAgainstView, forward, 0.5f);
  EXPECT_NEAR(scene.player.body.position.y, y + 5.0f * forward.y, 1e-4f);
}

TEST(CameraAxes, FollowYawAndPitch) {
  Camera camera;
  float pitch = 0.0f;
  camera_look(camera, 0.0f, pitch, {});
  CameraAxes axes = camera_axes(camera);
  EXPECT_NEAR(axes.forward.z, -1.0f, 1e-6f);
  EXPECT_NEAR(axes.right.x, 1.0f, 1e-6f);

  // The start view: yaw 2.4347337 turns towards the city (+x, +z), pitch
  // -0.4 looks up.
  pitch = -0.4f;
  camera_look(camera, 2.4347337f, pitch, {});
  axes = camera_axes(camera);
  EXPECT_NEAR(length(axes.forward), 1.0f, 1e-6f);
  EXPECT_GT(axes.forward.x, 0.5f);
  EXPECT_GT(axes.forward.z, 0.5f);
  EXPECT_NEAR(axes.forward.y, std::sin(0.4f), 1e-5f);
}

TEST(CameraUpdate, PitchIsHeldAtEightyNineDegreesAndLookNeedsControl) {
  CityScene scene;
  scene.player.body.position = {1.0f, 2.0f, 3.0f};
  camera_update(scene.view, scene.player, {100.0f, 1.0e6f}, 1.0f);
  EXPECT_EQ(scene.view.yaw, 0.0f);  // no control yet: the look is ignored
  EXPECT_EQ(scene.view.camera.eye, (Vec3{1.0f, 2.0f, 3.0f}));

  scene.player.control_enabled = true;
  camera_update(scene.view, scene.player, {2.0f, 1.0e6f}, 0.5f);
  EXPECT_EQ(scene.view.pitch, 1.5533427f);
  EXPECT_EQ(scene.view.yaw, 0.5f);
  camera_update(scene.view, scene.player, {0.0f, -1.0e9f}, 1.0f);
  EXPECT_EQ(scene.view.pitch, -1.5533427f);
}

TEST(PhysicsFromTheStart, BodyRisesAndFallsBackUnderGravityAndDrag) {
  CityScene scene;
  test::build_stand_in_scene(scene);
  const Vec3 start = scene.player.body.position;
  float highest = start.y;
  for (int k = 0; k < 300; ++k) {
    physics_steps(scene, 0.01f);
    highest = std::max(highest, scene.player.body.position.y);
  }
  // v0 = 25 up would climb 31.9 in a vacuum; the drag (0.015 v^2, about
  // gravity's size at that speed) holds it to about 22.
  EXPECT_GT(highest, 20.0f);
  EXPECT_LT(highest, 25.0f);
  EXPECT_LT(scene.player.body.velocity.y, 0.0f);
  EXPECT_GT(scene.player.body.position.z, start.z);
}

}  // namespace
}  // namespace vel
