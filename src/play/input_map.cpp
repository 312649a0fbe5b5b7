// input_map.cpp: the rules that turn held keys, mouse buttons, mouse counts
// and controller state into the scene's input record.
#include "play/input_map.h"

#include "scene_api/control_bits.h"

namespace vel {

namespace {

constexpr float kAxisRange = 32767.0f;

// Control slots by role (bit i of InputState::held is slot i).
constexpr uint32_t kSlotForward = 0;
constexpr uint32_t kSlotBack = 1;
constexpr uint32_t kSlotLeft = 2;
constexpr uint32_t kSlotRight = 3;
constexpr uint32_t kSlotWithView = 4;
constexpr uint32_t kSlotAgainstView = 5;
constexpr uint32_t kSlotJump = 6;
constexpr uint32_t kSlotGrapple = 7;
constexpr uint32_t kSlotMenuUp = 8;
constexpr uint32_t kSlotMenuDown = 9;
constexpr uint32_t kSlotMenuLeft = 10;
constexpr uint32_t kSlotMenuRight = 11;
constexpr uint32_t kSlotSelect = 12;
constexpr uint32_t kSlotPanel = 13;

constexpr uint32_t slot_bit(uint32_t slot) {
  return 1u << slot;
}

// One controller button for each role: A jumps, so menus select with
// Start; Back opens the panel (and quits from the title, like Escape).
struct PadBinding {
  PadButton button;
  uint32_t slot;
};
constexpr PadBinding kPadBindings[] = {
    {PadButton::a, kSlotJump},
    {PadButton::right_shoulder, kSlotGrapple},
    {PadButton::left_shoulder, kSlotWithView},
    {PadButton::dpad_up, kSlotMenuUp},
    {PadButton::dpad_down, kSlotMenuDown},
    {PadButton::dpad_left, kSlotMenuLeft},
    {PadButton::dpad_right, kSlotMenuRight},
    {PadButton::start, kSlotSelect},
    {PadButton::back, kSlotPanel},
};

// Keys that always act besides the bindings of settings.txt: the arrows
// walk and move through the menus as W A S D do by default, and the
// keypad's Enter chooses like Return. (SDL scancodes.)
struct FixedKey {
  int32_t code;
  uint32_t slots;  // a mask of slot bits
};
constexpr FixedKey kFixedKeys[] = {
    {82, slot_bit(kSlotForward) | slot_bit(kSlotMenuUp)},   // up
    {81, slot_bit(kSlotBack) | slot_bit(kSlotMenuDown)},    // down
    {80, slot_bit(kSlotLeft) | slot_bit(kSlotMenuLeft)},    // left
    {79, slot_bit(kSlotRight) | slot_bit(kSlotMenuRight)},  // right
    {88, slot_bit(kSlotSelect)},                            // keypad Enter
};

uint32_t pad_controls(const PadState& pad) {
  uint32_t held = 0;
  for (const PadBinding& binding : kPadBindings) {
    if (pad.buttons & pad_bit(binding.button)) held |= slot_bit(binding.slot);
  }
  // The left stick walks: each half-axis past the dead zone holds its bit,
  // so a diagonal push holds two.
  const float walk_x = stick_axis(pad.left_x);
  const float walk_y = stick_axis(pad.left_y);
  if (walk_y < 0.0f) held |= slot_bit(kSlotForward);
  if (walk_y > 0.0f) held |= slot_bit(kSlotBack);
  if (walk_x < 0.0f) held |= slot_bit(kSlotLeft);
  if (walk_x > 0.0f) held |= slot_bit(kSlotRight);
  const float threshold = kTriggerThreshold * kAxisRange;
  if (static_cast<float>(pad.right_trigger) > threshold) held |= slot_bit(kSlotGrapple);
  if (static_cast<float>(pad.left_trigger) > threshold) held |= slot_bit(kSlotAgainstView);
  return held;
}

}  // namespace

uint32_t held_controls(const Settings& settings, const DeviceState& devices) {
  const std::bitset<kInputCodes> down = devices.codes | devices.tapped;
  uint32_t held = 0;
  for (size_t slot = 0; slot < settings.controls.size(); ++slot) {
    const int32_t code = settings.controls[slot];
    if (code >= 0 && code < kInputCodes && down.test(static_cast<size_t>(code))) {
      held |= slot_bit(static_cast<uint32_t>(slot));
    }
  }
  for (const FixedKey& key : kFixedKeys) {
    if (down.test(static_cast<size_t>(key.code))) held |= key.slots;
  }
  return held | pad_controls(devices.pad);
}

float stick_axis(int16_t raw) {
  // -32768 reaches a hair past -1; clamped so both ends give exactly 1.
  float v = static_cast<float>(raw) / kAxisRange;
  if (v < -1.0f) v = -1.0f;
  const float magnitude = v < 0.0f ? -v : v;
  if (magnitude <= kStickDeadZone) return 0.0f;
  const float scaled = (magnitude - kStickDeadZone) / (1.0f - kStickDeadZone);
  return v < 0.0f ? -scaled : scaled;
}

Vec2 look_input(const DeviceState& devices, const LookOptions& options, float dt) {
  // Yaw grows to the right and pitch grows downward, both by 0.5 dt look.
  // Mouse: turn = counts * per_count, so look = 2 * counts * per_count / dt.
  // Stick: a turn rate, so look = 2 * rate whatever dt is.
  const float per_count = kRadiansPerCount * options.sensitivity;
  const float rate = kStickTurnRate * options.sensitivity;
  const float y_sign = options.invert_y ? -1.0f : 1.0f;
  const float mouse_x = static_cast<float>(devices.mouse_dx) * per_count * 2.0f / dt;
  const float mouse_y = static_cast<float>(devices.mouse_dy) * per_count * 2.0f / dt;
  const float stick_x = stick_axis(devices.pad.right_x) * rate * 2.0f;
  const float stick_y = stick_axis(devices.pad.right_y) * rate * 2.0f;
  return {mouse_x + stick_x, (mouse_y + stick_y) * y_sign};
}

uint32_t toggle_grapple(GrappleToggle& toggle, uint32_t held, bool rope_held) {
  if (!rope_held) toggle.on = false;
  const bool down = (held & kGrappleBit) != 0;
  if (down && !toggle.was_down) toggle.on = !toggle.on;
  toggle.was_down = down;
  return toggle.on ? held | kGrappleBit : held & ~kGrappleBit;
}

}  // namespace vel
