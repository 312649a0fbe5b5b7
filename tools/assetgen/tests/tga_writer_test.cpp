// tga_writer_test.cpp: the three TGA kinds as the game's reader takes them
// apart: header fields, channel order, row order and palettes.
#include "tga_writer.h"

#include <gtest/gtest.h>

#include "asset_decode.h"

namespace vel {
namespace {

// 2 x 2, top row red then green, bottom row blue then half-transparent white.
Canvas four_pixels() {
  Canvas canvas = make_canvas(2, 2, Rgba{});
  set_pixel(canvas, 0, 0, Rgba{255, 0, 0, 255});
  set_pixel(canvas, 1, 0, Rgba{0, 255, 0, 255});
  set_pixel(canvas, 0, 1, Rgba{0, 0, 255, 255});
  set_pixel(canvas, 1, 1, Rgba{255, 255, 255, 128});
  return canvas;
}

TEST(TgaWriter, TrueColourKeepsTopRowFirstInBlueGreenRedOrder) {
  const TgaEncoding rgb = encode_tga(four_pixels(), TgaKind::true_colour_24);
  ASSERT_EQ(rgb.error, "");
  ASSERT_EQ(rgb.bytes.size(), 18u + 4 * 3);
  EXPECT_EQ(rgb.bytes[2], 2);
  EXPECT_EQ(rgb.bytes[16], 24);
  EXPECT_EQ(rgb.bytes[17], 0x20);
  EXPECT_EQ(rgb.bytes[12], 2);
  EXPECT_EQ(rgb.bytes[14], 2);
  // The first stored pixel is the top-left one (red): bytes B, G, R.
  EXPECT_EQ(rgb.bytes[18], 0);
  EXPECT_EQ(rgb.bytes[19], 0);
  EXPECT_EQ(rgb.bytes[20], 255);

  const TgaEncoding rgba = encode_tga(four_pixels(), TgaKind::true_colour_32);
  ASSERT_EQ(rgba.error, "");
  EXPECT_EQ(rgba.bytes[16], 32);
  EXPECT_EQ(rgba.bytes[17], 0x28) << "top-left origin and 8 alpha bits";
  const test::DecodedTga image = test::decode_tga(rgba.bytes);
  ASSERT_EQ(image.error, "");
  EXPECT_EQ(image.texels[2].b, 255) << "bottom-left is stored third";
  EXPECT_EQ(image.texels[3].a, 128);
}

TEST(TgaWriter, ColourMappedBuildsAPaletteOfDistinctColours) {
  Canvas canvas = make_canvas(4, 2, Rgba{10, 20, 30});
  set_pixel(canvas, 3, 1, Rgba{200, 100, 50});
  const TgaEncoding mapped = encode_tga(canvas, TgaKind::colour_mapped_8);
  ASSERT_EQ(mapped.error, "");
  EXPECT_EQ(mapped.bytes[1], 1) << "colour map present";
  EXPECT_EQ(mapped.bytes[2], 1);
  EXPECT_EQ(mapped.bytes[5], 2) << "two palette entries";
  EXPECT_EQ(mapped.bytes[7], 24);
  EXPECT_EQ(mapped.bytes[16], 8);
  ASSERT_EQ(mapped.bytes.size(), 18u + 2 * 3 + 8);
  const test::DecodedTga image = test::decode_tga(mapped.bytes);
  ASSERT_EQ(image.error, "");
  EXPECT_EQ(image.texels[0].r, 10);
  EXPECT_EQ(image.texels[7].r, 200);
  EXPECT_EQ(image.texels[7].b, 50);
}

TEST(TgaWriter, RefusesWhatDoesNotFitTheFormat) {
  Canvas many = make_canvas(257, 1, Rgba{});
  for (int32_t x = 0; x < 257; ++x) {
    set_pixel(many, x, 0, Rgba{static_cast<uint8_t>(x & 255), static_cast<uint8_t>(x >> 8), 0});
  }
  EXPECT_NE(encode_tga(many, TgaKind::colour_mapped_8).error, "");
  EXPECT_EQ(encode_tga(many, TgaKind::true_colour_24).error, "");
  EXPECT_NE(encode_tga(Canvas{}, TgaKind::true_colour_24).error, "");
  Canvas wide = make_canvas(70000, 1, Rgba{});
  EXPECT_NE(encode_tga(wide, TgaKind::true_colour_32).error, "") << "width is 16 bits";
}

}  // namespace
}  // namespace vel
