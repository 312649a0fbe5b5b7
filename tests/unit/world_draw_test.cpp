// world_draw_test.cpp: the world pass and the weather: the sky choice, the
// far-floor texture and the distance cull, the rain streaks and their
// movement, the lightning cycle and the storm timer.
#include "scene1/world_draw.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/rng.h"
#include "gfx/camera.h"
#include "scene1/city_builder.h"
#include "support/city_fixture.h"
#include "support/pixels.h"

namespace vel {
namespace {

using test::Bgr;
using test::kBlue;
using test::kGreen;
using test::kRed;
using test::pixel_at;

// Style 2, stand-in assets, nothing in the lists: each test adds what it
// looks at. The player stands at `eye`, looking along -z.
class WorldDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::build_stand_in_scene(scene);
    scene.objects.statics.clear();
    scene.objects.cars.clear();
    scene.objects.drones.clear();
    scene.weather.rain.clear();
    scene.view.lighting.fog_enabled = false;
    scene.view.render_flags.interlace = 0;
    scene.weather.lightning_wait = 100.0f;  // no flash unless a test wants one
    target = framebuffer_new(320, 180);
  }

  void look_from(Vec3 eye, float pitch) {
    scene.player.body.position = eye;
    scene.view.pitch = pitch;
    camera_look(scene.view.camera, 0.0f, scene.view.pitch, eye);
  }

  // One frame's weather step and then its world pass, as the city runs
  // them.
  void step_and_draw(float step_dt) {
    events.clear();
    advance_lightning(scene, step_dt, events);
    draw_world(scene, scene.view.render_flags, target);
  }

  CityScene scene;
  Framebuffer target;
  FrameEvents events;
};

TEST_F(WorldDrawTest, SkyIsAFlatFogClearUpToTenAndAGradientAbove) {
  look_from({0.0f, 10.0f, 0.0f}, 0.0f);
  step_and_draw(0.0f);
  EXPECT_EQ(pixel_at(target, 0, 179), (Bgr{0, 0, 0}));
  EXPECT_EQ(test::depth_at(target, 5, 5), kDepthEmpty);

  look_from({0.0f, 10.001f, 0.0f}, 0.0f);
  step_and_draw(0.0f);
  // Top row: the high colour at t ~ 0, (0.1, 0.05, 0.12).
  EXPECT_EQ(pixel_at(target, 0, 179), (Bgr{30, 12, 25}));
}

TEST_F(WorldDrawTest, SkyHighColourReachesItsTopAtTheRoofs) {
  const Rgb high = sky_high_colour(CityStyle::storm, 1.0f);
  EXPECT_FLOAT_EQ(high.r, 0.15f);
  EXPECT_FLOAT_EQ(high.g, 0.1f);
  EXPECT_FLOAT_EQ(high.b, 0.44f);
  EXPECT_EQ(rain_grey(CityStyle::storm), 0.6f);
  EXPECT_EQ(rain_grey(CityStyle::clear_night), 0.0f);
}

// One block straight ahead at `distance`; near floors red, distant floors
// green, bases blue. Returns the centre pixel.
class FloorTextureTest : public WorldDrawTest {
 protected:
  Bgr centre_pixel_of(ObjectKind kind, const char* name, uint64_t texture, float distance) {
    scene.assets.textures[texture_slot::kFloor] = test::solid_image(4, 4, kRed);
    scene.assets.textures[texture_slot::kDistantFloor] = test::solid_image(4, 4, kGreen);
    scene.assets.textures[texture_slot::kBase] = test::solid_image(4, 4, kBlue);
    scene.view.distance = 150.0f;
    scene.view.lighting.fog_enabled = false;  // the storm turns it back on every frame
    scene.view.camera.projection = perspective(0.01f, far_plane);
    SceneObject block =
        make_object(kind, name, 1, texture, {0.0f, 20.0f, -distance}, {1.0f, 1.0f, 1.0f});
    update_object_bounds(block, scene.assets.meshes[mesh_slot::kBlock], true);
    scene.objects.statics = {block};
    look_from({0.0f, 20.0f, 0.0f}, -0.05f);  // a little up, onto the block's face
    step_and_draw(0.0f);
    return pixel_at(target, 160, 90);
  }
  float far_plane = 150.0f;
};

TEST_F(FloorTextureTest, FloorsFromOneHundredUseTheDistantTexture) {
  EXPECT_EQ(centre_pixel_of(ObjectKind::floor_block, "building 0-0", 3, 100.0f), (Bgr{0, 255, 0}));
  EXPECT_EQ(centre_pixel_of(ObjectKind::floor_block, "building 0-0", 3, 99.9f), (Bgr{0, 0, 255}));
  // Bases keep their own texture at any distance.
  EXPECT_EQ(centre_pixel_of(ObjectKind::base_block, "base 0-0", 9, 120.0f), (Bgr{255, 0, 0}));
}

