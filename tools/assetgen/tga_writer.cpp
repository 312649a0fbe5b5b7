// tga_writer.cpp: TGA headers, palettes and pixel rows.
#include "tga_writer.h"

#include <algorithm>
#include <cstddef>

namespace vel {

namespace {

constexpr uint8_t kTopLeftOrigin = 0x20;

void put_u16(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
  bytes[at] = static_cast<uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

std::vector<uint8_t> header(const Canvas& canvas, uint8_t image_type, uint8_t depth,
                            uint8_t descriptor) {
  std::vector<uint8_t> bytes(18, 0);
  bytes[2] = image_type;
  put_u16(bytes, 12, canvas.width);
  put_u16(bytes, 14, canvas.height);
  bytes[16] = depth;
  bytes[17] = descriptor;
  return bytes;
}

bool same_colour(Rgba a, Rgba b) {
  return a.r == b.r && a.g == b.g && a.b == b.b;
}

TgaEncoding encode_colour_mapped(const Canvas& canvas) {
  std::vector<Rgba> palette;
  std::vector<uint8_t> indices;
  indices.reserve(canvas.pixels.size());
  for (const Rgba& pixel : canvas.pixels) {
    const auto found = std::find_if(palette.begin(), palette.end(),
                                    [pixel](Rgba entry) { return same_colour(entry, pixel); });
    if (found == palette.end()) {
      if (palette.size() == 256) {
        return {{}, "a colour-mapped picture may hold at most 256 colours"};
      }
      palette.push_back(pixel);
      indices.push_back(static_cast<uint8_t>(palette.size() - 1));
    } else {
      indices.push_back(static_cast<uint8_t>(found - palette.begin()));
    }
  }
  TgaEncoding encoding;
  encoding.bytes = header(canvas, 1, 8, kTopLeftOrigin);
  encoding.bytes[1] = 1;  // a colour map is present
  put_u16(encoding.bytes, 5, static_cast<int32_t>(palette.size()));
  encoding.bytes[7] = 24;
  for (const Rgba& entry : palette) {
    encoding.bytes.insert(encoding.bytes.end(), {entry.b, entry.g, entry.r});
  }
  encoding.bytes.insert(encoding.bytes.end(), indices.begin(), indices.end());
  return encoding;
}

}  // namespace

TgaEncoding encode_tga(const Canvas& canvas, TgaKind kind) {
  if (canvas.width <= 0 || canvas.height <= 0 || canvas.width > 0xFFFF || canvas.height > 0xFFFF ||
      canvas.pixels.size() != static_cast<size_t>(canvas.width) * canvas.height) {
    return {{}, "the picture size does not fit a TGA file"};
  }
  if (kind == TgaKind::colour_mapped_8) return encode_colour_mapped(canvas);

  const bool with_alpha = kind == TgaKind::true_colour_32;
  // The low four descriptor bits count the alpha bits of each pixel.
  TgaEncoding encoding;
  encoding.bytes = header(canvas, 2, with_alpha ? 32 : 24,
                          static_cast<uint8_t>(kTopLeftOrigin | (with_alpha ? 8 : 0)));
  for (const Rgba& pixel : canvas.pixels) {
    encoding.bytes.insert(encoding.bytes.end(), {pixel.b, pixel.g, pixel.r});
    if (with_alpha) encoding.bytes.push_back(pixel.a);
  }
  return encoding;
}

}  // namespace vel
