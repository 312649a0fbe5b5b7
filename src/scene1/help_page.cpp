// help_page.cpp: the goal and the default controls, in the panel's colours.
#include "scene1/help_page.h"

#include <string_view>

#include "gfx/draw2d.h"
#include "scene1/hud.h"

namespace vel {

namespace {

constexpr Colour kCyan{0.0f, 0.8f, 1.0f, 1.0f};
constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Colour kYellow{1.0f, 0.85f, 0.2f, 1.0f};
constexpr Colour kBacking{0.0f, 0.03f, 0.08f, 0.92f};

struct Line {
  std::string_view keys;  // left column; empty: the text spans the page
  std::string_view what;
  Colour colour;
};

// 50 glyphs at most a line: the page fits 320 pixels at the small font.
constexpr Line kLines[] = {
    {"", "TAKE EVERY CHIP: THE LAST OPENS A BIGGER CITY", kYellow},
    {"", "THE YELLOW ARROW POINTS TO THE NEAREST ONE", kWhite},
    {"MOUSE", "LOOK", kWhite},
    {"WASD ARROWS", "WALK (AND STEER IN THE AIR)", kWhite},
    {"SPACE", "JUMP  (IN THE AIR: BRAKE)", kWhite},
    {"LEFT BUTTON", "GRAPPLE: HOLD TO HANG ON", kWhite},
    {"SPACE ON ROPE", "LEAP OFF, UP ONTO A ROOF", kWhite},
    {"Q / E", "REEL IN / OUT ON THE ROPE", kWhite},
    {"ESC", "PANEL: POINTS, HELP, QUIT", kWhite},
    {"F11 / F12", "FULL SCREEN / SCREENSHOT", kWhite},
    {"", "GREEN CROSSHAIR: THE ROPE WILL HOLD", kCyan},
    {"", "CHIPS GIVE POINTS: UPGRADE ON THE PANEL", kCyan},
};

}  // namespace

void draw_help_page(const Image& font, Framebuffer& target) {
  const RenderFlags whole{.depth_test = 0, .interlace = 0};
  const int32_t cell = glyph_cell(font);
  const int32_t w = layout_width(target);
  const int32_t h = layout_height(target);
  draw_rectangle({8, 8}, {w - 9, h - 9}, kBacking, true, whole, target);
  draw_rectangle({8, 8}, {w - 9, h - 9}, kCyan, false, whole, target);
  const std::string_view title = "HOW TO PLAY";
  draw_text(font, title, {centred_start(w / 2, static_cast<int32_t>(title.size()), cell), h - 24},
            kCyan, whole, target);
  int32_t y = h - 40;
  const int32_t keys_x = 16;
  const int32_t what_x = 16 + 12 * cell;
  for (const Line& line : kLines) {
    if (line.keys.empty()) {
      draw_text(font, line.what,
                {centred_start(w / 2, static_cast<int32_t>(line.what.size()), cell), y},
                line.colour, whole, target);
    } else {
      draw_text(font, line.keys, {keys_x, y}, kCyan, whole, target);
      draw_text(font, line.what, {what_x, y}, line.colour, whole, target);
    }
    y -= 10;
  }
  const std::string_view any = "PRESS SPACE, ENTER OR ESC";
  draw_text(font, any, {centred_start(w / 2, static_cast<int32_t>(any.size()), cell), 14}, kYellow,
            whole, target);
}

}  // namespace vel