TEST_F(FloorTextureTest, ObjectsBeyondViewAndRadiusAreNotDrawn) {
  far_plane = 300.0f;  // only the cull can hide the block
  // The stand-in block's radius is about 12.99: drawn up to 162.99.
  EXPECT_EQ(centre_pixel_of(ObjectKind::base_block, "base 0-0", 9, 160.0f), (Bgr{255, 0, 0}));
  EXPECT_NE(centre_pixel_of(ObjectKind::base_block, "base 0-0", 9, 165.0f),
            (Bgr{255, 0, 0}));  // the sky shows
}

TEST_F(FloorTextureTest, InvisibleStaticsAndTheCityBelowGroundAreSkipped) {
  scene.assets.textures[texture_slot::kBase] = test::solid_image(4, 4, kBlue);
  SceneObject block = make_object(ObjectKind::base_block, "base 0-0", 1, 9, {0.0f, -10.0f, -30.0f},
                                  {1.0f, 1.0f, 1.0f});
  update_object_bounds(block, scene.assets.meshes[mesh_slot::kBlock], true);
  block.visible = false;
  scene.objects.statics = {block};
  look_from({0.0f, 1.0f, 0.0f}, 0.0f);
  step_and_draw(0.0f);
  EXPECT_EQ(pixel_at(target, 160, 90), (Bgr{0, 0, 0}));

  scene.objects.statics[0].visible = true;
  look_from({0.0f, 0.0f, 0.0f}, 0.0f);  // at ground level: no city at all
  step_and_draw(0.0f);
  EXPECT_EQ(pixel_at(target, 160, 90), (Bgr{0, 0, 0}));

  // ...but vehicles still are.
  scene.objects.cars = {scene.objects.statics[0]};
  step_and_draw(0.0f);
  EXPECT_EQ(pixel_at(target, 160, 90), (Bgr{255, 0, 0}));
}

TEST_F(WorldDrawTest, RainDropIsAThreePixelStreakHangingDown) {
  look_from({0.0f, 5.0f, 0.0f}, 0.0f);
  scene.weather.rain = {{0.5f, 0.5f, 1.0f}, {0.25f, 1.0f, 1.0f}, {0.75f, 0.5f, 0.0f}};
  step_and_draw(0.0f);
  // Weight 1: grey 0.6 fully opaque.
  EXPECT_EQ(pixel_at(target, 160, 90), (Bgr{153, 153, 153}));
  EXPECT_EQ(pixel_at(target, 160, 89), (Bgr{153, 153, 153}));
  EXPECT_EQ(pixel_at(target, 160, 88), (Bgr{153, 153, 153}));
  EXPECT_EQ(pixel_at(target, 160, 87), (Bgr{0, 0, 0}));
  EXPECT_EQ(pixel_at(target, 160, 91), (Bgr{0, 0, 0}));
  // A fresh drop (y = 1) starts off the top: only two pixels land.
  EXPECT_EQ(pixel_at(target, 80, 179), (Bgr{153, 153, 153}));
  EXPECT_EQ(pixel_at(target, 80, 178), (Bgr{153, 153, 153}));
  EXPECT_EQ(pixel_at(target, 80, 177), (Bgr{0, 0, 0}));
  // Weight 0 is invisible.
  EXPECT_EQ(pixel_at(target, 240, 90), (Bgr{0, 0, 0}));
}

TEST_F(WorldDrawTest, LightningWaitsFlashesAndRearms) {
  look_from({0.0f, 5.0f, 0.0f}, 0.0f);
  scene.weather.rain = {{0.5f, 0.5f, 1.0f}};  // one streak to see the flash by
  scene.weather.lightning_wait = 1.0f;
  scene.weather.lightning_flash = 0.1f;
  scene.view.distance = 90.0f;
  int32_t expected_rng = scene.rng_state;
  const float step = 0.0625f;  // exact in binary: the wait hits 0 exactly

  for (int frame = 1; frame <= 16; ++frame) {
    step_and_draw(step);
    rng_next(expected_rng);
    rng_next(expected_rng);
    EXPECT_EQ(scene.rng_state, expected_rng) << "two draws every frame";
    EXPECT_TRUE(scene.view.lighting.fog_enabled);
    EXPECT_EQ(scene.view.distance, 80.0f);
    EXPECT_EQ(pixel_at(target, 160, 90), (Bgr{153, 153, 153}));
  }
  EXPECT_EQ(scene.weather.lightning_wait, 0.0f);

  // Frame 17: the wait is below 0 and the flash has 0.0375 s left.
  step_and_draw(step);
  EXPECT_TRUE(events.has(EventKind::flash_began));
  EXPECT_FALSE(scene.view.lighting.fog_enabled);
  EXPECT_EQ(scene.view.distance, 150.0f);
  EXPECT_EQ(pixel_at(target, 160, 90), (Bgr{255, 255, 255}));  // doubled, clamped
  EXPECT_EQ(pixel_at(target, 160, 87), (Bgr{0, 0, 0}));

  // Frame 18: the flash is spent; a new wait and flash are drawn.
  int32_t rearm = scene.rng_state;
  const int32_t r1 = rng_next(rearm);
  const int32_t r2 = rng_next(rearm);
  step_and_draw(step);
  EXPECT_TRUE(scene.view.lighting.fog_enabled);
  EXPECT_EQ(scene.view.distance, 80.0f);
  EXPECT_EQ(pixel_at(target, 160, 90), (Bgr{153, 153, 153}));
  EXPECT_EQ(scene.weather.lightning_wait, 0.5f + 9.5f * rng_unit(r1));
  EXPECT_EQ(scene.weather.lightning_flash, 0.05f + 0.15f * rng_unit(r2));
}

