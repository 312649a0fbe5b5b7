// render_scale_test.cpp: the picture at render scales above 1 and drawn by
// several threads: every thread count gives the one-thread picture, every
// pixel, at an even and an uneven split of the rows; the overlays at scale N
// are the scale-1 overlays enlarged N times; scale 1 is the fixed run's
// picture; a frame at scale 6 allocates nothing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gfx/draw2d.h"
#include "gfx/draw_workers.h"
#include "gfx/picture_hash.h"
#include "scene1/city_scene.h"
#include "scene1/help_page.h"
#include "scene1/hud.h"
#include "scene_api/asset_slots.h"
#include "support/allocation_counter.h"
#include "support/city_fixture.h"
#include "title/title_text.h"

namespace vel {
namespace {

constexpr float kStep = 1.0f / 60.0f;

void step_scene(CityScene& scene, uint64_t frame, const Settings& settings, Framebuffer& target) {
  FrameEvents events;
  const float time = static_cast<float>(frame) * kStep;
  scene.step({}, kStep, time, settings, events);
  scene.draw(target);
  scene.end_frame(target, kStep, time, settings, events);
}

// Scale 1 interlaced (the fixed run's look, drawn every frame), 2 and 5
// whole (5: 900 rows, stripes that do not split evenly between the bands).
// The real city drawn at a scale by two threads.
struct TwoThreadRun {
  CityScene scene;
  test::EndedRun ended;
  std::unique_ptr<DrawWorkers> workers = start_draw_workers(2);
  Framebuffer target;
  explicit TwoThreadRun(int32_t scale) : target(framebuffer_at_scale(scale)) {
    test::init_real_scene(scene, ended);
    target.workers = workers.get();
  }
};

TEST(RenderScale, EveryThreadCountDrawsTheOneThreadPicture) {
  for (const int32_t scale : {1, 2, 5}) {
    CityScene scene;
    test::EndedRun ended;
    test::init_real_scene(scene, ended);
    Settings settings;
    settings.interlaced = scale == 1;
    scene.view.render_flags.interlace = settings.interlaced ? 1 : 0;
    std::vector<std::unique_ptr<DrawWorkers>> workers;
    std::vector<Framebuffer> targets;
    for (const int32_t threads : {1, 2, 3, 7}) {
      workers.push_back(start_draw_workers(threads));
      targets.push_back(framebuffer_at_scale(scale));
      targets.back().workers = workers.back().get();
    }
    for (uint64_t frame = 1; frame <= 420; ++frame) {
      const bool checked = frame == 60 || frame == 310 || frame == 361 || frame == 420;
      // Whole pictures need drawing only when compared; the interlaced
      // ones keep the other field of every earlier frame.
      const bool drawn = checked || settings.interlaced;
      if (!drawn) {
        FrameEvents events;
        const float time = static_cast<float>(frame) * kStep;
        scene.step({}, kStep, time, settings, events);
        scene.end_frame(targets[0], kStep, time, settings, events);
        continue;
      }
      FrameEvents events;
      const float time = static_cast<float>(frame) * kStep;
      scene.step({}, kStep, time, settings, events);
      for (Framebuffer& target : targets) scene.draw(target);
      scene.end_frame(targets[0], kStep, time, settings, events);
      if (!checked) continue;
      for (size_t i = 1; i < targets.size(); ++i) {
        ASSERT_EQ(targets[i].colour, targets[0].colour)
            << "scale " << scale << ", " << workers[i]->bands << " threads, frame " << frame;
        ASSERT_EQ(targets[i].depth, targets[0].depth)
            << "scale " << scale << ", " << workers[i]->bands << " threads, frame " << frame;
      }
    }
  }
}

// The fixed run's final picture, drawn at scale 1 by two threads.
TEST(RenderScale, ScaleOneOnTwoThreadsEndsInTheGoldenPicture) {
  TwoThreadRun run(1);
  CityScene& scene = run.scene;
  test::EndedRun& ended = run.ended;
  Framebuffer& target = run.target;
  const Settings settings;
  for (uint64_t frame = 1; frame <= 757 && !ended.ended; ++frame) {
    step_scene(scene, frame, settings, target);
  }
  ASSERT_TRUE(ended.ended);
  EXPECT_EQ(picture_hash(ended.picture), 0x701d420abbed9644ull);  // kDefaultCourseHash
}

// Every overlay primitive, the help page and the title's lettering over a
// patterned picture: at scale 3 each layout pixel is the scale-1 pixel,
// three by three.
TEST(RenderScale, OverlaysAreTheScaleOnePictureEnlarged) {
  CityScene scene;
  test::EndedRun ended;
  test::init_real_scene(scene, ended);
  const Image& font = scene.assets.textures[texture_slot::kSmallFont];
  const auto draw_overlays = [&](Framebuffer& target) {
    // A pattern of the layout pixels, the same at every scale.
    for (size_t i = 0; i < target.colour.size(); ++i) {
      const size_t pixel = i / 3;
      const size_t row = pixel / static_cast<size_t>(target.width) / target.scale;
      const size_t column = pixel % static_cast<size_t>(target.width) / target.scale;
      target.colour[i] = static_cast<uint8_t>(row * 7 + column + i % 3 * 50);
    }
    const RenderFlags flags{.depth_test = 0, .interlace = 0};
    letterbox(4.5f, flags, target);
    draw_rectangle({30, 40}, {90, 70}, {0.2f, 0.9f, 0.4f, 0.5f}, true, flags, target);
    draw_rectangle({100, 40}, {150, 70}, {1.0f, 0.2f, 0.4f, 1.0f}, false, flags, target);
    draw_line({5, 5}, {300, 160}, {1.0f, 1.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 0.6f}, flags,
              target);
    draw_line({200, 10}, {210, 170}, {1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 1.0f, 1.0f, 1.0f}, flags,
              target);
    draw_text(font, "ENERGY 42  CHIPS 3/9", {12, 12}, {0.3f, 1.0f, 1.0f, 1.0f}, flags, target);
    blit_image(font, {.position = {160, 90}, .anchor = {0.5f, 0.5f}, .scale = {0.5f, 1.5f}}, flags,
               target);
    draw_large_text(font, "VELTROCANE", 160, 120, 3, {1.0f, 0.5f, 0.0f, 1.0f}, target);
    draw_help_page(font, Settings{}.controls, target);
  };
  Framebuffer small = framebuffer_at_scale(1);
  Framebuffer large = framebuffer_at_scale(3);
  draw_overlays(small);
  draw_overlays(large);
  for (int32_t row = 0; row < large.height; ++row) {
    for (int32_t column = 0; column < large.width; ++column) {
      const size_t at = 3 * (static_cast<size_t>(row) * large.width + column);
      const size_t from = 3 * (static_cast<size_t>(row / 3) * small.width + column / 3);
      for (size_t c = 0; c < 3; ++c) {
        ASSERT_EQ(large.colour[at + c], small.colour[from + c]) << "pixel " << column << "," << row;
      }
    }
  }
}

TEST(RenderScale, FramesAtScaleSixOnTwoThreadsAllocateNothing) {
  TwoThreadRun run(6);
  CityScene& scene = run.scene;
  Framebuffer& target = run.target;
  const Settings settings;
  uint64_t frame = 0;
  while (frame < 320) step_scene(scene, ++frame, settings, target);
  const size_t before = test::allocation_count();
  while (frame < 360) step_scene(scene, ++frame, settings, target);
  EXPECT_EQ(test::allocation_count() - before, 0u);
}

}  // namespace
}  // namespace vel
