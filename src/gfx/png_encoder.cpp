// png_encoder.cpp: libpng's simplified writer over an enlarged copy of
// the picture when one is asked for.
#include "gfx/png_encoder.h"

#include <png.h>

#include <cstring>

namespace vel {

namespace {

// Every pixel repeated `scale` times along its row, and every row `scale`
// times.
std::vector<uint8_t> enlarged(std::span<const uint8_t> bgr, size_t width, size_t height,
                              size_t scale) {
  const size_t row_bytes = 3 * width * scale;
  std::vector<uint8_t> out(row_bytes * height * scale);
  uint8_t* row = out.data();
  for (size_t y = 0; y < height; ++y) {
    const uint8_t* source = bgr.data() + 3 * width * y;
    uint8_t* cursor = row;
    for (size_t x = 0; x < width; ++x) {
      for (size_t k = 0; k < scale; ++k) {
        std::memcpy(cursor, source + 3 * x, 3);
        cursor += 3;
      }
    }
    for (size_t k = 1; k < scale; ++k) std::memcpy(row + k * row_bytes, row, row_bytes);
    row += row_bytes * scale;
  }
  return out;
}

}  // namespace

PngBytes encode_png(std::span<const uint8_t> bgr, int32_t width, int32_t height, int32_t scale) {
  PngBytes result;
  if (width <= 0 || height <= 0 || scale < 1 || scale > kLargestPngScale) {
    result.error = "cannot make a PNG of " + std::to_string(width) + "x" + std::to_string(height) +
                   " pixels at scale " + std::to_string(scale);
    return result;
  }
  const size_t w = static_cast<size_t>(width);
  const size_t h = static_cast<size_t>(height);
  if (bgr.size() != 3 * w * h) {
    result.error = "the picture holds " + std::to_string(bgr.size()) + " bytes, not the " +
                   std::to_string(3 * w * h) + " of " + std::to_string(width) + "x" +
                   std::to_string(height) + " pixels";
    return result;
  }
  std::vector<uint8_t> copy;
  std::span<const uint8_t> pixels = bgr;
  if (scale > 1) {
    copy = enlarged(bgr, w, h, static_cast<size_t>(scale));
    pixels = copy;
  }

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w * static_cast<size_t>(scale));
  image.height = static_cast<png_uint_32>(h * static_cast<size_t>(scale));
  image.format = PNG_FORMAT_BGR;
  // Room for the worst case, uncompressed; trimmed to what was written.
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
  result.bytes.resize(size);
  if (png_image_write_to_memory(&image, result.bytes.data(), &size, 0, pixels.data(), 0, nullptr) ==
      0) {
    result.error = std::string("libpng: ") + image.message;
    result.bytes.clear();
    png_image_free(&image);
    return result;
  }
  result.bytes.resize(size);
  return result;
}

}  // namespace vel
