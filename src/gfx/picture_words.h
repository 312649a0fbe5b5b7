// picture_words.h: the picture as the window's texture takes it: one 32-bit
// word a pixel (bytes blue, green, red, 255), rows top to bottom as stored,
// written by the picture's drawing workers, each its band of rows. A
// texture in this form goes to the screen as it is; one of three-byte
// pixels would be converted on the way, pixel by pixel on one thread.
#pragma once

#include <cstdint>

#include "gfx/framebuffer.h"

namespace vel {

// Every row of `picture` into `out`, `pitch` bytes from one row's start to
// the next (at least 4 * width).
void picture_to_words(const Framebuffer& picture, uint8_t* out, int32_t pitch);

}  // namespace vel
