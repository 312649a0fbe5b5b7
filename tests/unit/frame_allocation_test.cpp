// frame_allocation_test.cpp: a frame of the default course allocates
// nothing once the scene is built (floating messages aside, and the
// default course makes none). Counts every operator new in this test
// program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "support/city_fixture.h"

namespace {
// The one counter this test program keeps: operator new is global.
std::atomic<size_t> allocation_count{0};
}  // namespace

void* operator new(size_t size) {
  allocation_count.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// The operator new above allocates with malloc, so free is the matching
// release; GCC cannot see that through the replacement and warns.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop

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
  const size_t before = allocation_count.load();
  ASSERT_GT(before, 0u) << "the counting operator new is not in use";
  while (frame < 700) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  EXPECT_EQ(allocation_count.load() - before, 0u);
  EXPECT_FALSE(ended.ended);
}

TEST(FrameAllocation, TheOpenDeviceMenuAllocatesNothingAfterItsFirstFrame) {
  // Once the player reaches the station the device menu stays open for the
  // rest of the run, so its turning previews are part of every frame.
  CityScene scene;
  test::EndedRun ended;
  test::init_real_scene(scene, ended);
  Framebuffer target = framebuffer_new(320, 180);
  const Settings settings;
  scene.device_menu_open = 1;
  int frame = 0;
  while (frame < 5) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  const size_t before = allocation_count.load();
  while (frame < 100) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  EXPECT_EQ(allocation_count.load() - before, 0u);
}

}  // namespace
}  // namespace vel
