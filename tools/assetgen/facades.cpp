// facades.cpp: painters of the building wall pictures.
//
// The game samples these with lighting off and fades them into black fog
// between 50 and 70 units, so every light is painted at full strength and
// the concrete is kept just above black.
#include "facades.h"

#include <string_view>

#include "font.h"
#include "pattern_rng.h"

namespace vel {

namespace {

constexpr uint32_t kStoreySeed = 0x51A7E5u;
constexpr uint32_t kStreetWindowSeed = 0x0B5E7Au;

constexpr Rgba kConcrete{38, 40, 50};
constexpr Rgba kSlab{54, 56, 68};
constexpr Rgba kSlabEdge{74, 78, 92};  // rain-wet top edge of each floor slab
constexpr Rgba kCornerLight{50, 190, 220};

enum class Room { dark, warm, cool, dim_warm, dim_cool, neon };

// Window grid of one picture size; all offsets inside a cell.
struct FacadeLayout {
  int32_t size = 64;
  int32_t cell_w = 8;
  int32_t cell_h = 16;
  int32_t window_x0 = 1;
  int32_t window_x1 = 7;
  int32_t window_y0 = 4;
  int32_t window_y1 = 14;
  int32_t slab_rows = 2;
  bool details = true;  // curtains, blinds, people: only where a pixel can show them
};

constexpr FacadeLayout kNearLayout{};
constexpr FacadeLayout kFarLayout{32, 4, 8, 1, 4, 2, 7, 1, false};

// Most rooms are dark at night; lit ones are mostly warm homes, then cool
// offices and screens, a few dim and a rare neon-lit one.
Room pick_room(uint32_t seed, int32_t column, int32_t row) {
  const uint32_t roll = hash_cell(seed, column, row) % 100;
  if (roll < 58) return Room::dark;
  if (roll < 78) return Room::warm;
  if (roll < 88) return Room::cool;
  if (roll < 93) return Room::dim_warm;
  if (roll < 97) return Room::dim_cool;
  return Room::neon;
}

Rgba room_colour(Room room, uint32_t variant) {
  switch (room) {
    case Room::warm:
      return (variant & 1) ? Rgba{255, 184, 84} : Rgba{255, 206, 120};
    case Room::cool:
      return (variant & 1) ? Rgba{110, 206, 255} : Rgba{160, 176, 255};
    case Room::dim_warm:
      return Rgba{130, 84, 52};
    case Room::dim_cool:
      return Rgba{46, 78, 120};
    case Room::neon:
      return (variant & 1) ? Rgba{236, 80, 220} : Rgba{80, 240, 170};
    case Room::dark:
      break;
  }
  return Rgba{22, 26, 38};
}

bool is_lit(Room room) {
  return room != Room::dark;
}

// Dark glass: a faint reflection of the sky at the top, a diagonal glint.
void paint_dark_window(Canvas& canvas, int32_t x0, int32_t y0, int32_t w, int32_t h,
                       uint32_t variant) {
  const Rgba top{36, 44, 66};
  const Rgba bottom{12, 15, 24};
  const int32_t glint = static_cast<int32_t>(variant % 9);
  for (int32_t y = 0; y < h; ++y) {
    const Rgba row = mix(top, bottom, h > 1 ? y * 256 / (h - 1) : 0);
    for (int32_t x = 0; x < w; ++x) {
      const bool glinting = w > 3 && (x + y) % 9 == glint;
      set_pixel(canvas, x0 + x, y0 + y, glinting ? offset(row, 14) : row);
    }
  }
}

// A lit room: brighter near the ceiling lamp, and one of curtains, blinds,
// a person or a lamp hot spot, chosen by the variant bits.
void paint_lit_window(Canvas& canvas, int32_t x0, int32_t y0, int32_t w, int32_t h, Room room,
                      uint32_t variant, bool details) {
  const Rgba base = room_colour(room, variant);
  for (int32_t y = 0; y < h; ++y) {
    // Lower rows a little darker: the room's light falls off towards the sill.
    const Rgba row = y < 2 ? offset(base, 24) : scaled(base, 100 - 3 * y);
    for (int32_t x = 0; x < w; ++x) set_pixel(canvas, x0 + x, y0 + y, row);
  }
  if (!details) {
    fill_rect(canvas, x0, y0, x0 + w, y0 + 1, offset(base, 30));
    return;
  }
  const bool strong = room == Room::warm || room == Room::cool;
  switch ((variant >> 1) % 5) {
    case 0:  // curtain drawn on one side
    {
      const int32_t cx = (variant >> 4) & 1 ? x0 : x0 + w - 2;
      fill_rect(canvas, cx, y0, cx + 2, y0 + h, scaled(base, 62));
      break;
    }
    case 1:  // blinds
      for (int32_t y = 1; y < h; y += 2) {
        fill_rect(canvas, x0, y0 + y, x0 + w, y0 + y + 1, scaled(base, 70));
      }
      break;
    case 2:  // somebody standing at the window
      if (strong) {
        const Rgba shadow = scaled(base, 22);
        const int32_t px = x0 + 1 + static_cast<int32_t>((variant >> 4) % 3);
        fill_rect(canvas, px, y0 + h - 5, px + 2, y0 + h - 3, shadow);  // head
        fill_rect(canvas, px - 1, y0 + h - 3, px + 3, y0 + h, shadow);  // shoulders
      }
      break;
    case 3:  // a lamp close to the glass
      fill_rect(canvas, x0 + 1, y0 + 1, x0 + 3, y0 + 3, offset(base, 60));
      break;
    default:  // plain room, a darker band of furniture at the bottom
      fill_rect(canvas, x0, y0 + h - 2, x0 + w, y0 + h, scaled(base, 55));
      break;
  }
}

void paint_concrete(Canvas& canvas, uint32_t seed, Rgba concrete) {
  for (int32_t y = 0; y < canvas.height; ++y) {
    for (int32_t x = 0; x < canvas.width; ++x) {
      // Fine grain plus long vertical rain stains, one per column.
      const int32_t grain = static_cast<int32_t>(hash_cell(seed, x, y) % 7) - 3;
      const int32_t stain = (hash_cell(seed ^ 0x5A5Au, x, 0) % 4 == 0) ? -5 : 0;
      set_pixel(canvas, x, y, offset(concrete, grain + stain));
    }
  }
}

// One row of window cells whose top is at y_top; `row` is the cell row used
// for the room choice.
void paint_window_row(Canvas& canvas, const FacadeLayout& layout, uint32_t seed, int32_t row,
                      int32_t y_top) {
  const int32_t w = layout.window_x1 - layout.window_x0;
  const int32_t h = layout.window_y1 - layout.window_y0;
  for (int32_t column = 0; column * layout.cell_w < layout.size; ++column) {
    const int32_t x0 = column * layout.cell_w + layout.window_x0;
    const int32_t y0 = y_top + layout.window_y0;
    const Room room = pick_room(seed, column, row);
    const uint32_t variant = hash_cell(seed ^ 0xA11CEu, column, row);
    if (is_lit(room)) {
      // Spill onto the surrounding concrete before the glass goes on top.
      const int32_t spill = room == Room::dim_warm || room == Room::dim_cool ? 40 : 90;
      glow_around(canvas, x0, y0, x0 + w, y0 + h, room_colour(room, variant), 1,
                  layout.details ? spill : spill / 2);
      paint_lit_window(canvas, x0, y0, w, h, room, variant, layout.details);
    } else {
      paint_dark_window(canvas, x0, y0, w, h, variant);
    }
    // The sill below each window, and a rain streak under some of them.
    if (layout.details) {
      fill_rect(canvas, x0, y0 + h, x0 + w, y0 + h + 1, kSlab);
      if (variant % 3 == 0) {
        const int32_t sx = x0 + static_cast<int32_t>((variant >> 3) % w);
        blend_rect(canvas, sx, y0 + h + 1, sx + 1, y_top + layout.cell_h, Rgba{10, 10, 14}, 90);
      }
    }
  }
}

void paint_slab(Canvas& canvas, const FacadeLayout& layout, int32_t y_top) {
  fill_rect(canvas, 0, y_top, layout.size, y_top + layout.slab_rows, kSlab);
  fill_rect(canvas, 0, y_top, layout.size, y_top + 1, kSlabEdge);
}

// A sign of neon letters in a neon frame, with its glow on the wall.
void paint_neon_sign(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                     std::string_view text, Rgba tube, Rgba letters) {
  fill_rect(canvas, x0, y0, x1, y1, Rgba{18, 14, 26});
  glow_around(canvas, x0, y0, x1, y1, tube, 2, 110);
  for (int32_t x = x0; x < x1; ++x) {
    set_pixel(canvas, x, y0, tube);
    set_pixel(canvas, x, y1 - 1, tube);
  }
  for (int32_t y = y0; y < y1; ++y) {
    set_pixel(canvas, x0, y, tube);
    set_pixel(canvas, x1 - 1, y, tube);
  }
  const int32_t text_width = static_cast<int32_t>(text.size()) * (kGlyphWidth + 1) - 1;
  const int32_t tx = x0 + (x1 - x0 - text_width) / 2;
  const int32_t ty = y0 + (y1 - y0 - 7) / 2;
  const Rgba halo = mix(Rgba{18, 14, 26}, tube, 110);
  for (size_t k = 0; k < text.size(); ++k) {
    const int32_t gx = tx + static_cast<int32_t>(k) * (kGlyphWidth + 1);
    for (int32_t y = 0; y < 7; ++y) {
      for (int32_t x = 0; x < kGlyphWidth; ++x) {
        if (!glyph_ink(text[k], x, y)) continue;
        // A soft tube: lit core with a halo on the free pixels beside it.
        for (int32_t d = -1; d <= 1; d += 2) {
          if (!glyph_ink(text[k], x + d, y) && x + d >= 0 && x + d < kGlyphWidth) {
            set_pixel(canvas, gx + x + d, ty + y, halo);
          }
        }
      }
    }
    for (int32_t y = 0; y < 7; ++y) {
      for (int32_t x = 0; x < kGlyphWidth; ++x) {
        if (glyph_ink(text[k], x, y)) set_pixel(canvas, gx + x, ty + y, letters);
      }
    }
  }
}

// Shop window: a bright interior with shelves of colourful goods.
void paint_shop_window(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  constexpr Rgba kGoods[5] = {
      {255, 80, 80}, {80, 200, 255}, {255, 220, 60}, {120, 255, 120}, {255, 120, 220}};
  for (int32_t y = y0; y < y1; ++y) {
    const Rgba light = mix(Rgba{255, 242, 210}, Rgba{226, 190, 136}, (y - y0) * 256 / (y1 - y0));
    fill_rect(canvas, x0, y, x1, y + 1, light);
  }
  for (int32_t shelf = y0 + 6; shelf < y1 - 4; shelf += 6) {
    fill_rect(canvas, x0, shelf, x1, shelf + 1, Rgba{128, 96, 70});
    for (int32_t x = x0 + 1; x < x1 - 1; x += 2) {
      const uint32_t pick = hash_cell(0x600D5u, x, shelf);
      if (pick % 4 != 0) set_pixel(canvas, x, shelf - 1, kGoods[pick % 5]);
    }
  }
  fill_rect(canvas, (x0 + x1) / 2, y0, (x0 + x1) / 2 + 1, y1, Rgba{44, 42, 50});  // glazing bar
  fill_rect(canvas, x0, y1 - 4, x1, y1, Rgba{36, 30, 36});  // bulkhead under the glass
}

void paint_entrance(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  fill_rect(canvas, x0, y0, x1, y1, Rgba{30, 30, 38});  // frame
  for (int32_t y = y0 + 2; y < y1; ++y) {
    const Rgba glass = mix(Rgba{170, 230, 255}, Rgba{96, 168, 220}, (y - y0) * 256 / (y1 - y0));
    fill_rect(canvas, x0 + 1, y, x1 - 1, y + 1, glass);
  }
  const int32_t middle = (x0 + x1) / 2;
  fill_rect(canvas, middle, y0 + 2, middle + 1, y1, Rgba{30, 30, 38});
  set_pixel(canvas, middle - 1, (y0 + y1) / 2 + 2, Rgba{220, 220, 228});  // handles
  set_pixel(canvas, middle + 1, (y0 + y1) / 2 + 2, Rgba{220, 220, 228});
  fill_rect(canvas, middle - 2, y0, middle + 3, y0 + 1, Rgba{60, 255, 130});  // exit light
}

// A noodle bar: orange light, a counter, stools and red lanterns.
void paint_food_bar(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  for (int32_t y = y0; y < y1; ++y) {
    const Rgba light = mix(Rgba{255, 170, 80}, Rgba{214, 108, 50}, (y - y0) * 256 / (y1 - y0));
    fill_rect(canvas, x0, y, x1, y + 1, light);
  }
  fill_rect(canvas, x0, y1 - 10, x1, y1 - 7, Rgba{92, 50, 30});  // counter
  for (int32_t x = x0 + 2; x < x1 - 1; x += 4) {
    fill_rect(canvas, x, y1 - 7, x + 2, y1 - 6, Rgba{40, 26, 24});  // stool seats
    fill_rect(canvas, x, y1 - 6, x + 1, y1, Rgba{40, 26, 24});
  }
  for (int32_t x = x0 + 3; x < x1 - 2; x += 7) {
    glow_around(canvas, x, y0 + 3, x + 2, y0 + 5, Rgba{255, 90, 50}, 1, 120);
    fill_rect(canvas, x, y0 + 3, x + 2, y0 + 5, Rgba{255, 56, 40});  // lantern
    set_pixel(canvas, x, y0 + 2, Rgba{60, 30, 26});
  }
}

}  // namespace

Canvas paint_storey_facade(int32_t size) {
  const FacadeLayout& layout = size == kFarLayout.size ? kFarLayout : kNearLayout;
  Canvas canvas = make_canvas(layout.size, layout.size, kConcrete);
  paint_concrete(canvas, kStoreySeed, kConcrete);
  for (int32_t row = 0; row * layout.cell_h < layout.size; ++row) {
    const int32_t y_top = row * layout.cell_h;
    paint_slab(canvas, layout, y_top);
    paint_window_row(canvas, layout, kStoreySeed, row, y_top);
  }
  // A thin light along the building's corner: column 0 is where each wall
  // begins, so every corner of every tower carries one.
  fill_rect(canvas, 0, 0, 1, layout.size, kCornerLight);
  return canvas;
}

Canvas paint_street_facade() {
  constexpr int32_t size = 64;
  constexpr Rgba concrete{44, 42, 50};
  Canvas canvas = make_canvas(size, size, concrete);
  paint_concrete(canvas, kStreetWindowSeed, concrete);

  // Upper part: one floor of rooms above the shops.
  paint_slab(canvas, kNearLayout, 0);
  paint_window_row(canvas, kNearLayout, kStreetWindowSeed, 0, 0);
  paint_slab(canvas, kNearLayout, 16);

  // Sign band.
  fill_rect(canvas, 0, 18, size, 29, Rgba{22, 20, 28});
  paint_neon_sign(canvas, 2, 19, 28, 28, "BAR", Rgba{255, 60, 190}, Rgba{255, 190, 240});
  paint_neon_sign(canvas, 35, 19, 61, 28, "OPEN", Rgba{40, 220, 255}, Rgba{200, 250, 255});

  // Awning with a strip of lights under its edge.
  fill_rect(canvas, 0, 29, size, 30, Rgba{28, 28, 34});
  fill_rect(canvas, 0, 30, size, 32, Rgba{255, 236, 190});

  // Shop fronts between three pillars.
  fill_rect(canvas, 0, 32, 3, 60, Rgba{50, 48, 56});
  fill_rect(canvas, 30, 32, 33, 60, Rgba{50, 48, 56});
  fill_rect(canvas, 61, 32, size, 60, Rgba{50, 48, 56});
  paint_shop_window(canvas, 3, 32, 30, 60);
  paint_entrance(canvas, 33, 32, 44, 60);
  paint_food_bar(canvas, 44, 32, 61, 60);

  // Wet pavement: the rows below the shops mirror them, dimmer further down.
  for (int32_t y = 60; y < size; ++y) {
    const int32_t mirror_row = 59 - 2 * (y - 60);
    const int32_t strength = 96 - 28 * (y - 60);
    for (int32_t x = 0; x < size; ++x) {
      const Rgba wet{22, 22, 28};
      set_pixel(canvas, x, y, mix(wet, pixel_at(canvas, x, mirror_row), strength));
    }
  }
  fill_rect(canvas, 0, 0, 1, 29, kCornerLight);
  return canvas;
}

}  // namespace vel
