// city_scene_test.cpp: Scene::init with the real assets (slots, numbers,
// repeatability) and the frame driver: pause and letterbox, the world's
// generator draws, the readout counter, the timed ending, and the golden
// picture of the whole default course.
#include "scene1/city_scene.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "gfx/matrix.h"
#include "gfx/picture_hash.h"
#include "scene1/panel.h"
#include "base/rng.h"
#include "support/city_fixture.h"
#include "support/picture.h"
#include "support/pixels.h"

namespace vel {
namespace {

constexpr float kStep = 1.0f / 60.0f;

bool same_bits(const Mat4& a, const Mat4& b) {
  return std::memcmp(a.m, b.m, sizeof a.m) == 0;
}

void expect_same_objects(const std::vector<SceneObject>& a, const std::vector<SceneObject>& b,
                         const char* list) {
  ASSERT_EQ(a.size(), b.size()) << list;
  for (size_t k = 0; k < a.size(); ++k) {
    SCOPED_TRACE(std::string(list) + " " + a[k].name);
    EXPECT_EQ(a[k].name, b[k].name);
    EXPECT_EQ(a[k].mesh, b[k].mesh);
    EXPECT_EQ(a[k].texture, b[k].texture);
    EXPECT_TRUE(same_bits(a[k].rotation, b[k].rotation));
    EXPECT_TRUE(same_bits(a[k].transform, b[k].transform));
    EXPECT_EQ(a[k].uv_offset, b[k].uv_offset);
    EXPECT_EQ(a[k].uv_scale, b[k].uv_scale);
    EXPECT_EQ(a[k].scale, b[k].scale);
    EXPECT_EQ(a[k].bound_center, b[k].bound_center);
    EXPECT_EQ(a[k].bound_radius, b[k].bound_radius);
    EXPECT_EQ(a[k].visible, b[k].visible);
    EXPECT_EQ(a[k].solid, b[k].solid);
  }
}

void expect_same_scene(const CityScene& a, const CityScene& b) {
  expect_same_objects(a.objects.statics, b.objects.statics, "statics");
  expect_same_objects(a.objects.cars, b.objects.cars, "cars");
  expect_same_objects(a.objects.drones, b.objects.drones, "drones");
  expect_same_objects(a.objects.chips, b.objects.chips, "chips");
  expect_same_objects(a.objects.chip_indicators, b.objects.chip_indicators, "chip_indicators");
  expect_same_objects(a.objects.batteries, b.objects.batteries, "batteries");
  expect_same_objects(a.objects.battery_indicators, b.objects.battery_indicators,
                      "battery_indicators");
  expect_same_objects(a.objects.fans, b.objects.fans, "fans");
  expect_same_objects(a.objects.markers, b.objects.markers, "markers");
  ASSERT_EQ(a.weather.rain.size(), b.weather.rain.size());
  for (size_t k = 0; k < a.weather.rain.size(); ++k)
    EXPECT_EQ(a.weather.rain[k], b.weather.rain[k]);
  EXPECT_EQ(a.rng_state, b.rng_state);
  EXPECT_EQ(a.player.body.position, b.player.body.position);
  EXPECT_EQ(a.player.body.velocity, b.player.body.velocity);
  EXPECT_EQ(a.city.station_position, b.city.station_position);
  EXPECT_EQ(a.view.yaw, b.view.yaw);
  EXPECT_EQ(a.view.pitch, b.view.pitch);
  EXPECT_EQ(a.view.distance, b.view.distance);
  EXPECT_TRUE(same_bits(a.view.camera.projection, b.view.camera.projection));
  EXPECT_EQ(a.clock.elapsed, b.clock.elapsed);
  EXPECT_EQ(a.player.physics_accumulator, b.player.physics_accumulator);
  EXPECT_EQ(a.weather.lightning_wait, b.weather.lightning_wait);
  EXPECT_EQ(a.weather.lightning_flash, b.weather.lightning_flash);
  EXPECT_EQ(a.weather.storm_timer, b.weather.storm_timer);
  EXPECT_EQ(a.clock.paused, b.clock.paused);
  EXPECT_EQ(a.player.control_enabled, b.player.control_enabled);
  EXPECT_EQ(a.economy.energy, b.economy.energy);
  EXPECT_EQ(a.hud.fps_text, b.hud.fps_text);
  EXPECT_EQ(a.hud.messages.size(), b.hud.messages.size());
  EXPECT_EQ(a.grapple.drone_bursts.size(), b.grapple.drone_bursts.size());
  EXPECT_EQ(a.assets.textures.size(), b.assets.textures.size());
  EXPECT_EQ(a.assets.meshes.size(), b.assets.meshes.size());
}

// ---- The frame driver, on the stand-in city (no files needed).

class FrameDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::build_stand_in_scene(scene);
    scene.run_end = [this](const Framebuffer&) { ++endings; };
    target = framebuffer_new(320, 180);
  }
  FrameResult frame(float time, float dt = kStep, InputState input = {}) {
    return scene.update(input, target, dt, time, settings);
  }
  CityScene scene;
  Framebuffer target;
  Settings settings;
  int endings = 0;
};

