// frame_allocation_test.cpp: a frame of the default course allocates
// nothing once the scene is built (floating messages aside, and the
// default course makes none). Counts every operator new of the
// test program (support/allocation_counter).
#include <gtest/gtest.h>

#include "scene1/player.h"
#include "support/allocation_counter.h"
#include "support/city_fixture.h"

namespace vel {
namespace {

constexpr float kStep = 1.0f / 60.0f;

TEST(FrameAllocation, SteadyFramesOfTheDefaultCourseAllocateNothing) {
  CityScene scene;
  test::EndedRun ended;
  test::init_real_scene(scene, ended);
  Framebuffer target = framebuffer_new(320, 180);
  const Settings settings;
  // Through the opening, the letterbox and the landing on the roof.
  int frame = 0;
  while (frame < 360) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  const size_t before = test::allocation_count();
  ASSERT_GT(before, 0u) << "the counting operator new is not in use";
  while (frame < 700) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  EXPECT_EQ(test::allocation_count() - before, 0u);
  EXPECT_FALSE(ended.ended);
}

TEST(FrameAllocation, ThePlayRulesPickupsBeamsAndBurstsAllocateNothing) {
  CityScene scene;
  scene.rules = kPlayRules;
  test::EndedRun ended;
  test::init_real_scene(scene, ended);
  ASSERT_FALSE(scene.assets.play.meshes.empty()) << "the play art is not loaded";
  Framebuffer target = framebuffer_new(320, 180);
  const Settings settings;
  int frame = 0;
  while (frame < 360) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  // A burst in front of the eye, as a taken pickup leaves it, drawn until
  // it ages out.
  const CameraAxes axes = camera_axes(scene.view.camera);
  scene.objects.pickup_bursts.push_back(
      {scene.view.camera.eye + axes.forward * 3.0f, ObjectKind::battery, 0.0f});
  const size_t before = test::allocation_count();
  while (frame < 400) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  EXPECT_EQ(test::allocation_count() - before, 0u);
  EXPECT_TRUE(scene.objects.pickup_bursts.empty());
}

TEST(FrameAllocation, TheOpenDeviceMenuAllocatesNothingAfterItsFirstFrame) {
  // Once the player reaches the station the device menu stays open for the
  // rest of the run, so its turning previews are part of every frame.
  CityScene scene;
  test::EndedRun ended;
  test::init_real_scene(scene, ended);
  Framebuffer target = framebuffer_new(320, 180);
  const Settings settings;
  scene.menus.device_menu_open = true;
  int frame = 0;
  while (frame < 5) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  const size_t before = test::allocation_count();
  while (frame < 100) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  EXPECT_EQ(test::allocation_count() - before, 0u);
}

}  // namespace
}  // namespace vel
