// panel_test.cpp: the system panel's rows, drafts and commands, the device
// station and device menu, the dimmed background and the device pictures.
#include "scene1/panel.h"

#include <gtest/gtest.h>

#include "scene1/hud.h"
#include "scene_api/settings.h"
#include "support/city_fixture.h"
#include "support/pixels.h"

namespace vel {
namespace {

// The panel's navigation on the scene's own parts.
void navigate(CityScene& scene, uint32_t pressed) {
  panel_navigate(scene.menus, scene.economy, scene.clock.paused, scene.switch_request, pressed);
}

CityScene open_panel() {
  CityScene scene;
  scene.clock.paused = false;
  EXPECT_TRUE(panel_toggle(scene.menus, scene.economy, scene.clock.paused));
  return scene;
}

TEST(PanelToggle, OpensOnRowZeroWithDraftsFromTheLevelsAndPauses) {
  CityScene scene;
  scene.clock.paused = false;
  scene.menus.selection = 4;
  scene.economy.levels.drive = 1;
  scene.economy.levels.jump = 2;
  scene.economy.levels.pull = 3;
  scene.economy.drafts.drive = 7;
  EXPECT_TRUE(panel_toggle(scene.menus, scene.economy, scene.clock.paused));
  EXPECT_TRUE(scene.menus.panel_open);
  EXPECT_TRUE(scene.clock.paused);
  EXPECT_EQ(scene.menus.selection, 0);
  EXPECT_EQ(scene.economy.drafts.drive, 1);
  EXPECT_EQ(scene.economy.drafts.jump, 2);
  EXPECT_EQ(scene.economy.drafts.pull, 3);

  scene.menus.selection = 2;
  EXPECT_FALSE(panel_toggle(scene.menus, scene.economy, scene.clock.paused));
  EXPECT_FALSE(scene.menus.panel_open);
  EXPECT_FALSE(scene.clock.paused);
  EXPECT_EQ(scene.menus.selection, 0);
}

TEST(PanelNavigate, RowsWrapAtBothEnds) {
  CityScene scene = open_panel();
  navigate(scene, kMenuUpBit);
  EXPECT_EQ(scene.menus.selection, 5);
  navigate(scene, kMenuDownBit);
  EXPECT_EQ(scene.menus.selection, 0);
  navigate(scene, kMenuDownBit);
  navigate(scene, kMenuDownBit);
  EXPECT_EQ(scene.menus.selection, 2);
  navigate(scene, kMenuUpBit | kMenuDownBit);  // up, then down
  EXPECT_EQ(scene.menus.selection, 2);
  navigate(scene, 0);
  EXPECT_EQ(scene.menus.selection, 2);
}

TEST(PanelNavigate, PointsMoveIntoDraftsAndBackButNotBelowTheLevel) {
  CityScene scene;
  scene.economy.levels.jump = 1;
  scene.economy.upgrade_points = 2;
  panel_toggle(scene.menus, scene.economy, scene.clock.paused);
  navigate(scene, kMenuDownBit);  // row 1, JUMP
  navigate(scene, kMenuRightBit);
  navigate(scene, kMenuRightBit);
  navigate(scene, kMenuRightBit);  // no points left
  EXPECT_EQ(scene.economy.drafts.jump, 3);
  EXPECT_EQ(scene.economy.upgrade_points, 0);
  EXPECT_EQ(scene.economy.levels.jump, 1);  // nothing committed yet

  navigate(scene, kMenuLeftBit);
  EXPECT_EQ(scene.economy.drafts.jump, 2);
  EXPECT_EQ(scene.economy.upgrade_points, 1);
  navigate(scene, kMenuLeftBit);
  navigate(scene, kMenuLeftBit);  // already at the committed level
  EXPECT_EQ(scene.economy.drafts.jump, 1);
  EXPECT_EQ(scene.economy.upgrade_points, 2);

  navigate(scene, kMenuDownBit | kMenuRightBit);  // row 2, GRAPPLE, in one frame
  EXPECT_EQ(scene.economy.drafts.pull, 1);
  EXPECT_EQ(scene.economy.upgrade_points, 1);
  EXPECT_EQ(scene.economy.drafts.drive, 0);
}

TEST(PanelNavigate, ResumeCommitsTheDraftsAndCloses) {
  CityScene scene;
  scene.economy.upgrade_points = 3;
  panel_toggle(scene.menus, scene.economy, scene.clock.paused);
  navigate(scene, kMenuRightBit);  // MOVEMENT
  navigate(scene, kMenuDownBit);
  navigate(scene, kMenuRightBit);
  navigate(scene, kMenuRightBit);  // JUMP twice
  navigate(scene, kMenuDownBit);
  navigate(scene, kMenuDownBit);                  // RESUME
  navigate(scene, kMenuRightBit | kMenuLeftBit);  // nothing on a button
  EXPECT_EQ(scene.economy.upgrade_points, 0);
  navigate(scene, kMenuSelectBit);
  EXPECT_FALSE(scene.menus.panel_open);
  EXPECT_FALSE(scene.clock.paused);
  EXPECT_EQ(scene.economy.levels.drive, 1);
  EXPECT_EQ(scene.economy.levels.jump, 2);
  EXPECT_EQ(scene.economy.levels.pull, 0);
  EXPECT_FALSE(scene.switch_request.requested);
}

TEST(PanelNavigate, ClosingWithTheToggleKeepsTheLevelsAndThePointsStaySpent) {
  CityScene scene;
  scene.economy.upgrade_points = 2;
  panel_toggle(scene.menus, scene.economy, scene.clock.paused);
  navigate(scene, kMenuDownBit);
  navigate(scene, kMenuRightBit);
  navigate(scene, kMenuRightBit);
  panel_toggle(scene.menus, scene.economy, scene.clock.paused);
  EXPECT_EQ(scene.economy.levels.jump, 0);
  EXPECT_EQ(scene.economy.upgrade_points, 0);
  panel_toggle(scene.menus, scene.economy,
               scene.clock.paused);  // the drafts start again from the levels
  EXPECT_EQ(scene.economy.drafts.jump, 0);
  navigate(scene, kMenuDownBit | kMenuLeftBit);
  EXPECT_EQ(scene.economy.upgrade_points, 0);
}

TEST(PanelNavigate, RestartAndExitAskForScenesAndLeaveThePanelOpen) {
  CityScene scene = open_panel();
  navigate(scene, kMenuSelectBit);  // row 0: nothing
  EXPECT_FALSE(scene.switch_request.requested);
  EXPECT_TRUE(scene.menus.panel_open);

  navigate(scene, kMenuUpBit | kMenuSelectBit);  // EXIT
  EXPECT_TRUE(scene.switch_request.requested);
  EXPECT_EQ(scene.switch_request.target, 0);
  EXPECT_TRUE(scene.menus.panel_open);

  CityScene other = open_panel();
  navigate(other, kMenuUpBit);
  navigate(other, kMenuUpBit | kMenuSelectBit);  // RESTART
  EXPECT_TRUE(other.switch_request.requested);
  EXPECT_EQ(other.switch_request.target, 1);
  EXPECT_TRUE(other.menus.panel_open);
}

TEST(StationTest, OpensTheDeviceMenuWithinFiveAndTakesControl) {
  CityScene scene;
  scene.player.control_enabled = true;
  scene.city.station_position = {10.0f, 50.0f, 10.0f};
  scene.player.body.position = {10.0f, 55.0f, 10.0f};  // exactly 5 away
  station_test(scene.player, scene.city.station_position, scene.menus);
  EXPECT_FALSE(scene.menus.device_menu_open);
  EXPECT_TRUE(scene.player.control_enabled);
  scene.player.body.position = {13.0f, 53.9f, 10.0f};
  station_test(scene.player, scene.city.station_position, scene.menus);
  EXPECT_TRUE(scene.menus.device_menu_open);
  EXPECT_FALSE(scene.player.control_enabled);
  scene.player.body.position = {100.0f, 0.0f, 0.0f};
  station_test(scene.player, scene.city.station_position, scene.menus);
  EXPECT_TRUE(scene.menus.device_menu_open);  // nothing closes it
}

TEST(DeviceMenuNavigate, LeftWrapsOnlyFromZeroAndRightWrapsPastTwo) {
  CityScene scene;
  scene.menus.device_menu_open = true;
  device_menu_navigate(scene.menus.selection, kMenuLeftBit);
  EXPECT_EQ(scene.menus.selection, 2);
  device_menu_navigate(scene.menus.selection, kMenuRightBit);
  EXPECT_EQ(scene.menus.selection, 0);
  device_menu_navigate(scene.menus.selection, kMenuRightBit);
  EXPECT_EQ(scene.menus.selection, 1);

  scene.menus.selection = 4;  // left there by the panel
  device_menu_navigate(scene.menus.selection, kMenuLeftBit);
  EXPECT_EQ(scene.menus.selection, 3);
  device_menu_navigate(scene.menus.selection, kMenuSelectBit);  // names no device: nothing
  EXPECT_EQ(scene.menus.selection, 3);
  device_menu_navigate(scene.menus.selection, kMenuRightBit);
  EXPECT_EQ(scene.menus.selection, 0);
  device_menu_navigate(scene.menus.selection, kMenuUpBit | kMenuDownBit);  // not the menu's keys
  EXPECT_EQ(scene.menus.selection, 0);
  EXPECT_TRUE(scene.menus.device_menu_open);
}

TEST(DeviceMenuNavigateDeathTest, SelectingADeviceStopsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (int32_t device = 0; device < 3; ++device) {
    CityScene scene;
    scene.menus.selection = device;
    EXPECT_EXIT(device_menu_navigate(scene.menus.selection, kMenuSelectBit),
                ::testing::ExitedWithCode(101), "not yet implemented: HANDLE ITEM SELECTION DUDE");
  }
}

TEST(PanelBackground, IsTheFinishedPictureAt35PercentInEveryChannel) {
  CityScene scene;
  Framebuffer picture = framebuffer_new(4, 2);
  picture.colour = {255, 102, 51,  0, 0, 0, 10, 20, 30, 1, 2, 3,
                    255, 255, 255, 0, 0, 0, 0,  0,  0,  0, 0, 0};
  std::fill(picture.depth.begin(), picture.depth.end(), kDepthEmpty);  // no alpha from depth
  capture_panel_background(scene.picture.panel_background, picture);
  const Image& image = scene.picture.panel_background;
  ASSERT_EQ(image.width, 4);
  ASSERT_EQ(image.height, 2);
  ASSERT_EQ(image.pixels.size(), 8u);
  const Colour first = image.pixels[0];  // blue 255, green 102, red 51
  EXPECT_FLOAT_EQ(first.r, 51.0f / 255.0f * 0.35f);
  EXPECT_FLOAT_EQ(first.g, 102.0f / 255.0f * 0.35f);
  EXPECT_FLOAT_EQ(first.b, 0.35f);
  EXPECT_FLOAT_EQ(first.a, 0.35f);
  EXPECT_FLOAT_EQ(image.pixels[1].a, 0.35f);
}

// Enough of a scene for the menus' drawing: 49 plain textures (a white
// font of square cells, `cell` pixels each, and a red device texture) and 23
// box meshes.
CityScene drawable_scene(int32_t cell = 8) {
  CityScene scene;
  scene.view.render_flags.interlace = 0;
  Image font;
  font.width = 8 * cell;
  font.height = 12 * cell;
  font.pixels.assign(static_cast<size_t>(font.width * font.height), Colour{1.0f, 1.0f, 1.0f, 1.0f});
  Image red;
  red.width = 2;
  red.height = 2;
  red.pixels.assign(4, Colour{1.0f, 0.0f, 0.0f, 1.0f});
  scene.assets.textures.assign(kTextureSlots, red);
  scene.assets.textures[0] = font;
  scene.assets.textures[1] = font;
  scene.assets.meshes.assign(kMeshSlots, test::box_mesh({-1.0f, -1.0f, -1.0f}, {1.0f, 1.0f, 1.0f}));
  return scene;
}

TEST(DrawDeviceMenu, ShowsTheSelectedDeviceInColourAndTheOthersGrey) {
  CityScene scene = drawable_scene();
  scene.menus.selection = 1;
  Framebuffer target = framebuffer_new(320, 180);
  clear_framebuffer(Rgb{0.0f, 0.0f, 0.0f}, scene.view.render_flags, target);
  draw_device_menu(scene, scene.picture, scene.view.render_flags, target);
  // The three pictures are centred at x = 88, 160, 232 on y = 80.
  const test::Bgr left = test::pixel_at(target, 88, 80);
  const test::Bgr middle = test::pixel_at(target, 160, 80);
  const test::Bgr right = test::pixel_at(target, 232, 80);
  EXPECT_GT(middle.r, 0);
  EXPECT_EQ(middle.g, 0);
  EXPECT_GT(left.r, 0);
  EXPECT_EQ(left.r, left.g);
  EXPECT_EQ(left.g, left.b);
  EXPECT_LT(left.r, middle.r);  // grey at 0.4 of the mean
  EXPECT_EQ(right, left);
  // Outside the models the picture stays see-through.
  EXPECT_EQ(test::pixel_at(target, 160 - 31, 80 - 31), (test::Bgr{}));
}

TEST(DrawDeviceMenu, SelectedModelTurnsWithElapsedTime) {
  CityScene scene = drawable_scene();
  Framebuffer early = framebuffer_new(320, 180);
  Framebuffer later = framebuffer_new(320, 180);
  scene.clock.elapsed = 0.0f;
  draw_device_menu(scene, scene.picture, scene.view.render_flags, early);
  scene.clock.elapsed = 0.3f;
  draw_device_menu(scene, scene.picture, scene.view.render_flags, later);
  int changed_in_selected = 0;
  int changed_elsewhere = 0;
  for (int32_t y = 48; y < 112; ++y) {
    for (int32_t x = 0; x < 320; ++x) {
      if (test::pixel_at(early, x, y) == test::pixel_at(later, x, y)) continue;
      (x >= 56 && x < 120 ? changed_in_selected : changed_elsewhere) += 1;
    }
  }
  EXPECT_GT(changed_in_selected, 50);
  EXPECT_EQ(changed_elsewhere, 0);
}

// The first lit column of row y, or -1.
int32_t first_lit_column(const Framebuffer& target, int32_t y) {
  for (int32_t x = 0; x < target.width; ++x) {
    if (test::pixel_at(target, x, y) != test::Bgr{}) return x;
  }
  return -1;
}

TEST(DrawMenus, CentredLinesStartByTheCentringRuleAlsoForAnOddCell) {
  // With a 9-pixel cell, half of 17 cells is 76.5 pixels; the half pixel is
  // dropped everywhere, the headings included.
  CityScene scene = drawable_scene(9);
  Framebuffer panel = framebuffer_new(320, 180);
  draw_panel(scene, scene.picture, panel);
  EXPECT_EQ(first_lit_column(panel, 170), 178 - 9 * 9);  // "SYSTEM INFORMATION"
  EXPECT_EQ(first_lit_column(panel, 104), 101);          // "ACTIVATED DEVICES"
  EXPECT_EQ(first_lit_column(panel, 104), centred_start(160, 17, 9));
  EXPECT_EQ(first_lit_column(panel, 150), centred_start(88, 6, 9));  // "MODULE"

  Framebuffer menu = framebuffer_new(320, 180);
  draw_device_menu(scene, scene.picture, scene.view.render_flags, menu);
  EXPECT_EQ(first_lit_column(menu, 140), 160 - 11 * 9 + 22);  // the title
  EXPECT_EQ(first_lit_column(menu, 120), 101);                // "GRAPPLE: MAGNETIC", 17 glyphs
}

TEST(DrawMenus, TablesTooSmallForTheMenusDrawNoText) {
  CityScene scene;
  scene.view.render_flags.interlace = 0;
  scene.menus.panel_open = true;
  Framebuffer target = framebuffer_new(320, 180);
  draw_panel(scene, scene.picture, target);
  draw_device_menu(scene, scene.picture, scene.view.render_flags, target);
  for (int32_t y = 0; y < 180; ++y) {
    for (int32_t x = 0; x < 320; ++x) ASSERT_EQ(test::pixel_at(target, x, y), (test::Bgr{}));
  }
}

// ---- Through the frame driver, on the stand-in city (no files needed).

class MenuFramesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::build_stand_in_scene(scene);
    scene.run_end = [](const Framebuffer&) {};
    target = framebuffer_new(320, 180);
  }
  // One frame of 1/60 s holding `held`.
  FrameResult frame(uint32_t held = 0) {
    ++frames;
    InputState input;
    input.held = held;
    return scene.update(input, target, kStep, static_cast<float>(frames) * kStep, Settings{});
  }
  // A press: one frame down, one frame up.
  FrameResult press(uint32_t bits) {
    const FrameResult down = frame(bits);
    frame();
    return down;
  }
  static constexpr float kStep = 1.0f / 60.0f;
  CityScene scene;
  Framebuffer target;
  int frames = 0;
};

