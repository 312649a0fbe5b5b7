// menu_pictures_test.cpp: the system panel and the device menu drawn over
// the real city (assets/ from the repository), compared with the committed
// pictures in tests/golden/.
#include <gtest/gtest.h>

#include "scene1/city_scene.h"
#include "scene1/panel.h"
#include "scene_api/settings.h"
#include "support/city_fixture.h"
#include "support/picture.h"

namespace vel {
namespace {

class MenuPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::init_real_scene(scene, ended);
    target = framebuffer_new(320, 180);
  }
  void frame(uint32_t held = 0) {
    ++frames;
    InputState input;
    input.held = held;
    scene.update(input, target, kStep, static_cast<float>(frames) * kStep, Settings{});
  }
  void press(uint32_t bits) {
    frame(bits);
    frame();
  }
  void frames_until(int last) {
    while (frames < last) frame();
  }
  static constexpr float kStep = 1.0f / 60.0f;
  CityScene scene;
  test::EndedRun ended;
  Framebuffer target;
  int frames = 0;
};

// Opened after the opening, with two points to spend: one goes into JUMP,
// so that row shows both marks while it is selected.
TEST_F(MenuPictureTest, SystemPanel) {
  frames_until(320);
  scene.economy.upgrade_points = 2;
  press(kPanelToggleBit);
  frames_until(340);
  press(kMenuDownBit);
  press(kMenuRightBit);
  frames_until(360);
  EXPECT_TRUE(scene.menus.panel_open);
  EXPECT_EQ(scene.economy.drafts.jump, 1);
  EXPECT_TRUE(test::matches_golden(target, test::golden_path("system_panel.ppm")));
}

// The player set down by the station: the menu opens over the city, and the
// second device is chosen and turning.
TEST_F(MenuPictureTest, DeviceMenu) {
  frames_until(320);
  scene.player.body.position = scene.city.station_position;
  scene.player.body.position.y += 1.0f;
  scene.player.body.velocity = {};
  frame();
  ASSERT_TRUE(scene.menus.device_menu_open);
  press(kMenuRightBit);
  frames_until(350);
  EXPECT_EQ(scene.menus.selection, 1);
  EXPECT_TRUE(test::matches_golden(target, test::golden_path("device_menu.ppm")));
}

}  // namespace
}  // namespace vel
