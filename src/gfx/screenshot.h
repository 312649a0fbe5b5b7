// screenshot.h: writing the picture as a binary PPM file.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vel {

inline constexpr const char* kScreenshotName = "screenshot.ppm";

// Writes "P6\n320 180\n255\n" and the pixels as RGB into a temporary file
// beside `path` and renames it over `path` only when complete. Returns an
// empty string on success, else the error text.
std::string write_screenshot(std::vector<uint8_t> bgr, const std::string& path = kScreenshotName);

}  // namespace vel
