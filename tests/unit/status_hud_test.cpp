// status_hud_test.cpp: what the played game's overlay tells the player:
// the crosshair's look for each aim, and the pointer to the nearest chip.
#include "play/status_hud.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gfx/camera.h"
#include "gfx/matrix.h"
#include "play/player_status.h"
#include "support/city_fixture.h"
#include "support/pixels.h"

namespace vel {
namespace {

// The crosshair's pixels around the centre for one aim, over black.
std::vector<test::Bgr> crosshair(AimKind aim, const Image& font) {
  Framebuffer target = framebuffer_new(320, 180);
  clear_framebuffer(Rgb{0.0f, 0.0f, 0.0f}, RenderFlags{.interlace = 0}, target);
  PlayerStatus status;
  status.shown = true;
  status.font = &font;
  status.aim = aim;
  draw_status_hud(status, target);
  std::vector<test::Bgr> pixels;
  for (int32_t y = 80; y < 100; ++y) {
    for (int32_t x = 150; x < 170; ++x) pixels.push_back(test::pixel_at(target, x, y));
  }
  return pixels;
}

TEST(StatusHud, TheCrosshairInTheCentreTellsWhatAShotWouldMeet) {
  const std::vector<Image> textures = test::stand_in_textures();
  const Image& font = textures[0];
  const auto facade = crosshair(AimKind::facade, font);
  const auto vehicle = crosshair(AimKind::vehicle, font);
  const auto nothing = crosshair(AimKind::out_of_range, font);
  for (const auto* look : {&facade, &vehicle, &nothing}) {
    EXPECT_NE(std::count(look->begin(), look->end(), test::Bgr{}),
              static_cast<std::ptrdiff_t>(look->size()))
        << "no crosshair in the centre";
  }
  EXPECT_NE(facade, nothing);
  EXPECT_NE(facade, vehicle);
  EXPECT_NE(vehicle, nothing);
}

// Facing the nearest chip it is marked on the picture, near the middle;
// facing away the arrow stands at an edge and points back to it.
TEST(StatusHud, ThePointerFindsTheNearestChip) {
  CityScene city;
  test::build_stand_in_scene(city);
  city.rules = kPlayRules;
  ASSERT_FALSE(city.objects.chip_indicators.empty());
  const Vec3 eye = city.player.body.position;
  Vec3 nearest = translation_of(city.objects.chip_indicators[0].transform);
  for (const SceneObject& chip : city.objects.chip_indicators) {
    const Vec3 p = translation_of(chip.transform);
    if (distance(eye, p) < distance(eye, nearest)) nearest = p;
  }
  // Yaw y looks along (sin y, 0, -cos y); the pitch keeps the chip's height in view.
  const float yaw = std::atan2(nearest.x - eye.x, eye.z - nearest.z);
  const float level = std::hypot(nearest.x - eye.x, nearest.z - eye.z);
  const float pitch = -std::atan2(nearest.y - eye.y, level);
  auto look = [&](float y) {
    float turned_pitch = pitch;
    camera_look(city.view.camera, y, turned_pitch, eye);
    city.view.camera.view_projection = mat4_mul(city.view.camera.projection, city.view.camera.view);
    return player_status(city, 320, 180);
  };
  const PlayerStatus ahead = look(yaw);
  ASSERT_TRUE(ahead.pointer);
  EXPECT_TRUE(ahead.nearest.on_picture);
  EXPECT_NEAR(ahead.nearest.at.x, 160.0f, 2.0f);
  EXPECT_EQ(ahead.nearest.distance, static_cast<int32_t>(distance(eye, nearest)));
  const PlayerStatus right = look(yaw + 1.5f);  // the chip now on the left
  EXPECT_FALSE(right.nearest.on_picture);
  EXPECT_LT(right.nearest.direction.x, -0.5f);
  EXPECT_LT(right.nearest.at.x, 40.0f);
  // Behind the eye the arrow stands at a side and says so.
  const PlayerStatus behind = look(yaw + 3.0f);
  EXPECT_TRUE(behind.nearest.behind);
  EXPECT_EQ(behind.nearest.direction.y, 0.0f);
  EXPECT_TRUE(behind.nearest.at.x < 40.0f || behind.nearest.at.x > 280.0f);
  EXPECT_FALSE(ahead.nearest.behind);
}

}  // namespace
}  // namespace vel
