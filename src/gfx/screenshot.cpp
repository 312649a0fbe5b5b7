// screenshot.cpp: saves a frame as "screenshot.ppm" (binary PPM, RGB) so that
// the file is either complete or, on any failure, left as it was before.
#include "gfx/screenshot.h"

#include <unistd.h>

#include <array>
#include <span>
#include <string_view>
#include <utility>

#include "gfx/framebuffer.h"

namespace vel {

namespace {

// The header of the game's own 320x180 frame, the fixed run's screenshot.
constexpr char kHeader[] = "P6\n320 180\n255\n";
static_assert(kPictureWidth == 320 && kPictureHeight == 180, "the header spells the picture size");
constexpr size_t kHeaderSize = sizeof(kHeader) - 1;  // 15 bytes

std::string failure_text(const std::string& path, const FileWriteFailure& failure) {
  std::string text = path + ": " + failure.step + ": " + failure.reason;
  if (failure.os_error != 0) text += " (os error " + std::to_string(failure.os_error) + ")";
  return text;
}

std::string write_ppm(std::vector<uint8_t> bgr, std::string_view header, const std::string& path,
                      const FileWriteFn& write_fn) {
  // The frame stores blue, green, red; the file wants red, green, blue. A
  // trailing partial pixel (never produced by a real frame) is written as is.
  for (size_t i = 0; i + 2 < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]);

  // The header goes out on its own, then the pixels in one piece.
  const std::array<std::span<const uint8_t>, 2> pieces{
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(header.data()), header.size()),
      std::span<const uint8_t>(bgr)};
  if (const std::optional<FileWriteFailure> failure = write_whole_file(path, pieces, write_fn)) {
    return failure_text(path, *failure);
  }
  return {};
}

ssize_t write_fd(int fd, const void* data, size_t size) {
  return ::write(fd, data, size);
}

}  // namespace

std::string write_screenshot(std::vector<uint8_t> bgr, const std::string& path,
                             const FileWriteFn& write_fn) {
  return write_ppm(std::move(bgr), std::string_view(kHeader, kHeaderSize), path, write_fn);
}

std::string write_screenshot(std::vector<uint8_t> bgr, const std::string& path) {
  return write_screenshot(std::move(bgr), path, write_fd);
}

std::string write_picture(std::vector<uint8_t> bgr, int32_t width, int32_t height,
                          const std::string& path) {
  const std::string header =
      "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  return write_ppm(std::move(bgr), header, path, write_fd);
}

}  // namespace vel
