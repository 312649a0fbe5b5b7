// title_text.cpp: the enlarged lettering of the title: font glyph cells
// read from the image and written as solid blocks.
#include "title/title_text.h"

#include <algorithm>
#include <cstdint>

namespace vel {

namespace {

uint8_t channel(float value) {
  return static_cast<uint8_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f);
}

// Fills the block whose bottom-left corner is (x, y), y upward, in layout
// pixels: target.scale times as large in the target's own.
void fill_block(int32_t x, int32_t y, int32_t block, const uint8_t bgr[3], Framebuffer& target) {
  const int64_t n = target.scale;
  const int64_t x0 = std::max<int64_t>(x * n, 0);
  const int64_t x1 = std::min<int64_t>((int64_t{x} + block) * n, target.width);
  const int64_t y0 = std::max<int64_t>(y * n, 0);
  const int64_t y1 = std::min<int64_t>((int64_t{y} + block) * n, target.height);
  for (int64_t py = y0; py < y1; ++py) {
    const size_t row = static_cast<size_t>(target.height - 1 - py);
    for (int64_t px = x0; px < x1; ++px) {
      uint8_t* pixel = &target.colour[3 * (row * static_cast<size_t>(target.width) + px)];
      pixel[0] = bgr[0];
      pixel[1] = bgr[1];
      pixel[2] = bgr[2];
    }
  }
}

}  // namespace

void draw_large_text(const Image& font, std::string_view text, int32_t centre_x, int32_t y,
                     int32_t block, Colour colour, Framebuffer& target) {
  const int32_t cell = font.width / 8;
  if (cell <= 0 || font.pixels.size() != static_cast<size_t>(font.width) * font.height) return;
  // Glyph cells overlap by two columns, as in the HUD's text.
  const int32_t advance = (cell - 2) * block;
  const int32_t width = static_cast<int32_t>(text.size()) * advance + 2 * block;
  const uint8_t bgr[3] = {channel(colour.b), channel(colour.g), channel(colour.r)};
  int32_t pen_x = centre_x - width / 2;
  const int32_t top = y + cell * block / 2;
  for (const char byte : text) {
    const int32_t g = static_cast<uint8_t>(byte) - 32;
    const int32_t column = g % 8;
    const int32_t row = g / 8;
    if (g >= 0 && (row + 1) * cell <= font.height) {
      for (int32_t gy = 0; gy < cell; ++gy) {
        for (int32_t gx = 0; gx < cell; ++gx) {
          const size_t index = static_cast<size_t>(row * cell + gy) * font.width +
                               static_cast<size_t>(column * cell + gx);
          if (font.pixels[index].a <= 0.5f) continue;
          fill_block(pen_x + gx * block, top - (gy + 1) * block, block, bgr, target);
        }
      }
    }
    pen_x += advance;
  }
}

}  // namespace vel
