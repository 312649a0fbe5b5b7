// framebuffer.h: the render target and the operations that act on it as a
// whole (clears, fades, sky gradient, conversion to an Image).
//
// Coordinates: x to the right, y upward from the bottom row. Pixel (x, y)
// lives in stored row r = height - 1 - y; colour bytes are blue, green, red.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/image.h"
#include "gfx/vec.h"

namespace vel {

inline constexpr float kDepthEmpty = 3.4028235e38f;

// The game's picture: every scene draws into a framebuffer of this size and
// the screenshot holds exactly these pixels.
inline constexpr int32_t kPictureWidth = 320;
inline constexpr int32_t kPictureHeight = 180;

struct Framebuffer {
  std::vector<uint8_t> colour;  // 3 * width * height, BGR, top row first
  std::vector<float> depth;     // width * height, smaller is nearer
  int32_t width = 0;
  int32_t height = 0;
};

// One byte each, in this order, handed to every drawing operation.
struct RenderFlags {
  uint8_t depth_test = 1;
  uint8_t interlace = 0;
  uint8_t odd_field = 0;
  uint8_t cull_back_faces = 1;
  uint8_t depth_override = 0;
};

// Field rule: with interlace set, stored row r is drawn only when
// r % 2 != odd_field.
inline bool row_in_field(const RenderFlags& flags, int32_t stored_row) {
  return !flags.interlace || (stored_row % 2) != flags.odd_field;
}

struct Rgb {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
};

// Zero-filled colour and depth. Stops the program when 3*width*height
// overflows int32.
Framebuffer framebuffer_new(int32_t width, int32_t height);
void clear_framebuffer(Rgb colour, const RenderFlags& flags, Framebuffer& target);
void darken_framebuffer(const RenderFlags& flags, Framebuffer& target, float amount);
void brighten_framebuffer(const RenderFlags& flags, Framebuffer& target, float amount);
void draw_sky_gradient(Rgb low, Rgb high, const RenderFlags& flags, Framebuffer& target,
                       float exponent, float pitch, float fov);
Image framebuffer_to_image(const Framebuffer& source, bool alpha_from_depth);
// The same conversion into an existing image, reusing its pixel storage, for
// pictures remade every frame.
void framebuffer_to_image_into(const Framebuffer& source, bool alpha_from_depth, Image& image);

}  // namespace vel