TEST_F(FrameDriverTest, OpeningIsPausedBehindTheLetterboxThenControlStarts) {
  const Vec3 car_before = translation_of(scene.objects.cars[0].transform);
  const Vec3 body_before = scene.player.body.position;
  frame(kStep);
  // Paused: the world stands still, but the body already rises.
  EXPECT_EQ(translation_of(scene.objects.cars[0].transform), car_before);
  EXPECT_NE(scene.player.body.position, body_before);
  EXPECT_TRUE(scene.clock.paused);
  EXPECT_FALSE(scene.player.control_enabled);

  // Up at roof height the sky is a gradient, not black: the bars show.
  scene.view.render_flags.interlace = 0;
  scene.player.body.position.y = 20.0f;
  frame(4.5f);
  EXPECT_NE(test::pixel_at(target, 10, 100), (test::Bgr{0, 0, 0}));
  EXPECT_EQ(test::pixel_at(target, 10, 170), (test::Bgr{0, 0, 0}));
  EXPECT_EQ(test::pixel_at(target, 10, 5), (test::Bgr{0, 0, 0}));
  EXPECT_TRUE(scene.clock.paused);

  frame(5.0f);
  EXPECT_FALSE(scene.clock.paused);
  EXPECT_TRUE(scene.player.control_enabled);
  frame(5.0f + kStep);
  EXPECT_NE(translation_of(scene.objects.cars[0].transform), car_before);
}

TEST_F(FrameDriverTest, AHeldKeyActsOnceAndOnlyWithControl) {
  // Still in the opening: a jump from the roof does nothing yet.
  int k = 1;
  for (; k <= 240; ++k) frame(static_cast<float>(k) * kStep);
  ASSERT_TRUE(scene.player.on_ground);
  frame(static_cast<float>(k++) * kStep, kStep, InputState{0x40, {}});
  EXPECT_EQ(scene.economy.energy, 1.0f);
  for (; k <= 310; ++k) frame(static_cast<float>(k) * kStep);
  ASSERT_TRUE(scene.player.control_enabled);
  ASSERT_TRUE(scene.player.on_ground);

  // Jump held over two frames: one jump, one charge.
  frame(static_cast<float>(k++) * kStep, kStep, InputState{0x40, {}});
  frame(static_cast<float>(k++) * kStep, kStep, InputState{0x40, {}});
  EXPECT_FLOAT_EQ(scene.economy.energy, 0.9f);
  EXPECT_GT(scene.player.body.velocity.y, 9.0f);  // 10 from one jump, less a little gravity

  // The panel toggle held over two frames opens the panel and leaves it open.
  frame(static_cast<float>(k++) * kStep, kStep, InputState{kPanelToggleBit, {}});
  frame(static_cast<float>(k++) * kStep, kStep, InputState{kPanelToggleBit, {}});
  EXPECT_TRUE(scene.menus.panel_open);
  frame(static_cast<float>(k++) * kStep);
  frame(static_cast<float>(k++) * kStep, kStep, InputState{kPanelToggleBit, {}});
  EXPECT_FALSE(scene.menus.panel_open);
}

TEST_F(FrameDriverTest, TheFrameThePanelOpensIsDrawnWholeThenInterlaceReturns) {
  ASSERT_TRUE(scene.view.render_flags.interlace);
  float time = 0.0f;
  for (int k = 1; k <= 320; ++k) frame(time = static_cast<float>(k) * kStep);
  // A marker colour that no drawing makes: with only one field drawn, half
  // the rows would keep it and end up in the panel's background.
  for (size_t i = 0; i < target.colour.size(); i += 3) {
    target.colour[i] = 1;
    target.colour[i + 1] = 2;
    target.colour[i + 2] = 3;
  }
  frame(time += kStep, kStep, InputState{kPanelToggleBit, {}});
  ASSERT_TRUE(scene.menus.panel_open);
  EXPECT_TRUE(scene.view.render_flags.interlace);
  int32_t marked_rows = 0;
  for (int32_t y = 0; y < target.height; ++y) {
    if (test::pixel_at(target, 100, y) == (test::Bgr{1, 2, 3})) ++marked_rows;
  }
  EXPECT_EQ(marked_rows, 0);
  ASSERT_EQ(scene.picture.panel_background.pixels.size(), 320u * 180u);
}

