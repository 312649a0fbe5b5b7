// tga_reader_test.cpp: decoding of the two TGA kinds, the refused kinds and
// every truncated or inconsistent file the reader must stop on.
#include "gfx/tga_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

namespace vel {
namespace {

using Bytes = std::vector<uint8_t>;

struct Header {
  uint8_t id_length = 0;
  uint8_t type = 2;
  uint16_t map_length = 0;
  uint8_t map_entry_bits = 0;
  uint16_t width = 1;
  uint16_t height = 1;
  uint8_t depth = 24;
};

Bytes tga(const Header& h, const Bytes& data = {}) {
  Bytes bytes(18 + data.size(), 0);
  bytes[0] = h.id_length;
  bytes[1] = h.type == 1 ? 1 : 0;
  bytes[2] = h.type;
  bytes[5] = static_cast<uint8_t>(h.map_length & 0xFF);
  bytes[6] = static_cast<uint8_t>(h.map_length >> 8);
  bytes[7] = h.map_entry_bits;
  bytes[12] = static_cast<uint8_t>(h.width & 0xFF);
  bytes[13] = static_cast<uint8_t>(h.width >> 8);
  bytes[14] = static_cast<uint8_t>(h.height & 0xFF);
  bytes[15] = static_cast<uint8_t>(h.height >> 8);
  bytes[16] = h.depth;
  for (size_t i = 0; i < data.size(); ++i) bytes[18 + i] = data[i];
  return bytes;
}

Image decode(const Bytes& bytes) {
  ParseResult<Image> result = parse_tga(bytes, "assets/t.tga");
  EXPECT_TRUE(result) << result.error;
  return result ? *result.value : Image{};
}

std::string refusal(const Bytes& bytes) {
  const ParseResult<Image> result = parse_tga(bytes, "assets/bad.tga");
  EXPECT_FALSE(result);
  return result.error;
}

TEST(TgaTrueColour, TwentyFourBitPixelIsBgrWithOpaqueAlpha) {
  const Image image = decode(tga({}, {0, 128, 255}));
  EXPECT_EQ(image.path, "assets/t.tga");
  EXPECT_FALSE(image.colour_mapped);
  EXPECT_EQ(image.width, 1);
  EXPECT_EQ(image.height, 1);
  ASSERT_EQ(image.pixels.size(), 1u);
  EXPECT_EQ(image.pixels[0].r, 1.0f);
  EXPECT_EQ(image.pixels[0].g, 128.0f / 255.0f);
  EXPECT_EQ(image.pixels[0].b, 0.0f);
  EXPECT_EQ(image.pixels[0].a, 1.0f);
  EXPECT_TRUE(image.palette.empty());
  EXPECT_TRUE(image.indices.empty());
}

TEST(TgaTrueColour, ThirtyTwoBitKeepsAlphaAndFileOrderOfRows) {
  // 1 wide, 2 rows: the first stored row stays first (it is the top).
  const Image image = decode(tga({.width = 1, .height = 2, .depth = 32}, {10, 20, 30, 0,  //
                                                                          40, 50, 60, 255}));
  ASSERT_EQ(image.pixels.size(), 2u);
  EXPECT_EQ(image.pixels[0].r, 30.0f / 255.0f);
  EXPECT_EQ(image.pixels[0].b, 10.0f / 255.0f);
  EXPECT_EQ(image.pixels[0].a, 0.0f);
  EXPECT_EQ(image.pixels[1].r, 60.0f / 255.0f);
  EXPECT_EQ(image.pixels[1].a, 1.0f);
}

TEST(TgaTrueColour, IdLengthIsIgnoredSoDataStillStartsAtByte18) {
  const Image image = decode(tga({.id_length = 1}, {7, 8, 9}));
  ASSERT_EQ(image.pixels.size(), 1u);
  EXPECT_EQ(image.pixels[0].b, 7.0f / 255.0f);
  EXPECT_EQ(image.pixels[0].r, 9.0f / 255.0f);
}

TEST(TgaTrueColour, TrailingBytesAfterThePixelsAreAccepted) {
  const Image image = decode(tga({}, {1, 2, 3, 99, 99, 99, 99}));
  EXPECT_EQ(image.pixels.size(), 1u);
}

TEST(TgaEmpty, ZeroWidthOrHeightGivesEmptyArraysForBothKinds) {
  for (const Header& h : {Header{.width = 0, .height = 5}, Header{.width = 5, .height = 0},
                          Header{.type = 1,
                          .map_length = 1,
                          .map_entry_bits = 24,
                          .width = 0,
                          .height = 3,
                          .depth = 8}}) {
    const Bytes data = h.type == 1 ? Bytes{1, 2, 3} : Bytes{};
    const Image image = decode(tga(h, data));
    EXPECT_EQ(image.width, h.width);
    EXPECT_EQ(image.height, h.height);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_TRUE(image.indices.empty());
  }
}

TEST(TgaColourMapped, ThirtyTwoBitEntriesStillGetOpaqueAlpha) {
  const Image image = decode(
      tga({.type = 1, .map_length = 2, .map_entry_bits = 32, .width = 3, .height = 1, .depth = 8},
          {0, 0, 255, 0,    // entry 0: red, alpha byte 0 skipped
           255, 128, 0, 7,  // entry 1
           1, 0, 1}));      // indices
  EXPECT_TRUE(image.colour_mapped);
  EXPECT_TRUE(image.pixels.empty());
  ASSERT_EQ(image.palette.size(), 2u);
  EXPECT_EQ(image.palette[0].r, 1.0f);
  EXPECT_EQ(image.palette[0].a, 1.0f);
  EXPECT_EQ(image.palette[1].b, 1.0f);
  EXPECT_EQ(image.palette[1].g, 128.0f / 255.0f);
  EXPECT_EQ(image.palette[1].a, 1.0f);
  EXPECT_EQ(image.indices, (Bytes{1, 0, 1}));
}

TEST(TgaColourMapped, NarrowEntriesAreThreeByteReadsAtTheirOwnStride) {
  // 16-bit entries: stride 2, but each entry still reads three bytes, the
  // last one reaching into the indices.
  const Image image = decode(
      tga({.type = 1, .map_length = 2, .map_entry_bits = 16, .width = 1, .height = 1, .depth = 8},
          {10, 20, 30, 40, 1}));
  ASSERT_EQ(image.palette.size(), 2u);
  EXPECT_EQ(image.palette[0].r, 30.0f / 255.0f);
  EXPECT_EQ(image.palette[1].b, 30.0f / 255.0f);
  EXPECT_EQ(image.palette[1].r, 1.0f / 255.0f);
}

TEST(TgaRefused, TypesOtherThanOneAndTwoGetTheTypeMessageWhateverTheDepth) {
  for (const uint8_t type : {0, 3, 9, 10, 11, 32}) {
    const std::string error = refusal(tga({.type = type, .depth = 16}, {0, 0, 0, 0}));
    EXPECT_EQ(error,
              "assets/bad.tga: Unknown image type at byte 2, only uncompressed color mapped and "
              "uncompressed full color supported for now")
        << int{type};
  }
}

TEST(TgaRefused, DepthMessagesPerKind) {
  EXPECT_EQ(refusal(tga({.type = 1, .depth = 16}, {0, 0})),
            "assets/bad.tga: Only 8bit colormapped images are supported for now");
  for (const uint8_t depth : {8, 16, 31}) {
    EXPECT_EQ(refusal(tga({.depth = depth}, {0, 0, 0, 0})),
              "assets/bad.tga: Depth not 32 or 24 bits, please supply BGRA or BGR");
  }
}

TEST(TgaRefused, FilesShorterThanTheHeader) {
  EXPECT_NE(refusal({}).find("header"), std::string::npos);
  Bytes seventeen = tga({.width = 0, .height = 0});
  seventeen.pop_back();
  EXPECT_NE(refusal(seventeen).find("assets/bad.tga: File too short"), std::string::npos);
}

TEST(TgaRefused, FilesShorterThanThePixelsTheyAnnounce) {
  EXPECT_NE(refusal(tga({}, {1, 2})).find("pixels"), std::string::npos);
  EXPECT_NE(refusal(tga({.width = 2, .height = 1, .depth = 32}, Bytes(7, 0))).find("pixels"),
            std::string::npos);
}

TEST(TgaRefused, HugeAnnouncedSizeInATinyFileIsRefusedBeforeAllocating) {
  // 65535 x 65535 x 4 bytes would be 17 GB of pixels from a 19-byte file.
  for (const Header& h : {Header{.width = 65535, .height = 65535, .depth = 32},
                          Header{.type = 1, .map_length = 65535, .map_entry_bits = 32, .depth = 8},
                          Header{.type = 1, .width = 65535, .height = 65535, .depth = 8}}) {
    EXPECT_NE(refusal(tga(h, {0})).find("File too short"), std::string::npos);
  }
}

TEST(TgaRefused, ColourMapOrIndicesCutShort) {
  const Header mapped{.type = 1, .map_length = 2, .map_entry_bits = 24, .width = 2, .depth = 8};
  EXPECT_NE(refusal(tga(mapped, {1, 2, 3, 4, 5})).find("colour map"), std::string::npos);
  EXPECT_NE(refusal(tga(mapped, {1, 2, 3, 4, 5, 6, 0})).find("pixel indices"), std::string::npos);
  // The last narrow entry's third byte lies past the end of the file.
  EXPECT_NE(refusal(tga({.type = 1, .map_length = 1, .map_entry_bits = 16, .width = 0, .depth = 8},
                        {1, 2}))
                .find("colour map"),
            std::string::npos);
}

TEST(TgaRefused, IndexBeyondThePaletteNamesThePixel) {
  const std::string error =
      refusal(tga({.type = 1, .map_length = 2, .map_entry_bits = 24, .width = 3, .depth = 8},
                  {1, 2, 3, 4, 5, 6, 0, 1, 2}));
  EXPECT_EQ(error,
            "assets/bad.tga: Pixel 2 uses colour map entry 2, but the colour map holds 2 "
            "entries");
  // An empty palette (entry size 0, or length 0) leaves no valid index.
  EXPECT_FALSE(
      parse_tga(tga({.type = 1, .map_length = 5, .map_entry_bits = 0, .depth = 8}, {0}), "x.tga"));
  EXPECT_FALSE(parse_tga(tga({.type = 1, .map_entry_bits = 24, .depth = 8}, {0}), "x.tga"));
}

std::string_view as_text(const Bytes& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(TgaFile, ReadsAGoodFile) {
  const test::TempDir dir;
  const std::string path = dir.write("ok.tga", as_text(tga({.depth = 32}, {1, 2, 3, 4})));
  const Image image = read_tga(path);
  EXPECT_EQ(image.path, path);
  ASSERT_EQ(image.pixels.size(), 1u);
  EXPECT_EQ(image.pixels[0].a, 4.0f / 255.0f);
}

TEST(TgaFile, MissingFileStopsWith101AndTheSystemError) {
  const test::TempDir dir;
  const std::string path = dir.file("missing.tga");
  EXPECT_EXIT(read_tga(path), ::testing::ExitedWithCode(101),
              "File read error: .*missing\\.tga: No such file or directory");
}

TEST(TgaFile, RefusedFileStopsWith101NamingTheFile) {
  const test::TempDir dir;
  const std::string path = dir.write("rle.tga", as_text(tga({.type = 10}, {0, 0, 0})));
  EXPECT_EXIT(read_tga(path), ::testing::ExitedWithCode(101), "rle\\.tga: Unknown image type");
}

}  // namespace
}  // namespace vel