TEST_F(MenuFramesTest, RestartAndExitReachTheShellAsTheNextScene) {
  for (int i = 0; i < 180; ++i) frame();  // 3 s: still the opening, no control
  EXPECT_FALSE(press(kPanelToggleBit).relative_mouse);
  EXPECT_TRUE(scene.menus.panel_open);
  press(kMenuUpBit);
  press(kMenuUpBit);  // RESTART
  const FrameResult restart = frame(kMenuSelectBit);
  ASSERT_TRUE(restart.next_scene.has_value());
  EXPECT_EQ(*restart.next_scene, 1);
  EXPECT_TRUE(scene.menus.panel_open);
  EXPECT_FALSE(restart.relative_mouse);

  scene.switch_request.requested = false;  // as if the shell had not acted on it
  frame();
  press(kMenuDownBit);  // EXIT
  const FrameResult exit = frame(kMenuSelectBit);
  ASSERT_TRUE(exit.next_scene.has_value());
  EXPECT_EQ(*exit.next_scene, 0);
}

TEST_F(MenuFramesTest, TheWorldStandsStillUnderThePanelAndResumeLetsItGo) {
  for (int i = 0; i < 320; ++i) frame();
  press(kPanelToggleBit);
  const Vec3 held_at = scene.player.body.position;
  const float energy = scene.economy.energy;
  for (int i = 0; i < 30; ++i) frame(0x41);  // walking and jumping do nothing
  EXPECT_EQ(scene.player.body.position, held_at);
  EXPECT_EQ(scene.economy.energy, energy);
  press(kMenuDownBit);
  press(kMenuDownBit);
  press(kMenuDownBit);  // RESUME
  EXPECT_TRUE(frame(kMenuSelectBit).relative_mouse);
  EXPECT_FALSE(scene.menus.panel_open);
}

TEST_F(MenuFramesTest, ComingNearTheStationOpensTheDeviceMenuForGood) {
  for (int i = 0; i < 320; ++i) frame();
  ASSERT_TRUE(scene.player.control_enabled);
  scene.player.body.position = scene.city.station_position;
  scene.player.body.position.y += 1.0f;
  scene.player.body.velocity = {};
  frame();
  EXPECT_TRUE(scene.menus.device_menu_open);
  const Vec3 held_at = scene.player.body.position;
  press(kMenuLeftBit);
  EXPECT_EQ(scene.menus.selection, 2);
  for (int i = 0; i < 30; ++i) frame();
  EXPECT_TRUE(scene.menus.device_menu_open);
  EXPECT_EQ(scene.player.body.position, held_at);
  // The panel can still be opened over it and closed again.
  press(kPanelToggleBit);
  EXPECT_TRUE(scene.menus.panel_open);
  press(kPanelToggleBit);
  EXPECT_FALSE(scene.menus.panel_open);
  EXPECT_TRUE(scene.menus.device_menu_open);
}

}  // namespace
}  // namespace vel
