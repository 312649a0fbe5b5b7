// pixels.h: reading single pixels of a render target the way the drawing
// operations address them (x right, y up from the bottom row), and small
// images built in code for the drawing tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>

#include "gfx/framebuffer.h"
#include "gfx/image.h"

namespace vel::test {

struct Bgr {
  uint8_t b = 0;
  uint8_t g = 0;
  uint8_t r = 0;
  friend bool operator==(const Bgr&, const Bgr&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Bgr& p) {
    return out << "(b " << int{p.b} << ", g " << int{p.g} << ", r " << int{p.r} << ")";
  }
};

// The colours the drawing tests paint with, as the renderer takes them
// (Colour, channels 0..1) and as they land in the target (Bgr bytes).
inline constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr Colour kBlack{0.0f, 0.0f, 0.0f, 1.0f};
inline constexpr Colour kRed{1.0f, 0.0f, 0.0f, 1.0f};
inline constexpr Colour kGreen{0.0f, 1.0f, 0.0f, 1.0f};
inline constexpr Colour kBlue{0.0f, 0.0f, 1.0f, 1.0f};
inline constexpr Bgr kWhitePx{255, 255, 255};
inline constexpr Bgr kBlackPx{0, 0, 0};
inline constexpr Bgr kRedPx{0, 0, 255};
inline constexpr Bgr kGreenPx{0, 255, 0};

inline size_t pixel_offset(const Framebuffer& target, int32_t x, int32_t y) {
  return static_cast<size_t>(target.height - 1 - y) * static_cast<size_t>(target.width) +
         static_cast<size_t>(x);
}

inline Bgr pixel_at(const Framebuffer& target, int32_t x, int32_t y) {
  const uint8_t* p = &target.colour[3 * pixel_offset(target, x, y)];
  return {p[0], p[1], p[2]};
}

inline float depth_at(const Framebuffer& target, int32_t x, int32_t y) {
  return target.depth[pixel_offset(target, x, y)];
}

// A true-colour image of one colour.
inline Image solid_image(int32_t width, int32_t height, Colour colour) {
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), colour);
  return image;
}

// Setting the texel in column x of stored row r (row 0 is the top).
inline void set_texel(Image& image, int32_t x, int32_t stored_row, Colour colour) {
  image.pixels[static_cast<size_t>(stored_row) * static_cast<size_t>(image.width) +
               static_cast<size_t>(x)] = colour;
}

}  // namespace vel::test
