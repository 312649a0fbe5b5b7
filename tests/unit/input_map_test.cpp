// input_map_test.cpp: the play program's device rules: bindings by
// scancode and mouse button, the controller's sticks, triggers and
// buttons, and a view turn per mouse count that does not depend on the
// frame rate and goes the way the hand goes.
#include "play/input_map.h"

#include <gtest/gtest.h>

#include "gfx/camera.h"
#include "scene1/player.h"
#include "scene_api/control_bits.h"

namespace vel {
namespace {

DeviceState holding(std::initializer_list<int32_t> codes) {
  DeviceState devices;
  for (const int32_t code : codes) devices.codes.set(static_cast<size_t>(code));
  return devices;
}

TEST(HeldControls, DefaultBindingsByScancodeAndMouseButton) {
  const Settings settings;
  // W (26) walks and moves up in menus; the left button (512 + 1) grapples.
  EXPECT_EQ(held_controls(settings, holding({26})), kWalkForward | kMenuUpBit);
  EXPECT_EQ(held_controls(settings, holding({513})), kGrappleBit);
  EXPECT_EQ(held_controls(settings, holding({44, 40, 41})),
            kJumpBit | kMenuSelectBit | kPanelToggleBit);
  EXPECT_EQ(held_controls(settings, holding({5, 511, 512, 514})), 0u);
  // A tap that went down and up between two frames still counts once.
  DeviceState tapped;
  tapped.tapped.set(40);
  EXPECT_EQ(held_controls(settings, tapped), kMenuSelectBit);
}

TEST(HeldControls, RebindingMovesTheSlotAndCodesOutsideTheRangeHoldNothing) {
  Settings settings;
  settings.controls[7] = 9;        // grapple on F
  settings.controls[6] = 512 + 3;  // jump on the right button
  settings.controls[0] = -1;
  settings.controls[1] = kInputCodes;
  EXPECT_EQ(held_controls(settings, holding({9})), kGrappleBit);
  EXPECT_EQ(held_controls(settings, holding({515})), kJumpBit);
  EXPECT_EQ(held_controls(settings, holding({513})), 0u);
  DeviceState everything;
  everything.codes.set();
  for (const size_t arrow : {79u, 80u, 81u, 82u}) everything.codes.reset(arrow);  // they always walk
  EXPECT_EQ(held_controls(settings, everything) & (kWalkForward | kWalkBack), 0u);
  // The arrows walk and move through the menus whatever the bindings say.
  EXPECT_EQ(held_controls(settings, holding({82})), kWalkForward | kMenuUpBit);
}

TEST(HeldControls, ControllerSticksTriggersAndButtons) {
  const Settings settings;
  DeviceState pad;
  pad.pad.left_y = -32768;  // pushed fully forward
  pad.pad.left_x = 9000;    // and a little right, past the dead zone
  EXPECT_EQ(held_controls(settings, pad), kWalkForward | kWalkRight);
  pad.pad.left_x = 8000;  // inside the dead zone (a quarter of 32767)
  pad.pad.left_y = -8000;
  EXPECT_EQ(held_controls(settings, pad), 0u);
  pad = {};
  pad.pad.buttons = pad_bit(PadButton::a) | pad_bit(PadButton::start) | pad_bit(PadButton::back) |
                    pad_bit(PadButton::dpad_down);
  EXPECT_EQ(held_controls(settings, pad),
            kJumpBit | kMenuSelectBit | kPanelToggleBit | kMenuDownBit);
  pad = {};
  pad.pad.right_trigger = 20000;
  pad.pad.left_trigger = 10000;  // under half its travel
  EXPECT_EQ(held_controls(settings, pad), kGrappleBit);
}

TEST(StickAxis, DeadZoneCutOutAndBothEndsReachOne) {
  EXPECT_EQ(stick_axis(0), 0.0f);
  EXPECT_EQ(stick_axis(8191), 0.0f);
  EXPECT_GT(stick_axis(8300), 0.0f);
  EXPECT_LT(stick_axis(8300), 0.01f);  // starts from 0 past the dead zone, no jump
  EXPECT_EQ(stick_axis(32767), 1.0f);
  EXPECT_EQ(stick_axis(-32768), -1.0f);
}

// The turn the scene makes from one frame's look, as it applies it.
Vec2 scene_turn(Vec2 look, float dt) {
  return {0.5f * dt * look.x, 0.5f * dt * look.y};
}

TEST(LookInput, TurnPerMouseCountIsTheSameAtAnyFrameRate) {
  const LookOptions options;
  // 120 counts right and 60 forward, spread over 1/4 s at 30 and at 144 fps.
  for (const int frames : {30 / 4, 144 / 4}) {
    const float dt = 0.25f / static_cast<float>(frames);
    Vec2 total{0.0f, 0.0f};
    for (int f = 0; f < frames; ++f) {
      DeviceState devices;
      devices.mouse_dx = 120 / frames + (f < 120 % frames ? 1 : 0);
      devices.mouse_dy = -(60 / frames + (f < 60 % frames ? 1 : 0));
      const Vec2 turn = scene_turn(look_input(devices, options, dt), dt);
      total = {total.x + turn.x, total.y + turn.y};
    }
    EXPECT_NEAR(total.x, 120.0f * kRadiansPerCount, 1e-5f) << frames;
    EXPECT_NEAR(total.y, -60.0f * kRadiansPerCount, 1e-5f) << frames;
  }
  DeviceState devices;
  devices.mouse_dx = 10;
  devices.mouse_dy = 10;
  const Vec2 doubled = scene_turn(look_input(devices, {2.0f, true}, 0.01f), 0.01f);
  EXPECT_NEAR(doubled.x, 20.0f * kRadiansPerCount, 1e-6f);
  EXPECT_NEAR(doubled.y, -20.0f * kRadiansPerCount, 1e-6f);  // inverted
}

TEST(LookInput, StickTurnsAtItsRateWhateverTheFrameLength) {
  DeviceState devices;
  devices.pad.right_x = 32767;
  for (const float dt : {1.0f / 30.0f, 1.0f / 240.0f}) {
    const Vec2 turn = scene_turn(look_input(devices, {}, dt), dt);
    EXPECT_NEAR(turn.x / dt, kStickTurnRate, 1e-4f);
  }
}

TEST(LookInput, MouseRightTurnsRightAndForwardLooksUp) {
  // Applied as the city applies it, through the real camera.
  DeviceState devices;
  devices.mouse_dx = 50;
  devices.mouse_dy = -50;  // the mouse pushed away from the player
  const float dt = 1.0f / 60.0f;
  const Vec2 turn = scene_turn(look_input(devices, {}, dt), dt);
  Camera camera;
  float pitch = turn.y;
  camera_look(camera, turn.x, pitch, {0.0f, 0.0f, 0.0f});
  const CameraAxes axes = camera_axes(camera);
  EXPECT_GT(axes.forward.x, 0.0f);  // from looking down -z with +x on the right
  EXPECT_GT(axes.forward.y, 0.0f);
}

}  // namespace
}  // namespace vel
