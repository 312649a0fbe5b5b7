// sdl_devices.cpp: SDL2 keyboard, mouse and game-controller events turned
// into held codes, mouse counts and controller state.
#include "play/sdl_devices.h"

namespace vel {

namespace {

struct PadMap {
  SDL_GameControllerButton sdl;
  PadButton button;
};
constexpr PadMap kPadButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, PadButton::a},
    {SDL_CONTROLLER_BUTTON_B, PadButton::b},
    {SDL_CONTROLLER_BUTTON_X, PadButton::x},
    {SDL_CONTROLLER_BUTTON_Y, PadButton::y},
    {SDL_CONTROLLER_BUTTON_BACK, PadButton::back},
    {SDL_CONTROLLER_BUTTON_START, PadButton::start},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PadButton::left_shoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadButton::right_shoulder},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadButton::dpad_up},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButton::dpad_down},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadButton::dpad_left},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadButton::dpad_right},
};

void set_code(DeviceState& state, int32_t code, bool down) {
  if (code < 0 || code >= kInputCodes) return;
  state.codes.set(static_cast<size_t>(code), down);
  if (down) state.tapped.set(static_cast<size_t>(code));
}

void open_pad(Devices& devices, int joystick_index) {
  if (devices.pad != nullptr || !SDL_IsGameController(joystick_index)) return;
  devices.pad = SDL_GameControllerOpen(joystick_index);
  if (devices.pad == nullptr) return;
  devices.pad_id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(devices.pad));
}

}  // namespace

void device_event(const SDL_Event& event, Devices& devices, WindowRequests& requests) {
  DeviceState& state = devices.state;
  switch (event.type) {
    case SDL_QUIT:
      requests.quit = true;
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool down = event.type == SDL_KEYDOWN;
      const SDL_Scancode key = event.key.keysym.scancode;
      if (down && event.key.repeat == 0) {
        if (key == SDL_SCANCODE_F11 ||
            (key == SDL_SCANCODE_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0)) {
          // Alt+Enter is the window's: the Return under it selects nothing.
          requests.toggle_fullscreen = true;
          break;
        }
        if (key == SDL_SCANCODE_F12) requests.screenshot = true;
      }
      set_code(state, static_cast<int32_t>(key), down);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      set_code(state, kMouseButtonBase + event.button.button, event.type == SDL_MOUSEBUTTONDOWN);
      break;
    case SDL_MOUSEMOTION:
      // Counts matter only while the mouse steers the view.
      if (SDL_GetRelativeMouseMode() == SDL_TRUE) {
        state.mouse_dx += event.motion.xrel;
        state.mouse_dy += event.motion.yrel;
      }
      break;
    case SDL_CONTROLLERDEVICEADDED:
      open_pad(devices, event.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (devices.pad != nullptr && event.cdevice.which == devices.pad_id) {
        close_pad(devices);
        // Another controller still plugged in takes over.
        for (int index = 0; index < SDL_NumJoysticks() && devices.pad == nullptr; ++index) {
          open_pad(devices, index);
        }
      }
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) requests.focus_lost = true;
      if (event.window.event == SDL_WINDOWEVENT_RESIZED ||
          event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        requests.resized = true;
      }
      break;
    default:
      break;
  }
}

void read_pad(Devices& devices) {
  PadState& pad = devices.state.pad;
  pad = PadState{};
  if (devices.pad == nullptr) return;
  SDL_GameController* c = devices.pad;
  pad.left_x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
  pad.left_y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
  pad.right_x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTX);
  pad.right_y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTY);
  pad.left_trigger = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
  pad.right_trigger = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
  for (const PadMap& map : kPadButtons) {
    if (SDL_GameControllerGetButton(c, map.sdl) != 0) pad.buttons |= pad_bit(map.button);
  }
}

void release_all(Devices& devices) {
  devices.state.codes.reset();
  devices.state.tapped.reset();
  devices.state.mouse_dx = 0;
  devices.state.mouse_dy = 0;
}

void close_pad(Devices& devices) {
  if (devices.pad != nullptr) SDL_GameControllerClose(devices.pad);
  devices.pad = nullptr;
  devices.pad_id = -1;
  devices.state.pad = PadState{};
}

}  // namespace vel
