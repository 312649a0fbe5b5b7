// options_menu.cpp: the options menu's rows, how the menu keys change them,
// the conflicts between controls, and its drawing in the panel's colours.
#include "play/options_menu.h"

#include <cmath>
#include <string_view>

#include "gfx/draw2d.h"
#include "play/input_map.h"
#include "scene1/hud.h"
#include "scene1/menu_colours.h"
#include "scene_api/control_bits.h"

namespace vel {

namespace {

constexpr Colour kRed{1.0f, 0.3f, 0.3f, 1.0f};
constexpr Colour kSelectedBar{0.0f, 0.25f, 0.5f, 0.8f};

// The slots in play, and those the menus read; the panel's key is both.
constexpr uint32_t kPlaySlots = 0xFFu | kPanelToggleBit;
constexpr uint32_t kMenuSlots = 0x3F00u;

constexpr std::string_view kSlotNames[kControlSlotCount] = {
    "FORWARD", "BACK",    "LEFT",      "RIGHT",     "REEL IN",    "REEL OUT",    "JUMP",
    "GRAPPLE", "MENU UP", "MENU DOWN", "MENU LEFT", "MENU RIGHT", "MENU CHOOSE", "PANEL"};
constexpr std::string_view kFpsPlaces[] = {"OFF", "BOTTOM LEFT", "TOP LEFT", "TOP RIGHT",
                                           "BOTTOM RIGHT"};
constexpr int32_t kFpsPlaceCount = 5;

// The list as drawn: a heading before each group of rows.
constexpr int32_t kVisibleLines = 12;
int32_t line_of_row(int32_t row) {
  return row + 1 + (row >= kOptionMusic ? 1 : 0) + (row >= kOptionSensitivity ? 1 : 0);
}
constexpr int32_t kLineCount = kOptionRows + 3;

// A volume in tenths, moved by one and kept in 0..10.
float step_tenths(float value, int32_t by, int32_t low, int32_t high) {
  int32_t tenths = static_cast<int32_t>(std::lround(value * 10.0f)) + by;
  tenths = tenths < low ? low : tenths > high ? high : tenths;
  return static_cast<float>(tenths) / 10.0f;
}

// Left and right (and choose, for a switch) change the row's value.
bool change_row(int32_t row, int32_t by, PlayerOptions& options) {
  switch (row) {
    case kOptionFullscreen:
      options.fullscreen = !options.fullscreen;
      return true;
    case kOptionVsync:
      options.vsync = !options.vsync;
      return true;
    case kOptionInterlace:
      options.interlaced = !options.interlaced;
      return true;
    case kOptionInvertY:
      options.invert_y = !options.invert_y;
      return true;
    case kOptionGrapple:
      options.grapple_toggle = !options.grapple_toggle;
      return true;
    case kOptionFps: {
      // A place only settings.txt can name (the centre) steps into the list.
      const int32_t place =
          options.show_fps >= 0 && options.show_fps < kFpsPlaceCount ? options.show_fps : 0;
      options.show_fps = (place + by + kFpsPlaceCount) % kFpsPlaceCount;
      return true;
    }
    case kOptionScale: {
      const int32_t scale = options.scale + by;
      if (scale < 1 || scale > kLargestScale) return false;
      options.scale = scale;
      return true;
    }
    case kOptionMusic:
    case kOptionEffects: {
      float& volume = row == kOptionMusic ? options.music_volume : options.sfx_volume;
      const float next = step_tenths(volume, by, 0, 10);
      if (next == volume) return false;
      volume = next;
      return true;
    }
    case kOptionSensitivity: {
      const float next = step_tenths(options.sensitivity, by, 1, 50);
      if (next == options.sensitivity) return false;
      options.sensitivity = next;
      return true;
    }
    default:
      return false;
  }
}

bool is_switch(int32_t row) {
  return row == kOptionFullscreen || row == kOptionVsync || row == kOptionInterlace ||
         row == kOptionInvertY || row == kOptionGrapple;
}

std::string row_label(int32_t row) {
  constexpr std::string_view kLabels[] = {
      "FULL SCREEN", "PRESENT", "INTERLACING", "FPS CORNER", "RENDER SCALE",
      "MUSIC",       "EFFECTS", "MOUSE SPEED", "INVERT Y",   "GRAPPLE MODE"};
  if (row < kOptionFirstControl) return std::string(kLabels[row]);
  if (row < kOptionResetControls) return std::string(kSlotNames[row - kOptionFirstControl]);
  return row == kOptionResetControls ? "RESET CONTROLS" : "BACK";
}

std::string row_value(int32_t row, const PlayerOptions& options) {
  const auto on_off = [](bool on) { return std::string(on ? "ON" : "OFF"); };
  switch (row) {
    case kOptionFullscreen:
      return on_off(options.fullscreen);
    case kOptionVsync:
      return options.vsync ? "VSYNC" : "PACED";
    case kOptionInterlace:
      return on_off(options.interlaced);
    case kOptionFps:
      return options.show_fps >= 0 && options.show_fps < kFpsPlaceCount
                 ? std::string(kFpsPlaces[options.show_fps])
                 : "CENTRE";
    case kOptionScale:
      return std::to_string(kPictureWidth * options.scale) + " X " +
             std::to_string(kPictureHeight * options.scale);
    case kOptionMusic:
    case kOptionEffects:
      return "";  // a gauge
    case kOptionSensitivity: {
      const auto tenths = static_cast<int32_t>(std::lround(options.sensitivity * 10.0f));
      return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    }
    case kOptionInvertY:
      return on_off(options.invert_y);
    case kOptionGrapple:
      return options.grapple_toggle ? "PRESS ON, PRESS OFF" : "HOLD";
    default:
      break;
  }
  if (row >= kOptionFirstControl && row < kOptionResetControls) {
    return input_code_name(options.controls[static_cast<size_t>(row - kOptionFirstControl)]);
  }
  return "";
}

// Enter (or a click) on the chosen row.
void take_row(OptionsMenu& menu, PlayerOptions& options) {
  if (is_switch(menu.row)) change_row(menu.row, 1, options);
  if (menu.row >= kOptionFirstControl && menu.row < kOptionResetControls) {
    menu.binding = menu.row - kOptionFirstControl;
  }
  if (menu.row == kOptionResetControls) options.controls = Settings{}.controls;
  if (menu.row == kOptionBack) menu.open = false;
}

}  // namespace

void open_options_menu(OptionsMenu& menu) {
  menu = OptionsMenu{};
  menu.open = true;
}

void options_menu_step(OptionsMenu& menu, uint32_t held, int32_t pressed_code, bool keep, float dt,
                       PlayerOptions& options, FrameEvents& events) {
  const uint32_t pressed = held & ~menu.prev_held;
  menu.prev_held = held;
  menu.seconds += dt;
  if (menu.binding >= 0) {
    // The key that comes next is the slot's, whatever it is (Escape too).
    if (pressed_code >= 0) {
      options.controls[static_cast<size_t>(menu.binding)] = pressed_code;
      menu.binding = -1;
      events.add_menu(EventKind::menu_selected, MenuKind::panel);
    } else if (keep) {
      menu.binding = -1;
      events.add_menu(EventKind::menu_closed, MenuKind::panel);
    }
    return;
  }
  if (pressed & kPanelToggleBit) {
    menu.open = false;
    events.add_menu(EventKind::menu_closed, MenuKind::panel);
    return;
  }
  const int32_t before = menu.row;
  if (pressed & kMenuUpBit) menu.row = menu.row == 0 ? kOptionRows - 1 : menu.row - 1;
  if (pressed & kMenuDownBit) menu.row = menu.row + 1 == kOptionRows ? 0 : menu.row + 1;
  if (menu.row != before) events.add_menu(EventKind::menu_moved, MenuKind::panel);
  const int32_t by = (pressed & kMenuRightBit ? 1 : 0) - (pressed & kMenuLeftBit ? 1 : 0);
  if (by != 0) {
    events.add_menu(
        change_row(menu.row, by, options) ? EventKind::menu_moved : EventKind::menu_refused,
        MenuKind::panel);
  }
  if (pressed & kMenuSelectBit) {
    events.add_menu(EventKind::menu_selected, MenuKind::panel);
    take_row(menu, options);
  }
  // The chosen row stays in view.
  const int32_t line = line_of_row(menu.row);
  if (menu.row == 0) menu.top_line = 0;
  if (line < menu.top_line) menu.top_line = line;
  if (line >= menu.top_line + kVisibleLines) menu.top_line = line - kVisibleLines + 1;
}

void options_menu_point(OptionsMenu& menu, int32_t x, int32_t y, int32_t layout_height, bool moved,
                        int32_t click, PlayerOptions& options, FrameEvents& events) {
  if (!menu.open || menu.binding >= 0 || x < 14) return;
  // The row whose bar (2 under its text to 7 over it) holds the pointer.
  int32_t hit = -1;
  for (int32_t row = 0; row < kOptionRows; ++row) {
    const int32_t line = line_of_row(row);
    if (line < menu.top_line || line >= menu.top_line + kVisibleLines) continue;
    const int32_t text_y = layout_height - 40 - 10 * (line - menu.top_line);
    if (y >= text_y - 2 && y <= text_y + 7) hit = row;
  }
  if (hit < 0) return;
  if ((moved || click != 0) && hit != menu.row) {
    menu.row = hit;
    events.add_menu(EventKind::menu_moved, MenuKind::panel);
  }
  if (click == 0) return;
  const bool stepped = hit == kOptionFps || hit == kOptionScale || hit == kOptionMusic ||
                       hit == kOptionEffects || hit == kOptionSensitivity;
  if (stepped || click < 0) {
    events.add_menu(
        change_row(hit, click, options) ? EventKind::menu_moved : EventKind::menu_refused,
        MenuKind::panel);
    return;
  }
  events.add_menu(EventKind::menu_selected, MenuKind::panel);
  take_row(menu, options);
}

uint32_t control_conflicts(const std::array<int32_t, kControlSlotCount>& controls, size_t slot) {
  const uint32_t bit = uint32_t{1} << slot;
  uint32_t together = 0;
  if (bit & kPlaySlots) together |= kPlaySlots;
  if (bit & kMenuSlots) together |= kMenuSlots;
  uint32_t conflicts = 0;
  for (size_t other = 0; other < controls.size(); ++other) {
    const uint32_t other_bit = uint32_t{1} << other;
    if (other != slot && (together & other_bit) && controls[other] == controls[slot]) {
      conflicts |= other_bit;
    }
  }
  return conflicts;
}

void draw_options_menu(const OptionsMenu& menu, const PlayerOptions& options, const Image& font,
                       Framebuffer& target) {
  const RenderFlags whole{.depth_test = 0, .interlace = 0};
  const int32_t cell = glyph_cell(font);
  const int32_t w = layout_width(target);
  const int32_t h = layout_height(target);
  const auto centred = [&](std::string_view text, int32_t y, Colour colour) {
    draw_text(font, text, {centred_start(w / 2, static_cast<int32_t>(text.size()), cell), y},
              colour, whole, target);
  };
  draw_rectangle({8, 8}, {w - 9, h - 9}, kMenuBacking, true, whole, target);
  draw_rectangle({8, 8}, {w - 9, h - 9}, kMenuCyan, false, whole, target);
  centred("OPTIONS", h - 24, kMenuCyan);
  // The chosen row pulses between cyan and white, as the panel's does.
  const float c = std::fabs(std::cos(5.0f * menu.seconds));
  const Colour pulse{c, 0.8f + 0.2f * c, 1.0f, 1.0f};
  const int32_t label_x = 20;
  const int32_t value_x = 20 + 15 * cell;
  constexpr std::string_view kHeadings[] = {"PICTURE", "SOUND", "CONTROLS"};
  int32_t heading = 0;
  int32_t row = 0;
  for (int32_t line = 0; line < kLineCount; ++line) {
    const bool is_heading =
        heading < 3 && line == line_of_row(row) - 1 &&
        (row == kOptionFullscreen || row == kOptionMusic || row == kOptionSensitivity);
    const int32_t y = h - 40 - 10 * (line - menu.top_line);
    const bool shown = line >= menu.top_line && line < menu.top_line + kVisibleLines;
    if (is_heading) {
      if (shown) draw_text(font, kHeadings[heading], {label_x - 6, y}, kMenuHead, whole, target);
      ++heading;
      continue;
    }
    if (shown) {
      const bool on = row == menu.row;
      if (on) draw_rectangle({14, y - 2}, {w - 15, y + 7}, kSelectedBar, true, whole, target);
      draw_text(font, row_label(row), {label_x, y}, on ? pulse : kMenuCyan, whole, target);
      std::string value = row_value(row, options);
      Colour colour = kMenuWhite;
      if (row >= kOptionFirstControl && row < kOptionResetControls) {
        const auto slot = static_cast<size_t>(row - kOptionFirstControl);
        const uint32_t conflicts = control_conflicts(options.controls, slot);
        if (menu.binding == static_cast<int32_t>(slot)) {
          value = "PRESS A KEY OR BUTTON";
          colour = kMenuYellow;
        } else if (conflicts != 0) {
          size_t first = 0;
          while ((conflicts >> first & 1u) == 0) ++first;
          value += "  ALSO " + std::string(kSlotNames[first]);
          colour = kRed;
        }
      }
      if (row == kOptionMusic || row == kOptionEffects) {
        const float volume = row == kOptionMusic ? options.music_volume : options.sfx_volume;
        const auto filled = static_cast<int32_t>(std::lround(volume * 60.0f));
        draw_rectangle({value_x, y}, {value_x + 60, y + 5}, kMenuHead, false, whole, target);
        if (filled > 0) {
          draw_rectangle({value_x, y}, {value_x + filled, y + 5}, kMenuCyan, true, whole, target);
        }
      }
      draw_text(font, value, {value_x, y}, colour, whole, target);
    }
    ++row;
  }
  centred(menu.binding >= 0 ? "PRESS THE NEW KEY OR BUTTON   BACK ON A PAD: KEEP"
                            : "UP/DOWN: CHOOSE  LEFT/RIGHT: CHANGE  ESC: BACK",
          14, kMenuYellow);
}

}  // namespace vel
