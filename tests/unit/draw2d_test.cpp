// draw2d_test.cpp: pixels, ramped lines, rectangles, image blits and bitmap
// text drawn over a target.
#include "gfx/draw2d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "support/pixels.h"

namespace vel {
namespace {

using test::Bgr;
using test::depth_at;
using test::kBlack;
using test::kBlackPx;
using test::kWhite;
using test::kWhitePx;
using test::pixel_at;

Framebuffer black(int32_t width, int32_t height) {
  Framebuffer target = framebuffer_new(width, height);
  clear_framebuffer({0.0f, 0.0f, 0.0f}, RenderFlags{}, target);
  return target;
}

// The pixels (x, y) that are no longer black, row by row from the bottom,
// for comparing footprints.
std::vector<std::pair<int32_t, int32_t>> lit_pixels(const Framebuffer& target) {
  std::vector<std::pair<int32_t, int32_t>> lit;
  for (int32_t y = 0; y < target.height; ++y) {
    for (int32_t x = 0; x < target.width; ++x) {
      if (pixel_at(target, x, y) != kBlackPx) lit.emplace_back(x, y);
    }
  }
  return lit;
}

// ---- pixels ------------------------------------------------------------

TEST(BlendPixel, WritesOnlyInsideTheTargetAndMarksDepth) {
  Framebuffer target = black(4, 3);
  blend_pixel({-1, 0}, kWhite, RenderFlags{}, target);
  blend_pixel({4, 0}, kWhite, RenderFlags{}, target);
  blend_pixel({0, 3}, kWhite, RenderFlags{}, target);
  blend_pixel({0, -1}, kWhite, RenderFlags{}, target);
  EXPECT_TRUE(lit_pixels(target).empty());

  blend_pixel({0, 0}, kWhite, RenderFlags{}, target);
  // The bottom-left pixel is the first one of the last stored row.
  const size_t last_row = 3 * 4 * 2;
  EXPECT_EQ(target.colour[last_row], 255);
  EXPECT_EQ(target.colour[last_row + 2], 255);
  EXPECT_EQ(depth_at(target, 0, 0), 0.0f);
  EXPECT_EQ(depth_at(target, 1, 0), kDepthEmpty);
}

TEST(BlendPixel, BlendsTheUnquantisedSourceByItsAlpha) {
  Framebuffer target = black(2, 2);
  blend_pixel({0, 0}, {1.0f, 0.5f, 0.0f, 0.5f}, RenderFlags{}, target);
  EXPECT_EQ(pixel_at(target, 0, 0), (Bgr{0, 63, 127}));  // 127.5 * 0.5 = 63.75
  // 0.01 * 255 = 2.55, times 0.9 = 2.295: no rounding of the source first.
  blend_pixel({1, 1}, {0.01f, 0.01f, 0.01f, 0.9f}, RenderFlags{}, target);
  EXPECT_EQ(pixel_at(target, 1, 1), (Bgr{2, 2, 2}));
}

TEST(BlendPixel, InterlaceKeepsRowsWhoseParityIsTheField) {
  RenderFlags odd;
  odd.interlace = 1;
  odd.odd_field = 1;
  Framebuffer target = black(2, 4);
  for (int32_t y = 0; y < 4; ++y) blend_pixel({0, y}, kWhite, odd, target);
  EXPECT_EQ(pixel_at(target, 0, 0), kBlackPx);
  EXPECT_EQ(pixel_at(target, 0, 1), kWhitePx);
  EXPECT_EQ(pixel_at(target, 0, 2), kBlackPx);
  EXPECT_EQ(pixel_at(target, 0, 3), kWhitePx);
  EXPECT_EQ(depth_at(target, 0, 2), kDepthEmpty);
}

// ---- lines -------------------------------------------------------------

// The red byte of each pixel a black-to-white line leaves on a black target:
// the ramp weight t as trunc(t * 255).
int red(const Framebuffer& target, int32_t x, int32_t y) {
  return pixel_at(target, x, y).r;
}

TEST(DrawLine, ShallowLineRampsTowardItsEndAndReversesWhenDrawnBackward) {
  Framebuffer forward = black(8, 4);
  draw_line({0, 0}, {3, 0}, kBlack, kWhite, RenderFlags{}, forward);
  EXPECT_EQ(red(forward, 0, 0), 63);  // t = 0.25
  EXPECT_EQ(red(forward, 1, 0), 127);
  EXPECT_EQ(red(forward, 2, 0), 191);
  EXPECT_EQ(red(forward, 3, 0), 255);  // t = 1: exactly colour_to
  EXPECT_EQ(lit_pixels(forward).size(), 4u);

  Framebuffer backward = black(8, 4);
  draw_line({3, 0}, {0, 0}, kBlack, kWhite, RenderFlags{}, backward);
  EXPECT_EQ(red(backward, 3, 0), 0);  // t = 0: exactly colour_from
  EXPECT_EQ(red(backward, 2, 0), 63);
  EXPECT_EQ(red(backward, 0, 0), 191);        // t = 0.75
  EXPECT_EQ(depth_at(backward, 3, 0), 0.0f);  // drawn, though black
}

TEST(DrawLine, ShallowDiagonalFollowsTheLineEquation) {
  Framebuffer target = black(8, 8);
  draw_line({0, 0}, {4, 2}, kWhite, kWhite, RenderFlags{}, target);
  const std::vector<std::pair<int32_t, int32_t>> expected = {
      {0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
  EXPECT_EQ(lit_pixels(target), expected);
}

TEST(DrawLine, SteepLineVisitsEveryRow) {
  Framebuffer up = black(4, 6);
  draw_line({0, 0}, {1, 3}, kBlack, kWhite, RenderFlags{}, up);
  // x = trunc((y - b) / k) with k = 3, b = 0.
  EXPECT_EQ(red(up, 0, 0), 63);
  EXPECT_EQ(red(up, 0, 1), 127);
  EXPECT_EQ(red(up, 0, 2), 191);
  EXPECT_EQ(red(up, 1, 3), 255);

  // Drawn downward from (1, 3) the weights are reversed: colour_from at 'from'.
  Framebuffer down = black(4, 6);
  draw_line({1, 3}, {0, 0}, kBlack, kWhite, RenderFlags{}, down);
  EXPECT_EQ(red(down, 1, 3), 0);
  EXPECT_EQ(red(down, 0, 0), 191);

  // Falling from left to right, (0, 3) -> (1, 0): again colour_from at 'from'
  // and 1 - 1/n at 'to'.
  Framebuffer mirrored = black(4, 6);
  draw_line({0, 3}, {1, 0}, kBlack, kWhite, RenderFlags{}, mirrored);
  EXPECT_EQ(red(mirrored, 0, 3), 0);
  EXPECT_EQ(red(mirrored, 1, 0), 191);
}

TEST(DrawLine, VerticalLineRampsFromItsLowerEndOrBack) {
  Framebuffer up = black(2, 6);
  draw_line({1, 1}, {1, 4}, kBlack, kWhite, RenderFlags{}, up);
  EXPECT_EQ(red(up, 1, 1), 63);
  EXPECT_EQ(red(up, 1, 4), 255);
  EXPECT_EQ(lit_pixels(up).size(), 4u);

  Framebuffer down = black(2, 6);
  draw_line({1, 4}, {1, 1}, kBlack, kWhite, RenderFlags{}, down);
  EXPECT_EQ(red(down, 1, 4), 0);
  EXPECT_EQ(red(down, 1, 1), 191);
  EXPECT_EQ(depth_at(down, 1, 4), 0.0f);
}

TEST(DrawLine, HugeCoordinatesOnlyTouchThePixelsOnTheTarget) {
  const int32_t far = std::numeric_limits<int32_t>::max();
  const int32_t near_min = std::numeric_limits<int32_t>::min();
  Framebuffer target = black(8, 8);
  draw_line({near_min, 3}, {far, 3}, kWhite, kWhite, RenderFlags{}, target);
  draw_line({2, near_min}, {2, far}, kWhite, kWhite, RenderFlags{}, target);
  EXPECT_EQ(lit_pixels(target).size(), 15u);  // one row and one column
  EXPECT_EQ(pixel_at(target, 7, 3), kWhitePx);
  EXPECT_EQ(pixel_at(target, 2, 7), kWhitePx);
}

// ---- rectangles --------------------------------------------------------

TEST(DrawRectangle, FilledCoversRowsInclusiveAndColumnsUpToTheRightEdge) {
  Framebuffer target = black(16, 16);
  draw_rectangle({10, 10}, {12, 11}, kWhite, true, RenderFlags{}, target);
  const std::vector<std::pair<int32_t, int32_t>> expected = {
      {10, 10}, {11, 10}, {10, 11}, {11, 11}};
  EXPECT_EQ(lit_pixels(target), expected);
  EXPECT_EQ(depth_at(target, 11, 11), 0.0f);

  Framebuffer upside_down = black(16, 16);
  draw_rectangle({10, 11}, {12, 10}, kWhite, true, RenderFlags{}, upside_down);
  draw_rectangle({12, 10}, {10, 11}, kWhite, true, RenderFlags{}, upside_down);
  EXPECT_TRUE(lit_pixels(upside_down).empty());
}

TEST(DrawRectangle, FilledIsClippedAndHonoursTheField) {
  Framebuffer target = black(4, 4);
  RenderFlags even;
  even.interlace = 1;
  draw_rectangle({-5, -5}, {100, 100}, {1.0f, 1.0f, 1.0f, 0.5f}, true, even, target);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      EXPECT_EQ(pixel_at(target, x, y), (y % 2 == 0 ? Bgr{127, 127, 127} : kBlackPx));
    }
  }
}

TEST(DrawRectangle, OpaqueFillTakesTheColourBytesWhateverWasThere) {
  // Channels outside 0..1 and not-a-number are cut as when blending with
  // weight 1: above 1 gives 255, below 0 and not-a-number give 0.
  Framebuffer target = black(4, 2);
  for (uint8_t& byte : target.colour) byte = 90;
  draw_rectangle({1, 0}, {3, 1}, {1.5f, std::nanf(""), -0.2f, 1.0f}, true, RenderFlags{}, target);
  EXPECT_EQ(pixel_at(target, 0, 0), (Bgr{90, 90, 90}));
  EXPECT_EQ(pixel_at(target, 1, 0), (Bgr{0, 0, 255}));
  EXPECT_EQ(pixel_at(target, 2, 1), (Bgr{0, 0, 255}));
  EXPECT_EQ(pixel_at(target, 3, 1), (Bgr{90, 90, 90}));
  EXPECT_EQ(depth_at(target, 2, 1), 0.0f);
}

TEST(DrawRectangle, OutlineBlendsTranslucentCornersTwice) {
  Framebuffer target = black(8, 8);
  draw_rectangle({1, 1}, {4, 3}, {1.0f, 1.0f, 1.0f, 0.5f}, false, RenderFlags{}, target);
  const Bgr once{127, 127, 127};
  const Bgr twice{191, 191, 191};  // trunc(255 * 0.5 + 127 * 0.5)
  EXPECT_EQ(pixel_at(target, 1, 1), twice);
  EXPECT_EQ(pixel_at(target, 4, 3), twice);
  EXPECT_EQ(pixel_at(target, 4, 1), twice);
  EXPECT_EQ(pixel_at(target, 1, 3), twice);
  EXPECT_EQ(pixel_at(target, 2, 1), once);
  EXPECT_EQ(pixel_at(target, 4, 2), once);
  EXPECT_EQ(pixel_at(target, 2, 2), kBlackPx);  // inside stays untouched
  EXPECT_EQ(lit_pixels(target).size(), 10u);
}

// ---- image blits -------------------------------------------------------

TEST(BlitImage, AnchorHalfCentresTheImageOnThePosition) {
  Framebuffer target = black(160, 90);
  const Image image = test::solid_image(16, 16, kWhite);
  blit_image(image, {.position = {100, 50}, .anchor = {0.5f, 0.5f}}, RenderFlags{}, target);
  const auto lit = lit_pixels(target);
  ASSERT_EQ(lit.size(), 256u);
  EXPECT_EQ(lit.front(), (std::pair<int32_t, int32_t>{92, 42}));
  EXPECT_EQ(lit.back(), (std::pair<int32_t, int32_t>{107, 57}));
  EXPECT_EQ(depth_at(target, 100, 50), kDepthEmpty);  // no depth marking asked
}

TEST(BlitImage, ScaleTwoSpreadsPixelsAndLeavesGaps) {
  Framebuffer target = black(16, 16);
  const Image image = test::solid_image(4, 4, kWhite);
  blit_image(image, {.position = {2, 2}, .scale = {2.0f, 2.0f}}, RenderFlags{}, target);
  for (int32_t y = 2; y < 10; ++y) {
    for (int32_t x = 2; x < 10; ++x) {
      const bool source_pixel = (x - 2) % 2 == 0 && (y - 2) % 2 == 0;
      EXPECT_EQ(pixel_at(target, x, y), source_pixel ? kWhitePx : kBlackPx) << x << "," << y;
    }
  }
  EXPECT_EQ(lit_pixels(target).size(), 16u);
}

TEST(BlitImage, SourceRowsCountUpFromTheLastStoredRow) {
  // A 2 x 3 image whose stored rows are red, green, blue from the top.
  Image image = test::solid_image(2, 3, kWhite);
  const Colour rows[3] = {
      {1.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f}};
  for (int32_t r = 0; r < 3; ++r) {
    for (int32_t x = 0; x < 2; ++x) test::set_texel(image, x, r, rows[r]);
  }
  Framebuffer whole = black(8, 8);
  blit_image(image, {1, 1}, RenderFlags{}, whole);
  EXPECT_EQ(pixel_at(whole, 1, 1), (Bgr{255, 0, 0}));  // bottom: the last stored row
  EXPECT_EQ(pixel_at(whole, 2, 3), (Bgr{0, 0, 255}));  // top: the first stored row

  // Source rows y 1..2 (green, red), column 1, placed at the position.
  Framebuffer part = black(8, 8);
  blit_image(image, {.source = Rect{1, 1, 2, 3}, .position = {4, 4}}, RenderFlags{}, part);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{4, 4}, {4, 5}};
  EXPECT_EQ(lit_pixels(part), expected);
  EXPECT_EQ(pixel_at(part, 4, 4), (Bgr{0, 255, 0}));
  EXPECT_EQ(pixel_at(part, 4, 5), (Bgr{0, 0, 255}));
}

TEST(BlitImage, SourceRectangleReachingOutsideTheImageIsClippedToIt) {
  // The rectangle starts 2 pixels left of and below the 4 x 4 image and
  // ends 3 beyond it: only the image's own 16 pixels are drawn, each where
  // it would land unclipped.
  Framebuffer target = black(16, 16);
  const Image image = test::solid_image(4, 4, kWhite);
  blit_image(image, {.source = Rect{-2, -2, 7, 7}, .position = {5, 5}}, RenderFlags{}, target);
  const auto lit = lit_pixels(target);
  ASSERT_EQ(lit.size(), 16u);
  EXPECT_EQ(lit.front(), (std::pair<int32_t, int32_t>{7, 7}));
  EXPECT_EQ(lit.back(), (std::pair<int32_t, int32_t>{10, 10}));

  Framebuffer none = black(16, 16);
  blit_image(image, {.source = Rect{10, 10, 20, 20}, .position = {5, 5}}, RenderFlags{}, none);
  blit_image(image, {.source = Rect{3, 0, 3, 4}, .position = {5, 5}}, RenderFlags{}, none);
  EXPECT_TRUE(lit_pixels(none).empty());
}

TEST(BlitImage, TintScalesColourAndWeightWithoutAnAlphaCut) {
  Framebuffer target = black(4, 4);
  const Image image = test::solid_image(1, 1, {1.0f, 1.0f, 1.0f, 0.5f});
  blit_image(image, {.position = {0, 0}, .tint = Colour{1.0f, 0.5f, 0.0f, 0.5f}}, RenderFlags{},
             target);
  // Weight 0.25: red 255 * 0.25, green 127.5 * 0.25.
  EXPECT_EQ(pixel_at(target, 0, 0), (Bgr{0, 31, 63}));

  const Image faint = test::solid_image(1, 1, {1.0f, 1.0f, 1.0f, 0.01f});
  blit_image(faint, {1, 0}, RenderFlags{}, target);
  EXPECT_EQ(pixel_at(target, 1, 0), (Bgr{2, 2, 2}));  // blended, not cut
}

TEST(BlitImage, MarkDepthClearsDepthEvenUnderAZeroWeight) {
  Framebuffer target = black(4, 4);
  const Image clear = test::solid_image(2, 1, {1.0f, 1.0f, 1.0f, 0.0f});
  blit_image(clear, {.position = {0, 0}, .mark_depth = true}, RenderFlags{}, target);
  EXPECT_EQ(pixel_at(target, 0, 0), kBlackPx);
  EXPECT_EQ(depth_at(target, 0, 0), 0.0f);
  EXPECT_EQ(depth_at(target, 1, 0), 0.0f);
  EXPECT_EQ(depth_at(target, 2, 0), kDepthEmpty);
}

TEST(BlitImage, ColourMappedImagesReadThroughThePalette) {
  Image image;
  image.width = 2;
  image.height = 1;
  image.colour_mapped = true;
  image.palette = {kWhite, {1.0f, 0.0f, 0.0f, 1.0f}};
  image.indices = {1, 9};  // 9 lies past the palette: that pixel is skipped
  Framebuffer target = black(4, 4);
  blit_image(image, {.position = {0, 0}, .mark_depth = true}, RenderFlags{}, target);
  EXPECT_EQ(pixel_at(target, 0, 0), (Bgr{0, 0, 255}));
  EXPECT_EQ(pixel_at(target, 1, 0), kBlackPx);
}

TEST(BlitImage, FieldRuleSkipsRowsOfTheOtherField) {
  RenderFlags odd;
  odd.interlace = 1;
  odd.odd_field = 1;
  Framebuffer target = black(4, 4);
  blit_image(test::solid_image(4, 4, kWhite), {.position = {0, 0}, .mark_depth = true}, odd,
             target);
  // Stored row 3 - y is drawn when it is even, that is y odd.
  for (int32_t y = 0; y < 4; ++y) {
    EXPECT_EQ(pixel_at(target, 2, y), y % 2 == 1 ? kWhitePx : kBlackPx) << y;
    EXPECT_EQ(depth_at(target, 2, y), y % 2 == 1 ? 0.0f : kDepthEmpty) << y;
  }
}

// ---- text --------------------------------------------------------------

// A font of 4-pixel cells, 8 columns by 5 bands (codes 32..71). Every cell
// is filled with its own colour: red = column / 7, green = band / 4, and the
// top-left texel of each cell is made transparent to show orientation.
Image test_font() {
  constexpr int32_t cell = 4;
  Image font = test::solid_image(8 * cell, 5 * cell, kWhite);
  for (int32_t r = 0; r < font.height; ++r) {
    for (int32_t x = 0; x < font.width; ++x) {
      const int32_t column = x / cell;
      const int32_t band = r / cell;
      const bool corner = x % cell == 0 && r % cell == 0;
      test::set_texel(font, x, r,
                      {static_cast<float>(column) / 7.0f, static_cast<float>(band) / 4.0f, 1.0f,
                       corner ? 0.0f : 1.0f});
    }
  }
  return font;
}

TEST(DrawText, GlyphCellsFollowTheCharacterCode) {
  const Image font = test_font();
  Framebuffer space = black(16, 16);
  draw_text(font, " ", {3, 8}, kWhite, RenderFlags{}, space);
  // Cell (column 0, band 0), left edge at x 3, centred on y 8: rows 6..9.
  const auto lit = lit_pixels(space);
  ASSERT_EQ(lit.size(), 15u);  // 16 minus the transparent corner
  EXPECT_EQ(lit.front(), (std::pair<int32_t, int32_t>{3, 6}));
  EXPECT_EQ(lit.back(), (std::pair<int32_t, int32_t>{6, 9}));
  EXPECT_EQ(pixel_at(space, 3, 9), kBlackPx);  // the cell's top-left texel
  EXPECT_EQ(pixel_at(space, 4, 9), (Bgr{255, 0, 0}));

  // "A" (65) is column 1 of band 4.
  Framebuffer letter = black(16, 16);
  draw_text(font, "A", {3, 8}, kWhite, RenderFlags{}, letter);
  EXPECT_EQ(pixel_at(letter, 4, 9), (Bgr{255, 255, 36}));  // red 1/7, green 4/4
  EXPECT_EQ(pixel_at(letter, 3, 9), kBlackPx);
}

TEST(DrawText, NeighbouringGlyphsOverlapByTwoColumns) {
  const Image font = test_font();
  Framebuffer target = black(32, 8);
  draw_text(font, "!!!", {0, 4}, kWhite, RenderFlags{}, target);  // '!' is column 1, band 0
  int32_t right_most = -1;
  for (const auto& [x, y] : lit_pixels(target)) right_most = std::max(right_most, x);
  EXPECT_EQ(right_most, 3 * (4 - 2) + 2 - 1);  // n * (cell - 2) + 2 columns
  EXPECT_EQ(pixel_at(target, 3, 5), (Bgr{255, 0, 36}));
}

TEST(DrawText, TranslucentTintHalvesEachGlyphPixel) {
  const Image font = test_font();
  Framebuffer target = black(16, 16);
  draw_text(font, " ", {0, 8}, {1.0f, 1.0f, 1.0f, 0.5f}, RenderFlags{}, target);
  EXPECT_EQ(pixel_at(target, 1, 9), (Bgr{127, 0, 0}));
  EXPECT_EQ(depth_at(target, 1, 9), kDepthEmpty);  // text does not mark depth
}

TEST(DrawText, GlyphsOutsideTheFontImageAreSkippedButAdvanceThePen) {
  const Image font = test_font();
  Framebuffer target = black(32, 16);
  // '~' (126) lies in band 11 and '\n' (10) in band 29 of a 5-band font.
  draw_text(font, std::string("~\n "), {0, 8}, kWhite, RenderFlags{}, target);
  const auto lit = lit_pixels(target);
  ASSERT_EQ(lit.size(), 15u);  // only the space
  EXPECT_EQ(lit.front().first, 2 * (4 - 2));
}

}  // namespace
}  // namespace vel
