// tga_reader.cpp: decodes the two TGA kinds the game's textures use
// (uncompressed 8-bit colour-mapped, uncompressed 24/32-bit true-colour) and
// refuses everything else, including files shorter than their header says.
#include "gfx/tga_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/fatal.h"
#include "base/file_bytes.h"

namespace vel {

namespace {

// Header fields; the colour map or the pixels always start right after the
// fixed header, whatever the ID length at offset 0 says.
constexpr size_t kHeaderSize = 18;
constexpr size_t kImageTypeAt = 2;
constexpr size_t kColourMapLengthAt = 5;
constexpr size_t kColourMapEntryBitsAt = 7;
constexpr size_t kWidthAt = 12;
constexpr size_t kHeightAt = 14;
constexpr size_t kPixelDepthAt = 16;
constexpr size_t kDataAt = 18;

constexpr uint8_t kColourMapped = 1;
constexpr uint8_t kTrueColour = 2;

uint16_t read_u16_le(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// Exactly 0 for byte 0 and exactly 1 for byte 255.
float channel(uint8_t byte) {
  return static_cast<float>(byte) / 255.0f;
}

std::string too_short(const std::string& path, const char* what, uint64_t needed, size_t has) {
  return path + ": File too short for the " + what + " its header announces (needs " +
         std::to_string(needed) + " bytes, has " + std::to_string(has) + ")";
}

ParseResult<Image> parse_colour_mapped(std::span<const uint8_t> bytes, Image image,
                                       uint64_t pixel_count) {
  const uint64_t entry_count = read_u16_le(bytes, kColourMapLengthAt);
  // Entries narrower than 24 bits are still read as three bytes at their
  // own, shorter stride; a stride of 0 means no palette at all.
  const uint64_t stride = bytes[kColourMapEntryBitsAt] / 8;
  const uint64_t map_size = entry_count * stride;
  const size_t size = bytes.size();

  uint64_t map_needed = kDataAt + map_size;
  if (stride != 0 && entry_count != 0) {
    // The last entry's three-byte read may reach past the map itself.
    const uint64_t last_read_end = kDataAt + (entry_count - 1) * stride + 3;
    if (last_read_end > map_needed) map_needed = last_read_end;
  }
  if (map_needed > size) {
    return ParseResult<Image>::fail(too_short(image.path, "colour map", map_needed, size));
  }

  const uint64_t indices_at = kDataAt + map_size;
  const uint64_t indices_needed = indices_at + pixel_count;
  if (indices_needed > size) {
    return ParseResult<Image>::fail(too_short(image.path, "pixel indices", indices_needed, size));
  }

  if (stride != 0) {
    image.palette.reserve(entry_count);
    for (uint64_t p = kDataAt; p < kDataAt + map_size; p += stride) {
      image.palette.push_back(
          Colour{channel(bytes[p + 2]), channel(bytes[p + 1]), channel(bytes[p]), 1.0f});
    }
  }

  // The rasteriser and the blitter look every index up in the palette
  // without a check, so an index past its end is refused here.
  const size_t palette_size = image.palette.size();
  for (uint64_t k = 0; k < pixel_count; ++k) {
    const uint8_t index = bytes[indices_at + k];
    if (index >= palette_size) {
      return ParseResult<Image>::fail(image.path + ": Pixel " + std::to_string(k) +
                                      " uses colour map entry " + std::to_string(index) +
                                      ", but the colour map holds " + std::to_string(palette_size) +
                                      " entries");
    }
  }
  image.indices.assign(bytes.begin() + static_cast<ptrdiff_t>(indices_at),
                       bytes.begin() + static_cast<ptrdiff_t>(indices_needed));
  image.colour_mapped = true;
  return ParseResult<Image>::ok(std::move(image));
}

ParseResult<Image> parse_true_colour(std::span<const uint8_t> bytes, Image image,
                                     uint64_t pixel_count, uint8_t depth) {
  const uint64_t pixel_size = depth / 8;
  const uint64_t pixels_needed = kDataAt + pixel_count * pixel_size;
  if (pixels_needed > bytes.size()) {
    return ParseResult<Image>::fail(too_short(image.path, "pixels", pixels_needed, bytes.size()));
  }
  image.pixels.reserve(pixel_count);
  if (depth == 32) {
    for (uint64_t p = kDataAt; p < pixels_needed; p += 4) {
      image.pixels.push_back(Colour{channel(bytes[p + 2]), channel(bytes[p + 1]), channel(bytes[p]),
                                    channel(bytes[p + 3])});
    }
  } else {
    for (uint64_t p = kDataAt; p < pixels_needed; p += 3) {
      image.pixels.push_back(
          Colour{channel(bytes[p + 2]), channel(bytes[p + 1]), channel(bytes[p]), 1.0f});
    }
  }
  image.colour_mapped = false;
  return ParseResult<Image>::ok(std::move(image));
}

}  // namespace

ParseResult<Image> parse_tga(std::span<const uint8_t> bytes, const std::string& path) {
  if (bytes.size() < kHeaderSize) {
    return ParseResult<Image>::fail(path + ": File too short for the 18-byte TGA header (has " +
                                    std::to_string(bytes.size()) + " bytes)");
  }
  const uint8_t type = bytes[kImageTypeAt];
  if (type != kColourMapped && type != kTrueColour) {
    return ParseResult<Image>::fail(path +
                                    ": Unknown image type at byte 2, only uncompressed color "
                                    "mapped and uncompressed full color supported for now");
  }
  const uint8_t depth = bytes[kPixelDepthAt];
  if (type == kColourMapped && depth != 8) {
    return ParseResult<Image>::fail(path + ": Only 8bit colormapped images are supported for now");
  }
  if (type == kTrueColour && depth != 24 && depth != 32) {
    return ParseResult<Image>::fail(path + ": Depth not 32 or 24 bits, please supply BGRA or BGR");
  }

  Image image;
  image.path = path;
  image.width = read_u16_le(bytes, kWidthAt);
  image.height = read_u16_le(bytes, kHeightAt);
  // At most 65535 * 65535 pixels of at most 4 bytes: 64-bit arithmetic
  // cannot overflow, and every size is checked against the file before any
  // array is reserved.
  const uint64_t pixel_count =
      static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height);
  if (type == kColourMapped) return parse_colour_mapped(bytes, std::move(image), pixel_count);
  return parse_true_colour(bytes, std::move(image), pixel_count, depth);
}

Image read_tga(const std::string& path) {
  FileBytes file = read_file_bytes(path);
  if (!file.error.empty()) fatal("File read error: " + path + ": " + file.error);
  ParseResult<Image> result = parse_tga(file.bytes, path);
  if (!result) fatal(result.error);
  return std::move(*result.value);
}

}  // namespace vel
