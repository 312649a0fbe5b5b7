// roofs.cpp: painters of the roof plates. Both are written colour-mapped, so
// every shade here is chosen from a handful of levels (at most 256 colours).
#include "roofs.h"

#include <algorithm>

#include "pattern_rng.h"

namespace vel {

namespace {

constexpr int32_t kSize = 64;
constexpr uint32_t kRoofSeed = 0x7E77ACEu;
constexpr uint32_t kStationSeed = 0x57A7104u;

// Tar with three grain levels, so the palette stays small.
void paint_membrane(Canvas& canvas, uint32_t seed, Rgba base) {
  for (int32_t y = 0; y < kSize; ++y) {
    for (int32_t x = 0; x < kSize; ++x) {
      const int32_t level = static_cast<int32_t>(hash_cell(seed, x, y) % 3);
      set_pixel(canvas, x, y, offset(base, 3 * level - 3));
    }
  }
}

// Standing water: a blob of overlapping discs, darker and bluer than the
// tar, with a few bright ripples catching the city lights.
void paint_puddle(Canvas& canvas, uint32_t seed, int32_t cx, int32_t cy) {
  PatternRng rng{seed};
  for (int32_t disc = 0; disc < 4; ++disc) {
    const int32_t dx = next_below(rng, 9) - 4;
    const int32_t dy = next_below(rng, 5) - 2;
    const int32_t radius = 3 + next_below(rng, 3);
    for (int32_t y = cy + dy - radius; y <= cy + dy + radius; ++y) {
      for (int32_t x = cx + dx - radius; x <= cx + dx + radius; ++x) {
        const int32_t ox = x - cx - dx, oy = y - cy - dy;
        if (ox * ox + 2 * oy * oy <= radius * radius) set_pixel(canvas, x, y, Rgba{28, 34, 48});
      }
    }
  }
  for (int32_t ripple = 0; ripple < 5; ++ripple) {
    const int32_t x = cx + next_below(rng, 9) - 4;
    const int32_t y = cy + next_below(rng, 5) - 2;
    if (pixel_at(canvas, x, y) == Rgba{28, 34, 48}) set_pixel(canvas, x, y, Rgba{92, 112, 150});
  }
}

void paint_seams(Canvas& canvas, Rgba seam) {
  for (int32_t k = 0; k < kSize; ++k) {
    set_pixel(canvas, k, 0, seam);
    set_pixel(canvas, 0, k, seam);
    set_pixel(canvas, k, kSize - 1, seam);
    set_pixel(canvas, kSize - 1, k, seam);
  }
}

void paint_vent_unit(Canvas& canvas, int32_t x0, int32_t y0) {
  constexpr int32_t w = 20, h = 14;
  fill_rect(canvas, x0 + 1, y0 + h, x0 + w + 1, y0 + h + 2, Rgba{24, 24, 28});  // shadow
  fill_rect(canvas, x0, y0, x0 + w, y0 + h, Rgba{70, 74, 82});
  fill_rect(canvas, x0, y0, x0 + w, y0 + 1, Rgba{104, 110, 120});  // wet top edge
  for (int32_t y = y0 + 3; y < y0 + h - 2; y += 2) {
    fill_rect(canvas, x0 + 2, y, x0 + 9, y + 1, Rgba{30, 32, 38});  // slats
  }
  // The round fan grille beside the slats.
  for (int32_t y = y0 + 2; y < y0 + 12; ++y) {
    for (int32_t x = x0 + 9; x < x0 + 19; ++x) {
      if (in_ring(x, y, 2 * (x0 + 14), 2 * (y0 + 7), 0, 9)) {
        const bool blade = (x - x0 - 14) == 0 || (y - y0 - 7) == 0;
        set_pixel(canvas, x, y, blade ? Rgba{88, 92, 100} : Rgba{20, 20, 24});
      }
    }
  }
  set_pixel(canvas, x0 + w - 2, y0 + h - 2, Rgba{255, 40, 40});  // status lights
  set_pixel(canvas, x0 + w - 4, y0 + h - 2, Rgba{40, 255, 90});
}

void paint_hatch(Canvas& canvas, int32_t x0, int32_t y0) {
  constexpr int32_t w = 14, h = 12;
  for (int32_t y = y0; y < y0 + h; ++y) {
    for (int32_t x = x0; x < x0 + w; ++x) {
      const bool stripe = ((x + y) / 3) % 2 == 0;
      set_pixel(canvas, x, y, stripe ? Rgba{230, 184, 40} : Rgba{24, 22, 20});
    }
  }
  fill_rect(canvas, x0 + 3, y0 + 3, x0 + w - 3, y0 + h - 3, Rgba{60, 62, 66});
  fill_rect(canvas, x0 + 3, y0 + 3, x0 + w - 3, y0 + 4, Rgba{90, 92, 98});
}

}  // namespace

Canvas paint_roof_plate() {
  Canvas canvas = make_canvas(kSize, kSize, Rgba{});
  paint_membrane(canvas, kRoofSeed, Rgba{46, 48, 54});
  // Roofing sheets: faint seams every 16 pixels.
  for (int32_t k = 16; k < kSize; k += 16) {
    fill_rect(canvas, k, 0, k + 1, kSize, Rgba{38, 39, 44});
  }
  paint_puddle(canvas, kRoofSeed + 1, 14, 16);
  paint_puddle(canvas, kRoofSeed + 2, 48, 50);
  paint_vent_unit(canvas, 36, 8);
  paint_hatch(canvas, 8, 40);
  // A painted walkway line of dull yellow across the plate.
  for (int32_t x = 26; x < kSize; x += 4) fill_rect(canvas, x, 32, x + 2, 33, Rgba{150, 128, 48});
  paint_seams(canvas, Rgba{78, 80, 88});
  return canvas;
}

Canvas paint_station_plate() {
  Canvas canvas = make_canvas(kSize, kSize, Rgba{});
  paint_membrane(canvas, kStationSeed, Rgba{32, 34, 44});
  // Landing grid.
  for (int32_t k = 8; k < kSize; k += 8) {
    fill_rect(canvas, k, 0, k + 1, kSize, Rgba{44, 48, 62});
    fill_rect(canvas, 0, k, kSize, k + 1, Rgba{44, 48, 62});
  }
  // The ring: a bright core with two bands of halo inside and outside.
  constexpr int32_t centre2 = kSize;  // the picture's centre, in half pixels
  constexpr Rgba kHaloOuter{28, 96, 100};
  constexpr Rgba kHaloInner{48, 170, 170};
  constexpr Rgba kRing{110, 255, 240};
  for (int32_t y = 0; y < kSize; ++y) {
    for (int32_t x = 0; x < kSize; ++x) {
      if (in_ring(x, y, centre2, centre2, 32, 48)) set_pixel(canvas, x, y, kHaloOuter);
      if (in_ring(x, y, centre2, centre2, 35, 45)) set_pixel(canvas, x, y, kHaloInner);
      if (in_ring(x, y, centre2, centre2, 37, 43)) set_pixel(canvas, x, y, kRing);
    }
  }
  // The charging cross in the middle.
  fill_rect(canvas, 24, 30, 40, 34, kHaloInner);
  fill_rect(canvas, 30, 24, 34, 40, kHaloInner);
  fill_rect(canvas, 25, 31, 39, 33, Rgba{220, 255, 250});
  fill_rect(canvas, 31, 25, 33, 39, Rgba{220, 255, 250});
  // Magenta beacons on the diagonals, outside the ring.
  constexpr int32_t kBeacons[4][2] = {{9, 9}, {53, 9}, {9, 53}, {53, 53}};
  for (const auto& beacon : kBeacons) {
    glow_around(canvas, beacon[0], beacon[1], beacon[0] + 2, beacon[1] + 2, Rgba{255, 60, 200}, 1,
                120);
    fill_rect(canvas, beacon[0], beacon[1], beacon[0] + 2, beacon[1] + 2, Rgba{255, 120, 230});
  }
  // Amber rim light along the plate's edges (the roof's rim and its middle
  // seams once the plate repeats), fading inwards. The game never quite
  // reaches the last column and row, so the far edges start one pixel in.
  constexpr Rgba kRim[4] = {{255, 176, 48}, {255, 176, 48}, {150, 96, 34}, {70, 52, 36}};
  for (int32_t y = 0; y < kSize; ++y) {
    for (int32_t x = 0; x < kSize; ++x) {
      const int32_t near_edge = std::min(std::min(x, y) + 1, kSize - 1 - std::max(x, y));
      if (near_edge < 4) set_pixel(canvas, x, y, kRim[near_edge]);
    }
  }
  return canvas;
}

}  // namespace vel
