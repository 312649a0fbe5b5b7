// sdl_devices.h: the play shell's reading of SDL2's events and game
// controllers into the SDL-free DeviceState, and the window requests that
// arrive with them (quit, full screen, picture, focus).
#pragma once

#include <SDL.h>

#include "play/input_map.h"

namespace vel {

struct Devices {
  DeviceState state;
  SDL_GameController* pad = nullptr;  // the first controller plugged in
  SDL_JoystickID pad_id = -1;
};

// What the window asked for during one poll of the events.
struct WindowRequests {
  bool quit = false;
  bool toggle_fullscreen = false;  // F11 or Alt+Enter
  bool screenshot = false;         // F12
  bool focus_lost = false;
  bool resized = false;
};

// One event: keys and mouse buttons by code, relative motion counted while
// the mouse is captured, controllers plugged in and out.
void device_event(const SDL_Event& event, Devices& devices, WindowRequests& requests);
// The open controller's sticks, triggers and buttons into state.pad.
void read_pad(Devices& devices);
// Everything let go, as when the window loses the focus.
void release_all(Devices& devices);
void close_pad(Devices& devices);

}  // namespace vel
