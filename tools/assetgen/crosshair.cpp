// crosshair.cpp: painter of the reticle corner brackets.
#include "crosshair.h"

namespace vel {

Canvas paint_crosshair_corner(ReticleCorner corner) {
  constexpr int32_t size = 16;
  constexpr int32_t arm = 10;  // bracket arm length
  Canvas canvas = make_canvas(size, size, Rgba{0, 0, 0, 0});
  const bool right = corner != ReticleCorner::bottom_left;
  const bool bottom = corner != ReticleCorner::top_right;
  // Drawn as for the top-left corner, then mirrored into place.
  const auto put = [&](int32_t x, int32_t y, Rgba colour) {
    set_pixel(canvas, right ? size - 1 - x : x, bottom ? size - 1 - y : y, colour);
  };
  const Rgba core{200, 250, 255, 255};
  const Rgba tip{60, 210, 255, 140};  // arms fade out at their ends
  for (int32_t k = 0; k < arm; ++k) {
    const Rgba colour = k < arm - 2 ? core : tip;
    for (int32_t width = 0; width < 2; ++width) {
      put(k, width, colour);
      put(width, k, colour);
    }
  }
  return canvas;
}

}  // namespace vel
