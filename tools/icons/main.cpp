// main.cpp: veltrocane-icons <chip.tga> <output-folder> <size>...: the
// desktop's icons of the game, made from its own art: the face of the chip
// the player collects, on the night's dark, at each size given
// (<output-folder>/<N>.png). Whole enlargements keep the pixel art crisp;
// the smallest size, below the face's own, averages it down.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/file_bytes.h"
#include "base/user_folders.h"
#include "gfx/png_encoder.h"
#include "gfx/tga_reader.h"

namespace {

constexpr int kLargestIcon = 1024;
// The chip's face is the texture's top-left 24 x 24 pixels.
constexpr int kFace = 24;
constexpr std::array<uint8_t, 3> kNight{28, 14, 12};  // blue, green, red

std::array<float, 3> face_pixel(const vel::Image& chip, int x, int y) {
  const vel::Colour& c = chip.colour_mapped
                             ? chip.palette[chip.indices[static_cast<size_t>(y * chip.width + x)]]
                             : chip.pixels[static_cast<size_t>(y * chip.width + x)];
  return {c.b, c.g, c.r};
}

uint8_t to_byte(float value) {
  const float clamped = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
  return static_cast<uint8_t>(std::lround(clamped * 255.0f));
}

// One icon, blue, green, red, top row first.
std::vector<uint8_t> icon(const vel::Image& chip, int size) {
  std::vector<uint8_t> bgr(static_cast<size_t>(3 * size * size));
  for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = kNight[i % 3];
  const int scale = size / kFace;
  if (scale >= 1) {
    const int margin = (size - scale * kFace) / 2;
    for (int y = 0; y < scale * kFace; ++y) {
      for (int x = 0; x < scale * kFace; ++x) {
        const std::array<float, 3> c = face_pixel(chip, x / scale, y / scale);
        uint8_t* out = &bgr[static_cast<size_t>(3 * ((y + margin) * size + x + margin))];
        for (int k = 0; k < 3; ++k) out[k] = to_byte(c[static_cast<size_t>(k)]);
      }
    }
    return bgr;
  }
  // Each icon pixel is the mean of the face over the square it covers:
  // the face seen on a grid `size` times finer, kFace x kFace samples each.
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::array<float, 3> sum{};
      for (int v = y * kFace; v < (y + 1) * kFace; ++v) {
        for (int u = x * kFace; u < (x + 1) * kFace; ++u) {
          const std::array<float, 3> c = face_pixel(chip, u / size, v / size);
          for (size_t k = 0; k < 3; ++k) sum[k] += c[k];
        }
      }
      uint8_t* out = &bgr[static_cast<size_t>(3 * (y * size + x))];
      for (size_t k = 0; k < 3; ++k) out[k] = to_byte(sum[k] / static_cast<float>(kFace * kFace));
    }
  }
  return bgr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: veltrocane-icons <chip.tga> <output-folder> <size>...\n");
    return 2;
  }
  const vel::Image chip = vel::read_tga(argv[1]);
  if (chip.width < kFace || chip.height < kFace) {
    std::fprintf(stderr, "veltrocane-icons: %s: %dx%d pixels, smaller than the chip's face\n",
                 argv[1], chip.width, chip.height);
    return 1;
  }
  const std::string folder = argv[2];
  if (const std::optional<std::string> problem = vel::make_folders(folder)) {
    std::fprintf(stderr, "veltrocane-icons: %s\n", problem->c_str());
    return 1;
  }
  for (int arg = 3; arg < argc; ++arg) {
    const int size = std::atoi(argv[arg]);
    if (size < 1 || size > kLargestIcon || std::to_string(size) != argv[arg]) {
      std::fprintf(stderr, "veltrocane-icons: %s is not an icon size (1 to %d)\n", argv[arg],
                   kLargestIcon);
      return 2;
    }
    const std::string path = folder + "/" + std::to_string(size) + ".png";
    const vel::PngBytes png = vel::encode_png(icon(chip, size), size, size);
    if (!png.error.empty()) {
      std::fprintf(stderr, "veltrocane-icons: %s: %s\n", path.c_str(), png.error.c_str());
      return 1;
    }
    const std::array<std::span<const uint8_t>, 1> pieces{std::span<const uint8_t>(png.bytes)};
    if (const std::optional<vel::FileWriteFailure> failure = vel::write_whole_file(path, pieces)) {
      std::fprintf(stderr, "veltrocane-icons: %s: %s: %s\n", path.c_str(), failure->step.c_str(),
                   failure->reason.c_str());
      return 1;
    }
  }
  return 0;
}
