// png_encoder.h: a picture as the bytes of a PNG file, through libpng, so
// that the player's screenshots open in any viewer. The bytes are made in
// memory; the caller writes them with the all-or-nothing writer.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vel {

// The largest block a pixel may be enlarged to: far above any real use,
// low enough that the enlarged picture's size cannot overflow.
inline constexpr int32_t kLargestPngScale = 16;

// The PNG bytes, or why they could not be made (`error` not empty).
struct PngBytes {
  std::vector<uint8_t> bytes;
  std::string error;
};

// `bgr`: width x height pixels, blue, green, red, top row first (a
// framebuffer's colour). Each pixel becomes a `scale` x `scale` block of
// the file's picture (nearest, no smoothing: the game's pixels stay crisp).
PngBytes encode_png(std::span<const uint8_t> bgr, int32_t width, int32_t height, int32_t scale = 1);

}  // namespace vel
