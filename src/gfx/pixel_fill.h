// pixel_fill.h: runs of one value written in wide blocks (the sky, clears,
// the depth reset, opaque rectangles).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vel {

// Repeats the first kBlock bytes of bytes[0, total) over the rest, kBlock
// bytes at a time; a pattern whose period divides kBlock then fills the
// whole range, the last partial block included. A fixed-size copy is a few
// wide loads and stores, where byte-by-byte or element-by-element stores of
// a three-byte pixel or a float are not.
template <size_t kBlock>
inline void repeat_block(uint8_t* bytes, size_t total) {
  if (total <= kBlock) return;
  size_t done = kBlock;
  for (; total - done >= kBlock; done += kBlock) std::memcpy(bytes + done, bytes, kBlock);
  std::memcpy(bytes + done, bytes, total - done);
}

// Sixteen pixels: a whole number of three-byte pixels.
inline constexpr size_t kPixelBlock = 48;

// `count` pixels of blue, green, red from `bytes` on.
inline void fill_pixels(uint8_t* bytes, size_t count, uint8_t blue, uint8_t green, uint8_t red) {
  const size_t size = 3 * count;
  for (size_t i = 0; i < size && i < kPixelBlock; i += 3) {
    bytes[i] = blue;
    bytes[i + 1] = green;
    bytes[i + 2] = red;
  }
  repeat_block<kPixelBlock>(bytes, size);
}

}  // namespace vel