TEST_F(FrameDriverTest, ViewProjectionIsRebuiltEvenUnderThePanel) {
  float time = 0.0f;
  for (int k = 1; k <= 320; ++k) frame(time = static_cast<float>(k) * kStep);
  frame(time += kStep, kStep, InputState{kPanelToggleBit, {}});
  ASSERT_TRUE(scene.menus.panel_open);
  set_translation(scene.view.camera.view, {1.0f, 2.0f, 3.0f});
  frame(time += kStep);
  const Mat4 expected = mat4_mul(scene.view.camera.projection, scene.view.camera.view);
  EXPECT_TRUE(same_bits(scene.view.camera.view_projection, expected));
}

TEST_F(FrameDriverTest, EachFrameDrawsOncePerDropAndTwiceForTheLightning) {
  int32_t expected = scene.rng_state;
  frame(kStep);  // paused: the step is 0, the draws go on
  for (int k = 0; k < 100 + 2; ++k) rng_next(expected);
  EXPECT_EQ(scene.rng_state, expected);
}

TEST_F(FrameDriverTest, ReadoutShowsLolUntilMoreThanASecondIsCounted) {
  for (int k = 1; k <= 4; ++k) frame(0.25f * static_cast<float>(k), 0.25f);
  EXPECT_EQ(scene.hud.fps_text, "LOL");  // exactly 1.0 s: not yet
  frame(1.25f, 0.25f);
  EXPECT_EQ(scene.hud.fps_text, "4");
  EXPECT_EQ(scene.hud.fps_frames, 0);
  EXPECT_EQ(scene.hud.fps_time, 0.0f);
}

TEST_F(FrameDriverTest, FieldsAlternateAndSettingsAreCopied) {
  settings.show_fps = 3;
  const uint8_t field = scene.view.render_flags.odd_field;
  frame(kStep);
  EXPECT_NE(scene.view.render_flags.odd_field, field);
  EXPECT_EQ(scene.settings_copy.show_fps, 3);
  frame(2.0f * kStep);
  EXPECT_EQ(scene.view.render_flags.odd_field, field);
}

TEST_F(FrameDriverTest, ResultKeepsTheSceneAndCapturesTheMouse) {
  const FrameResult result = frame(kStep);
  EXPECT_FALSE(result.next_scene.has_value());
  EXPECT_TRUE(result.relative_mouse);
  scene.switch_request.requested = true;
  scene.switch_request.target = 0;
  EXPECT_EQ(frame(2.0f * kStep).next_scene, 0);
}

TEST_F(FrameDriverTest, RunEndsOnlyOnceElapsedPassesTwelvePointSix) {
  scene.clock.start_time = 1.0f;
  frame(1.0f + 12.6f);
  EXPECT_EQ(endings, 0);
  // 756 / 60 rounds to exactly 12.6f: the ending comes a frame later.
  scene.clock.start_time = 0.0f;
  frame(756.0f * kStep);
  EXPECT_EQ(endings, 0);
  frame(757.0f * kStep);
  EXPECT_EQ(endings, 1);
  // The seam lets frames go on past the end.
  frame(758.0f * kStep);
  EXPECT_EQ(endings, 2);
}

TEST_F(FrameDriverTest, FramesAfterTheStartDoNotGrowTheLists) {
  for (int k = 1; k <= 30; ++k) frame(5.0f + static_cast<float>(k) * kStep);
  EXPECT_EQ(scene.weather.rain.size(), 100u);
  EXPECT_EQ(scene.objects.cars.size(), 18u);
  EXPECT_EQ(scene.objects.drones.size(), 50u);
  EXPECT_TRUE(scene.hud.messages.empty());
  EXPECT_GE(scene.hud.messages.capacity(), 16u);
}

TEST(StandInScene, BuildingTwiceGivesTheSameRecord) {
  CityScene a;
  CityScene b;
  test::build_stand_in_scene(a);
  test::build_stand_in_scene(b);
  expect_same_scene(a, b);
}

// ---- Scene::init with the real assets (working directory: the repository).

