// font.h: the 5 x 8 glyph shapes and the HUD font picture built from them.
#pragma once

#include <cstdint>

#include "canvas.h"

namespace vel {

constexpr int32_t kGlyphWidth = 5;  // ink columns; with one blank column the game's 6-pixel advance
constexpr int32_t kGlyphHeight = 8;  // rows 0..6 hold capitals and digits, row 7 descenders
constexpr int32_t kFontCell = 8;
constexpr int32_t kFirstGlyph = 32;
constexpr int32_t kGlyphCount = 96;  // ASCII 32..127

// Whether the glyph of ch has ink at column x, row y (row 0 = top). Codes
// outside 32..127 and positions outside the 5 x 8 box have none.
bool glyph_ink(int32_t ch, int32_t x, int32_t y);

// The font picture: 8 cells across, 12 bands down, 8 x 8 pixels each, ASCII
// 32..127 in code order from the top-left cell; ink is opaque white, the rest
// transparent black. The game cuts cells of width / 8 and advances its pen
// by cell - 2 = 6 pixels, so glyphs sit in the left five columns of a cell.
Canvas paint_font();

}  // namespace vel
