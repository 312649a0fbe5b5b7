// image.h: the decoded texture record read by the rasteriser and the blitter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/vec.h"

namespace vel {

// Pixels (or indices) are kept in stored order, row after row; the first
// stored row is the TOP of the picture for every reader of an Image.
struct Image {
  std::string path;
  std::vector<Colour> palette;   // colour-mapped images only
  std::vector<uint8_t> indices;  // colour-mapped images only, one per pixel
  std::vector<Colour> pixels;    // true-colour images only, one per pixel
  int32_t width = 0;
  int32_t height = 0;
  bool colour_mapped = false;
};

}  // namespace vel
