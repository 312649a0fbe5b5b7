// picture_files.cpp: naming, encoding and writing the F12 pictures.
#include "play/picture_files.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <optional>
#include <span>

#include "base/atomic_file.h"
#include "base/user_folders.h"
#include "gfx/png_encoder.h"

namespace vel {

namespace {

// Beyond this many pictures in one second the last name is reused: the
// writer then replaces it whole, never leaving a broken file.
constexpr int32_t kMostInOneSecond = 1000;

bool exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

std::string write_png(const std::string& path, const PngBytes& png) {
  if (!png.error.empty()) return path + ": " + png.error;
  const std::array<std::span<const uint8_t>, 1> pieces{std::span<const uint8_t>(png.bytes)};
  if (const std::optional<FileWriteFailure> failure = write_whole_file(path, pieces)) {
    std::string text = path + ": " + failure->step + ": " + failure->reason;
    if (failure->os_error != 0) text += " (os error " + std::to_string(failure->os_error) + ")";
    return text;
  }
  return {};
}

}  // namespace

int32_t scaled_copy_factor(int32_t width) {
  const int32_t fill = width > 0 ? 1280 / width : 1;
  return fill > 2 ? fill : 2;
}

PictureNames picture_names(const std::string& folder, const std::tm& when, int32_t factor,
                           const std::function<bool(const std::string& path)>& taken) {
  std::array<char, 64> stamp{};
  std::snprintf(stamp.data(), stamp.size(), "veltrocane-%04d%02d%02d-%02d%02d%02d",
                when.tm_year + 1900, when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min,
                when.tm_sec);
  const std::string stem = folder + "/" + stamp.data();
  const std::string enlarged = "-x" + std::to_string(factor) + ".png";
  PictureNames names{stem + ".png", stem + enlarged};
  for (int32_t number = 2; number <= kMostInOneSecond; ++number) {
    if (!taken(names.picture) && !taken(names.scaled)) break;
    const std::string numbered = stem + "-" + std::to_string(number);
    names = {numbered + ".png", numbered + enlarged};
  }
  return names;
}

std::string save_picture_files(const Framebuffer& picture, const std::string& folder,
                               const std::tm& when, PictureNames& saved) {
  if (const std::optional<std::string> problem = make_folders(folder)) return *problem;
  const int32_t factor = scaled_copy_factor(picture.width);
  saved = picture_names(folder, when, factor, exists);
  if (std::string error =
          write_png(saved.picture, encode_png(picture.colour, picture.width, picture.height));
      !error.empty()) {
    return error;
  }
  return write_png(saved.scaled, encode_png(picture.colour, picture.width, picture.height, factor));
}

}  // namespace vel
