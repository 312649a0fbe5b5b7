// texel_source.h: where a textured triangle reads its texels from, shared by
// the reference and the fast rasteriser so both address texels alike.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/image.h"
#include "gfx/vec.h"

namespace vel {

// `usable` is false for an image that has no texel to read (zero size, or
// arrays shorter than width * height): such a texture is drawn as fully
// transparent rather than read past its end.
struct TexelSource {
  const Colour* pixels = nullptr;
  const uint8_t* indices = nullptr;
  const Colour* palette = nullptr;
  size_t palette_size = 0;
  size_t width = 0;
  float u_extent = 0.0f;  // width - 1
  float v_extent = 0.0f;  // height - 1
  bool colour_mapped = false;
  bool usable = false;
  // Both sides at most 2^24 and at most 2^31 - 1 texels: the extents are
  // exact floats and a texel's column, row and index fit 32-bit integers,
  // so the fast path works them out in its vectors.
  bool lane_addressable = false;
};

// A null image (a flat-colour material) gives an unusable source.
TexelSource texel_source(const Image* image);

// The texel at stored row `row`, column `column` of a usable source; false
// when a palette index points past the palette (drawn as a transparent
// texel).
inline bool texel_at(const TexelSource& src, uint32_t column, uint32_t row, Colour& out) {
  const size_t index = static_cast<size_t>(row) * src.width + column;
  if (!src.colour_mapped) {
    out = src.pixels[index];
    return true;
  }
  const uint8_t entry = src.indices[index];
  if (entry >= src.palette_size) return false;
  out = src.palette[entry];
  return true;
}

}  // namespace vel
