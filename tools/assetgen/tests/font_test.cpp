// font_test.cpp: the HUD font picture is laid out the way the game cuts it
// (8 x 8 cells, ASCII 32 onwards from the top-left, 6-pixel advance) and its
// glyphs can be told apart.
#include "font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vel {
namespace {

// The cell's pixels as the game's draw_text finds them for code ch.
std::vector<Rgba> cell_of(const Canvas& font, int32_t ch) {
  const int32_t g = ch - 32;
  const int32_t cell = font.width / 8;
  std::vector<Rgba> pixels;
  for (int32_t y = 0; y < cell; ++y) {
    for (int32_t x = 0; x < cell; ++x) {
      pixels.push_back(pixel_at(font, (g % 8) * cell + x, (g / 8) * cell + y));
    }
  }
  return pixels;
}

TEST(Font, IsSixtyFourByNinetySixWithOpaqueWhiteInkOnTransparency) {
  const Canvas font = paint_font();
  EXPECT_EQ(font.width, 64);
  EXPECT_EQ(font.height, 96);
  for (const Rgba& p : font.pixels) {
    EXPECT_TRUE(p == (Rgba{255, 255, 255, 255}) || p.a == 0);
  }
}

TEST(Font, EveryGlyphSitsInItsCellsLeftFiveColumns) {
  const Canvas font = paint_font();
  for (int32_t ch = 32; ch < 128; ++ch) {
    const std::vector<Rgba> cell = cell_of(font, ch);
    for (int32_t y = 0; y < 8; ++y) {
      for (int32_t x = 0; x < 8; ++x) {
        const bool ink = cell[y * 8 + x].a != 0;
        // With the 6-pixel advance, columns 6 and 7 lie under the next glyph.
        EXPECT_EQ(ink, glyph_ink(ch, x, y)) << "code " << ch << " at " << x << "," << y;
        if (x >= 5) {
          EXPECT_FALSE(ink) << "code " << ch << " spills into column " << x;
        }
      }
    }
  }
}

TEST(Font, SpaceIsBlankAndEveryPrintableGlyphHasADistinctShape) {
  const Canvas font = paint_font();
  for (const Rgba& p : cell_of(font, ' ')) EXPECT_EQ(p.a, 0);
  // The game prints capitals, digits and these marks; a glyph left empty or
  // pasted twice would make them unreadable.
  const std::string printed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-!:/>%";
  for (const char ch : printed) {
    int ink = 0;
    for (const Rgba& p : cell_of(font, ch)) ink += p.a != 0;
    EXPECT_GE(ink, 2) << "'" << ch << "'";
  }
  for (int32_t a = 33; a < 128; ++a) {
    for (int32_t b = a + 1; b < 128; ++b) {
      EXPECT_NE(cell_of(font, a), cell_of(font, b)) << "codes " << a << " and " << b;
    }
  }
}

TEST(Font, CapitalsAndDigitsStandOnOneBaseline) {
  // Text is centred on its pen row: a capital that dropped a row would look
  // misplaced among its neighbours.
  for (const char ch : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
    bool top = false, bottom = false, below = false;
    for (int32_t x = 0; x < 5; ++x) {
      top |= glyph_ink(ch, x, 0);
      bottom |= glyph_ink(ch, x, 6);
      below |= glyph_ink(ch, x, 7);
    }
    EXPECT_TRUE(top && bottom && !below) << "'" << ch << "'";
  }
}

}  // namespace
}  // namespace vel
