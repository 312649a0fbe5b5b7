// screenshot.h: writing the picture as a binary PPM file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vel {

inline constexpr const char* kScreenshotName = "screenshot.ppm";

// The system call that moves bytes to the file: same contract as POSIX
// write (bytes accepted, or -1 with errno set). Tests pass one that fails.
using FileWriteFn = std::function<ssize_t(int fd, const void* data, size_t size)>;

// Writes "P6\n320 180\n255\n" and the pixels as RGB into a temporary file
// beside `path` and renames it over `path` only when complete, so a failed
// write leaves any previous file as it was. Returns an empty string on
// success, else the error text (naming the file and the system's reason).
std::string write_screenshot(std::vector<uint8_t> bgr, const std::string& path = kScreenshotName);
std::string write_screenshot(std::vector<uint8_t> bgr, const std::string& path,
                             const FileWriteFn& write_fn);

}  // namespace vel
