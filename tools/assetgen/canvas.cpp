// canvas.cpp: integer drawing on the RGBA canvases of the texture painters.
#include "canvas.h"

#include <algorithm>
#include <cstddef>

namespace vel {

namespace {

uint8_t clamp_channel(int32_t value) {
  return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

size_t index_of(const Canvas& canvas, int32_t x, int32_t y) {
  return static_cast<size_t>(y) * static_cast<size_t>(canvas.width) + static_cast<size_t>(x);
}

bool inside(const Canvas& canvas, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < canvas.width && y < canvas.height;
}

}  // namespace

Canvas make_canvas(int32_t width, int32_t height, Rgba fill) {
  Canvas canvas;
  canvas.width = width;
  canvas.height = height;
  canvas.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
  return canvas;
}

Rgba pixel_at(const Canvas& canvas, int32_t x, int32_t y) {
  x = std::clamp(x, 0, canvas.width - 1);
  y = std::clamp(y, 0, canvas.height - 1);
  return canvas.pixels[index_of(canvas, x, y)];
}

void set_pixel(Canvas& canvas, int32_t x, int32_t y, Rgba colour) {
  if (inside(canvas, x, y)) canvas.pixels[index_of(canvas, x, y)] = colour;
}

void fill_rect(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgba colour) {
  for (int32_t y = std::max(y0, 0); y < std::min(y1, canvas.height); ++y) {
    for (int32_t x = std::max(x0, 0); x < std::min(x1, canvas.width); ++x) {
      canvas.pixels[index_of(canvas, x, y)] = colour;
    }
  }
}

Rgba mix(Rgba a, Rgba b, int32_t weight) {
  weight = std::clamp(weight, 0, 256);
  const auto lerp = [weight](uint8_t from, uint8_t to) {
    return clamp_channel((from * (256 - weight) + to * weight) / 256);
  };
  return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b), lerp(a.a, b.a)};
}

Rgba scaled(Rgba colour, int32_t percent) {
  return {clamp_channel(colour.r * percent / 100), clamp_channel(colour.g * percent / 100),
          clamp_channel(colour.b * percent / 100), colour.a};
}

Rgba offset(Rgba colour, int32_t amount) {
  return {clamp_channel(colour.r + amount), clamp_channel(colour.g + amount),
          clamp_channel(colour.b + amount), colour.a};
}

void blend_pixel(Canvas& canvas, int32_t x, int32_t y, Rgba colour, int32_t weight) {
  if (!inside(canvas, x, y)) return;
  Rgba& target = canvas.pixels[index_of(canvas, x, y)];
  const uint8_t alpha = target.a;
  target = mix(target, colour, weight);
  target.a = alpha;
}

void blend_rect(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgba colour,
                int32_t weight) {
  for (int32_t y = y0; y < y1; ++y) {
    for (int32_t x = x0; x < x1; ++x) blend_pixel(canvas, x, y, colour, weight);
  }
}

void glow_around(Canvas& canvas, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgba colour,
                 int32_t radius, int32_t weight) {
  for (int32_t y = y0 - radius; y < y1 + radius; ++y) {
    for (int32_t x = x0 - radius; x < x1 + radius; ++x) {
      const int32_t dx = x < x0 ? x0 - x : (x >= x1 ? x - x1 + 1 : 0);
      const int32_t dy = y < y0 ? y0 - y : (y >= y1 ? y - y1 + 1 : 0);
      const int32_t distance = std::max(dx, dy);
      if (distance == 0) continue;
      blend_pixel(canvas, x, y, colour, weight * (radius + 1 - distance) / radius);
    }
  }
}

bool in_ring(int32_t x, int32_t y, int32_t cx2, int32_t cy2, int32_t inner2, int32_t outer2) {
  // Pixel centres sit at (2x + 1, 2y + 1) in half pixels.
  const int64_t dx = 2 * x + 1 - cx2;
  const int64_t dy = 2 * y + 1 - cy2;
  const int64_t d2 = dx * dx + dy * dy;
  return d2 >= static_cast<int64_t>(inner2) * inner2 && d2 < static_cast<int64_t>(outer2) * outer2;
}

}  // namespace vel
