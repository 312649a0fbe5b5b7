// help_page.cpp: the goal and the default controls, in the panel's colours.
#include "scene1/help_page.h"

#include <string_view>

#include "gfx/draw2d.h"
#include "scene1/hud.h"
#include "scene1/menu_colours.h"

namespace vel {

namespace {

struct Line {
  std::string_view keys;  // left column; empty: the text spans the page
  std::string_view what;
  Colour colour;
};

// 50 glyphs at most a line: the page fits 320 pixels at the small font.
constexpr Line kLines[] = {
    {"", "TAKE EVERY CHIP: THE LAST OPENS A BIGGER CITY", kMenuYellow},
    {"", "THE YELLOW ARROW POINTS TO THE NEAREST ONE", kMenuWhite},
    {"MOUSE", "LOOK", kMenuWhite},
    {"WASD ARROWS", "WALK (AND STEER IN THE AIR)", kMenuWhite},
    {"SPACE", "JUMP  (IN THE AIR: BRAKE)", kMenuWhite},
    {"LEFT BUTTON", "GRAPPLE: HOLD TO HANG ON", kMenuWhite},
    {"SPACE ON ROPE", "LEAP OFF, UP ONTO A ROOF", kMenuWhite},
    {"Q / E", "REEL IN / OUT ON THE ROPE", kMenuWhite},
    {"ESC", "PANEL: POINTS, HELP, QUIT", kMenuWhite},
    {"F11 / F12", "FULL SCREEN / SCREENSHOT", kMenuWhite},
    {"", "GREEN CROSSHAIR: THE ROPE WILL HOLD", kMenuCyan},
    {"", "CHIPS GIVE POINTS: UPGRADE ON THE PANEL", kMenuCyan},
};

}  // namespace

void draw_help_page(const Image& font, Framebuffer& target) {
  const RenderFlags whole{.depth_test = 0, .interlace = 0};
  const int32_t cell = glyph_cell(font);
  const int32_t w = layout_width(target);
  const int32_t h = layout_height(target);
  draw_rectangle({8, 8}, {w - 9, h - 9}, kMenuBacking, true, whole, target);
  draw_rectangle({8, 8}, {w - 9, h - 9}, kMenuCyan, false, whole, target);
  const std::string_view title = "HOW TO PLAY";
  draw_text(font, title, {centred_start(w / 2, static_cast<int32_t>(title.size()), cell), h - 24},
            kMenuCyan, whole, target);
  int32_t y = h - 40;
  const int32_t keys_x = 16;
  const int32_t what_x = 16 + 12 * cell;
  for (const Line& line : kLines) {
    if (line.keys.empty()) {
      draw_text(font, line.what,
                {centred_start(w / 2, static_cast<int32_t>(line.what.size()), cell), y},
                line.colour, whole, target);
    } else {
      draw_text(font, line.keys, {keys_x, y}, kMenuCyan, whole, target);
      draw_text(font, line.what, {what_x, y}, line.colour, whole, target);
    }
    y -= 10;
  }
  const std::string_view any = "PRESS SPACE, ENTER OR ESC";
  draw_text(font, any, {centred_start(w / 2, static_cast<int32_t>(any.size()), cell), 14},
            kMenuYellow, whole, target);
}

}  // namespace vel