TEST_F(WorldDrawTest, PausedLightningStandsStillButStillDraws) {
  look_from({0.0f, 5.0f, 0.0f}, 0.0f);
  scene.weather.lightning_wait = 0.5f;
  int32_t expected_rng = scene.rng_state;
  for (int frame = 0; frame < 10; ++frame) step_and_draw(0.0f);
  for (int k = 0; k < 20; ++k) rng_next(expected_rng);
  EXPECT_EQ(scene.rng_state, expected_rng);
  EXPECT_EQ(scene.weather.lightning_wait, 0.5f);
}

TEST_F(WorldDrawTest, RainFallsAndWrapsWithOneDrawPerDrop) {
  scene.weather.rain = {{0.5f, 0.001f, 0.5f}, {0.999f, 0.5f, 1.0f}};
  scene.player.body.velocity = {0.0f, 0.0f, 0.0f};
  scene.view.camera.orientation = {};  // level view: c = 1
  int32_t expected_rng = scene.rng_state;
  // Style 2 falls 4 * (0.5 w + v) c per second: the first drop by 0.002.
  advance_rain(scene, {0.0f, 0.0f}, 0.002f);
  rng_next(expected_rng);
  rng_next(expected_rng);
  EXPECT_EQ(scene.rng_state, expected_rng);
  EXPECT_NEAR(scene.weather.rain[0].y, 0.999f, 1e-6f);
  EXPECT_EQ(scene.weather.rain[0].x, 0.5f);  // no sideways jitter in the storm
  EXPECT_EQ(scene.weather.rain[0].z, 0.5f);

  // Turning the view moves the drops the other way and they wrap in x.
  advance_rain(scene, {-1.0f, 0.0f}, 0.004f);
  EXPECT_NEAR(scene.weather.rain[1].x, 0.001f, 1e-5f);
}

TEST_F(WorldDrawTest, RainBlownFarOffScreenDrawsNothing) {
  // A frame of 1e10 s carries drops past the reach of int32: the sanitizer
  // build stopped at the streak's py - 1. Nothing of them is on screen.
  scene.weather.rain = {{0.5f, 0.5f, 1.0f}};
  advance_rain(scene, {}, 1e10f);
  ASSERT_LT(scene.weather.rain[0].y, -1e9f);
  draw_world(scene, scene.view.render_flags, target);
  const std::vector<uint8_t> before = target.colour;
  scene.weather.rain.clear();
  draw_world(scene, scene.view.render_flags, target);
  EXPECT_EQ(target.colour, before);
}

TEST_F(WorldDrawTest, RainFollowsTheBodyAndSlowsWhenLookingDown) {
  scene.weather.rain = {{0.5f, 0.5f, 0.0f}};
  scene.player.body.velocity = {0.0f, -50.0f, 0.0f};  // falling fast: v held at -1
  float pitch = 1.0f;
  camera_look(scene.view.camera, 0.3f, pitch, {});
  advance_rain(scene, {}, 0.01f);
  // y -= (0 + -1) * 0.01 * cos(1) * 4: the drops rise past a falling body.
  EXPECT_NEAR(scene.weather.rain[0].y, 0.5f + 0.04f * std::cos(1.0f), 1e-5f);
}

TEST_F(WorldDrawTest, LightRainJittersSideways) {
  scene.city.style = CityStyle::grey_rain;
  scene.weather.rain = {{0.5f, 0.5f, 1.0f}};
  int32_t probe = scene.rng_state;
  const int32_t r = rng_next(probe);
  advance_rain(scene, {}, 0.5f);
  EXPECT_EQ(scene.weather.rain[0].x,
            0.5f + (2.0f * rng_unit(r) - 1.0f) * 0.5f * 0.2f * 1.0f * 1.0f);
  EXPECT_EQ(scene.weather.storm_timer, 1.0f);  // the storm timer runs only in the storm
}

TEST_F(WorldDrawTest, StormTimerRearmsWithOneDraw) {
  scene.weather.rain.clear();
  scene.weather.storm_timer = 1.0f;
  int32_t expected_rng = scene.rng_state;
  advance_rain(scene, {}, 0.75f);
  EXPECT_EQ(scene.weather.storm_timer, 0.25f);
  EXPECT_EQ(scene.rng_state, expected_rng);
  advance_rain(scene, {}, 0.5f);
  const int32_t r = rng_next(expected_rng);
  EXPECT_EQ(scene.rng_state, expected_rng);
  EXPECT_EQ(scene.weather.storm_timer, 5.0f + 5.0f * rng_unit(r));
}

}  // namespace
}  // namespace vel
