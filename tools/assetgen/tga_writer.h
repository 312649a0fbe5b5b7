// tga_writer.h: canvases into the three uncompressed TGA kinds the game reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace vel {

enum class TgaKind {
  colour_mapped_8,  // type 1: 24-bit palette, one index byte a pixel
  true_colour_24,   // type 2: blue, green, red
  true_colour_32,   // type 2: blue, green, red, alpha
};

struct TgaEncoding {
  std::vector<uint8_t> bytes;
  std::string error;  // empty on success
};

// Rows are written top row first with the descriptor's top-left-origin bit
// set, so the game (which keeps file order and draws the first stored row at
// the top) and ordinary viewers both show the picture upright. The data
// always starts at offset 18: no image ID, because the game ignores the ID
// length. A colour-mapped picture gets a palette of its distinct colours in
// order of first appearance (alpha dropped); more than 256 is an error.
TgaEncoding encode_tga(const Canvas& canvas, TgaKind kind);

}  // namespace vel
