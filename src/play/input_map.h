// input_map.h: how the devices a player holds become the scene's input
// record: key and mouse-button codes through the settings' control slots,
// mouse counts and the right stick into the view turn, the controller's
// buttons and left stick into control bits. No SDL here: the shell fills a
// DeviceState from its events and the rules below can be tested alone.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

#include "scene_api/input.h"
#include "scene_api/input_codes.h"
#include "scene_api/settings.h"

namespace vel {

// The controller's buttons as the play program names them (bit positions
// of PadState::buttons).
enum class PadButton : uint32_t {
  a,
  b,
  x,
  y,
  back,
  start,
  left_shoulder,
  right_shoulder,
  dpad_up,
  dpad_down,
  dpad_left,
  dpad_right,
};

inline constexpr uint32_t pad_bit(PadButton button) {
  return 1u << static_cast<uint32_t>(button);
}

// Raw axis values as a controller reports them: sticks -32768..32767 with
// y downward (pushed forward is negative), triggers 0..32767.
struct PadState {
  int16_t left_x = 0;
  int16_t left_y = 0;
  int16_t right_x = 0;
  int16_t right_y = 0;
  int16_t left_trigger = 0;
  int16_t right_trigger = 0;
  uint32_t buttons = 0;  // pad_bit() of each button down
};

// Everything the devices hold at the start of a frame.
struct DeviceState {
  std::bitset<kInputCodes> codes;  // keys and mouse buttons down
  // Codes that went down since the last frame: a tap shorter than a frame
  // is still held for one frame. The shell clears it after each frame.
  std::bitset<kInputCodes> tapped;
  int32_t mouse_dx = 0;  // relative counts since the last frame, x right
  int32_t mouse_dy = 0;  // y downward, as the mouse reports it
  PadState pad;
};

// The player's own choices, from options.txt and the command line.
struct LookOptions {
  float sensitivity = 1.0f;  // multiplies both the mouse and the right stick
  bool invert_y = false;     // pushing the mouse forward looks down
};

// View turn per mouse count at sensitivity 1, in radians.
inline constexpr float kRadiansPerCount = 0.0022f;
// Turn rate of the right stick pushed fully, in radians per second.
inline constexpr float kStickTurnRate = 2.5f;
// Stick deflection below this share of the full range counts as rest.
inline constexpr float kStickDeadZone = 0.25f;
// A trigger pulled past this share of its travel counts as held.
inline constexpr float kTriggerThreshold = 0.5f;

// Bit i is set when the code of control slot i is held or was tapped
// since the last frame (codes outside 0..543 never are), or when the controller holds what slot i
// means.
uint32_t held_controls(const Settings& settings, const DeviceState& devices);

// Stick axis in -1..1 with the dead zone cut out and the rest rescaled, so
// the smallest push past the dead zone starts from 0.
float stick_axis(int16_t raw);

// The view turn for a frame of dt seconds. The scene turns by
// 0.5 * dt * look, so the mouse's counts are divided by dt here: the turn
// per count is the same at any frame rate. dt must be above 0.
Vec2 look_input(const DeviceState& devices, const LookOptions& options, float dt);

// The grapple played as a switch rather than held: a press of its control
// holds the rope on, the next press lets go. The scene sees the control
// held while it is on, so the recording and the replay need nothing more.
struct GrappleToggle {
  bool on = false;
  bool was_down = false;
};
// `rope_held`: a rope was attached after the last frame; a shot that
// missed or a rope that snapped turns the switch off, so the next press
// fires again.
uint32_t toggle_grapple(GrappleToggle& toggle, uint32_t held, bool rope_held);

}  // namespace vel
