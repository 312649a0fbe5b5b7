// help_page.cpp: the goal and the player's controls, in the panel's
// colours.
#include "scene1/help_page.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "gfx/draw2d.h"
#include "scene1/hud.h"
#include "scene1/menu_colours.h"
#include "scene_api/input_codes.h"

namespace vel {

namespace {

// The slots the page names (as settings.h orders them).
constexpr size_t kForward = 0, kBack = 1, kLeft = 2, kRight = 3, kReelIn = 4, kReelOut = 5,
                 kJump = 6, kGrapple = 7, kPanel = 13;

// The keys column holds at most this many glyphs.
constexpr size_t kKeysGlyphs = 13;

struct Line {
  std::string keys;  // left column; empty: the text spans the page
  std::string_view what;
  Colour colour;
};

// The walk keys: "WASD ARROWS" while each is a single key name; the arrows
// always walk, so they alone are named otherwise.
std::string walk_keys(const std::array<int32_t, kControlSlotCount>& controls) {
  std::string keys;
  for (const size_t slot : {kForward, kLeft, kBack, kRight}) {
    const std::string name = input_code_name(controls[slot]);
    if (name.size() != 1) return "ARROWS";
    keys += name;
  }
  return keys + " ARROWS";
}

std::string name_of(const std::array<int32_t, kControlSlotCount>& controls, size_t slot) {
  return input_code_name(controls[slot]);
}

}  // namespace

void draw_help_page(const Image& font, const std::array<int32_t, kControlSlotCount>& controls,
                    Framebuffer& target) {
  // 50 glyphs at most a line: the page fits 320 pixels at the small font.
  const Line lines[] = {
      {"", "TAKE EVERY CHIP: THE LAST OPENS A BIGGER CITY", kMenuYellow},
      {"", "THE YELLOW ARROW POINTS TO THE NEAREST ONE", kMenuWhite},
      {"MOUSE", "LOOK", kMenuWhite},
      {walk_keys(controls), "WALK (AND STEER IN THE AIR)", kMenuWhite},
      {name_of(controls, kJump), "JUMP  (IN THE AIR: BRAKE)", kMenuWhite},
      {name_of(controls, kGrapple), "GRAPPLE: HOLD TO HANG ON", kMenuWhite},
      {name_of(controls, kJump) + " ON ROPE", "LEAP OFF, UP ONTO A ROOF", kMenuWhite},
      {name_of(controls, kReelIn) + " / " + name_of(controls, kReelOut),
       "REEL IN / OUT ON THE ROPE", kMenuWhite},
      {name_of(controls, kPanel), "PANEL: POINTS, HELP, QUIT", kMenuWhite},
      {"F11 / F12", "FULL SCREEN / SCREENSHOT", kMenuWhite},
      {"", "GREEN CROSSHAIR: THE ROPE WILL HOLD", kMenuCyan},
      {"", "CHIPS GIVE POINTS: UPGRADE ON THE PANEL", kMenuCyan},
  };
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
  for (const Line& line : lines) {
    if (line.keys.empty()) {
      draw_text(font, line.what,
                {centred_start(w / 2, static_cast<int32_t>(line.what.size()), cell), y},
                line.colour, whole, target);
    } else {
      const std::string_view keys = line.keys;
      draw_text(font, keys.substr(0, std::min(keys.size(), kKeysGlyphs)), {keys_x, y}, kMenuCyan,
                whole, target);
      draw_text(font, line.what, {what_x, y}, line.colour, whole, target);
    }
    y -= 10;
  }
  const std::string_view any = "PRESS SPACE, ENTER OR ESC";
  draw_text(font, any, {centred_start(w / 2, static_cast<int32_t>(any.size()), cell), 14},
            kMenuYellow, whole, target);
}

}  // namespace vel
