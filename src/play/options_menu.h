// options_menu.h: the options menu the title and the system panel open:
// the picture, the sound and the controls, each change in force at once.
// The live shell drives it with the menu's control bits and the key or
// button pressed, draws it over the game's picture, and hands every change
// to the game as settings (which the recording keeps as "set" lines), so
// the game a replay runs is the same without the menu.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "gfx/framebuffer.h"
#include "gfx/image.h"
#include "play/options_file.h"
#include "scene_api/frame_events.h"

namespace vel {

// The rows, top to bottom: the picture, the sound, the controls (one row
// per control slot), RESET CONTROLS and BACK.
inline constexpr int32_t kOptionFullscreen = 0;
inline constexpr int32_t kOptionVsync = 1;
inline constexpr int32_t kOptionInterlace = 2;
inline constexpr int32_t kOptionFps = 3;
inline constexpr int32_t kOptionScale = 4;
inline constexpr int32_t kOptionMusic = 5;
inline constexpr int32_t kOptionEffects = 6;
inline constexpr int32_t kOptionSensitivity = 7;
inline constexpr int32_t kOptionInvertY = 8;
inline constexpr int32_t kOptionGrapple = 9;
inline constexpr int32_t kOptionFirstControl = 10;
inline constexpr int32_t kOptionResetControls =
    kOptionFirstControl + static_cast<int32_t>(kControlSlotCount);
inline constexpr int32_t kOptionBack = kOptionResetControls + 1;
inline constexpr int32_t kOptionRows = kOptionBack + 1;

struct OptionsMenu {
  bool open = false;
  int32_t row = kOptionFullscreen;
  int32_t top_line = 0;      // the first line shown of the scrolled list
  int32_t binding = -1;      // the control slot waiting for its new key, or -1
  uint32_t prev_held = ~0u;  // only a press made in the menu counts
  float seconds = 0.0f;      // since it opened, for the pulse of the chosen row
};

void open_options_menu(OptionsMenu& menu);

// One frame of the open menu. `held`: the menu's control bits as the
// devices hold them; `pressed_code`: the first key or mouse button that
// went down this frame (-1: none), which a control row waiting for its key
// takes; `keep`: the pad's Back, which leaves a waiting row as it was.
// Changes go into `options` at once; the menu's sounds into `events`.
void options_menu_step(OptionsMenu& menu, uint32_t held, int32_t pressed_code, bool keep, float dt,
                       PlayerOptions& options, FrameEvents& events);

// The mouse over the open menu, in the picture's layout pixels (y upward):
// a pointer that `moved` over a row chooses it; `click` +1 (left button)
// takes the row as Enter does, or turns its value up, -1 (right button)
// turns it down. Called after the frame's options_menu_step, so the click
// that starts a rebinding is not taken as the new button.
void options_menu_point(OptionsMenu& menu, int32_t x, int32_t y, int32_t layout_height, bool moved,
                        int32_t click, PlayerOptions& options, FrameEvents& events);

// The slots that share slot `slot`'s code while they work at the same
// time (in play, or in a menu), as a mask of slot bits.
uint32_t control_conflicts(const std::array<int32_t, kControlSlotCount>& controls, size_t slot);

void draw_options_menu(const OptionsMenu& menu, const PlayerOptions& options, const Image& font,
                       Framebuffer& target);

}  // namespace vel