TEST(CitySceneInit, FillsEverySlotAndStartsTheKnownCity) {
  CityScene scene;
  test::EndedRun ended;
  test::init_real_scene(scene, ended);
  ASSERT_EQ(scene.assets.textures.size(), 49u);
  ASSERT_EQ(scene.assets.meshes.size(), 23u);
  EXPECT_EQ(scene.assets.textures[16].path, "assets/building_3_32.tga");
  EXPECT_EQ(scene.assets.textures[3].path, "assets/building_3.tga");
  EXPECT_EQ(scene.assets.textures[48].path, "assets/crosshair2_tl.tga");
  EXPECT_EQ(scene.assets.meshes[10].path, "assets/drone/drone.obj");
  EXPECT_EQ(scene.assets.meshes[22].path, "assets/quad.obj");

  EXPECT_EQ(scene.rng_state, -1154326993);
  EXPECT_EQ(scene.city.style, CityStyle::storm);
  EXPECT_EQ(scene.weather.rain.size(), 100u);
  EXPECT_EQ(scene.view.distance, 90.0f);
  EXPECT_EQ(scene.view.lighting.fog_start, 50.0f);
  EXPECT_EQ(scene.view.lighting.fog_end, 70.0f);
  EXPECT_FALSE(scene.view.lighting.lighting_enabled);
  EXPECT_TRUE(scene.view.lighting.fog_enabled);
  EXPECT_EQ(scene.hud.fps_text, "LOL");
  EXPECT_EQ(scene.view.yaw, 2.4347337f);
  EXPECT_EQ(scene.view.pitch, -0.4f);
  EXPECT_EQ(scene.player.body.velocity, (Vec3{1.25f, 25.0f, 4.5f}));
  EXPECT_NEAR(scene.player.body.position.x, -0.7229f, 1e-3f);
  EXPECT_EQ(scene.player.body.position.y, 0.0f);
  EXPECT_NEAR(scene.player.body.position.z, -10.5513f, 1e-3f);
  EXPECT_EQ(scene.view.camera.projection.at(3, 2), -1.0f);
  EXPECT_EQ(scene.city.max_chips, 40);
  EXPECT_EQ(scene.grapple.anchor_car, -1);
  EXPECT_TRUE(scene.view.render_flags.interlace);
}

TEST(CitySceneInit, ASecondInitRebuildsTheSameRecord) {
  CityScene first;
  test::EndedRun ended;
  test::init_real_scene(first, ended);

  CityScene second;
  test::init_real_scene(second, ended);
  Framebuffer target = framebuffer_new(320, 180);
  for (int k = 1; k <= 400; ++k) {
    second.update({}, target, kStep, static_cast<float>(k) * kStep, Settings{});
  }
  second.init(Settings{}, 0.0f);
  expect_same_scene(first, second);
  EXPECT_FALSE(ended.ended);
  // The ending installed before survives the rebuild.
  second.clock.elapsed = 0.0f;
  second.update({}, target, kStep, 13.0f, Settings{});
  EXPECT_TRUE(ended.ended);
}

TEST(CitySceneInit, InterlaceFollowsTheSettings) {
  CityScene scene;
  Settings settings;
  settings.interlaced = false;
  scene.run_end = [](const Framebuffer&) {};
  scene.init(settings, 2.5f);
  EXPECT_FALSE(scene.view.render_flags.interlace);
  EXPECT_EQ(scene.clock.start_time, 2.5f);
}

// The whole default course at 1/60 s: the run ends in frame 757 and its
// picture is pinned by hash. A different picture is written to
// tests/golden/default_course.actual.ppm; when it changed on purpose, look
// at it and update the hash.
constexpr uint64_t kDefaultCourseHash = 0x701d420abbed9644ull;

TEST(DefaultCourse, EndsInFrame757WithTheGoldenPicture) {
  CityScene scene;
  test::EndedRun ended;
  test::init_real_scene(scene, ended);
  Framebuffer target = framebuffer_new(320, 180);
  const Settings settings;
  int frame = 0;
  while (!ended.ended && frame < 2000) {
    ++frame;
    scene.update({}, target, kStep, static_cast<float>(frame) * kStep, settings);
  }
  EXPECT_EQ(frame, 757);
  ASSERT_EQ(ended.picture.size(), 172800u);
  const uint64_t hash = picture_hash(ended.picture);
  if (hash != kDefaultCourseHash) {
    Framebuffer ended_frame = framebuffer_new(kPictureWidth, kPictureHeight);
    ended_frame.colour = ended.picture;
    const std::string path = test::actual_path(test::golden_path("default_course.ppm"));
    test::write_ppm(path, test::picture_of(ended_frame));
    ADD_FAILURE() << std::hex << "actual hash 0x" << hash << ", picture written to " << path;
  }
}

}  // namespace
}  // namespace vel
