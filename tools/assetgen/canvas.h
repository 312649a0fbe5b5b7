// canvas.h: the RGBA picture every texture painter draws into, and the few
// integer drawing operations they share.
#pragma once

#include <cstdint>
#include <vector>

namespace vel {

struct Rgba {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 255;

  friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Row 0 is the TOP of the picture: the game keeps rows in file order and
// treats the first stored row as the top, so canvases are written as they
// are held.
struct Canvas {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<Rgba> pixels;
};

Canvas make_canvas(int32_t width, int32_t height, Rgba fill);

// Reads clamp to the nearest edge pixel; writes outside the canvas are
// dropped, so painters may draw shapes that cross the border.
Rgba pixel_at(const Canvas& canvas, int32_t x, int32_t y);
void set_pixel(Canvas& canvas, int32_t x, int32_t y, Rgba colour);

// Half-open rectangle [x0, x1) x [y0, y1), clipped to the canvas.
void fill_rect(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgba colour);

// weight is in 256ths: 0 keeps a, 256 gives b. Alpha is mixed too.
Rgba mix(Rgba a, Rgba b, int32_t weight);
// Each colour channel times percent / 100, saturating at 255; alpha kept.
Rgba scaled(Rgba colour, int32_t percent);
// Adds a signed amount to each colour channel, clamped to 0..255.
Rgba offset(Rgba colour, int32_t amount);

void blend_pixel(Canvas& canvas, int32_t x, int32_t y, Rgba colour, int32_t weight);
void blend_rect(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgba colour,
                int32_t weight);

// Light spilling from a glowing rectangle onto its surroundings: pixels up
// to `radius` outside it (Chebyshev distance) are blended towards `colour`,
// `weight` at distance 1 falling linearly to nothing past the radius. The
// rectangle itself is left alone.
void glow_around(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgba colour,
                 int32_t radius, int32_t weight);

// Whether pixel (x, y)'s centre lies within the ring between the two radii
// around (cx2 / 2, cy2 / 2); centres and radii in half pixels keep the test
// in integers while allowing rings centred between pixels.
bool in_ring(int32_t x, int32_t y, int32_t cx2, int32_t cy2, int32_t inner2, int32_t outer2);

}  // namespace vel
