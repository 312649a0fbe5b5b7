// screenshot.h: writing the picture as a binary PPM file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/atomic_file.h"

namespace vel {

inline constexpr const char* kScreenshotName = "screenshot.ppm";

// Writes "P6\n320 180\n255\n" and the pixels as RGB through
// write_whole_file: complete or not at all, so a failed write leaves any
// previous file as it was; a link is written through, a device or FIFO
// written into. Returns an empty string on success, else the error text
// (naming the file and the system's reason).
std::string write_screenshot(std::vector<uint8_t> bgr, const std::string& path = kScreenshotName);
std::string write_screenshot(std::vector<uint8_t> bgr, const std::string& path,
                             const FileWriteFn& write_fn);
// The same for a picture of any size (a render scale above 1): the header
// spells width and height.
std::string write_picture(std::vector<uint8_t> bgr, int32_t width, int32_t height,
                          const std::string& path);

}  // namespace vel
