// picture.h: reference-picture checks for the tests: a framebuffer compared
// with a committed binary PPM under tests/golden/.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gfx/framebuffer.h"

namespace vel::test {

// An RGB picture as held by a binary PPM (top row first).
struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;  // 3 * width * height
};

// The target's colour bytes turned from BGR into RGB.
Picture picture_of(const Framebuffer& target);

// "P6\n<w> <h>\n255\n" followed by the RGB bytes. Returns false on a write
// failure.
bool write_ppm(const std::string& path, const Picture& picture);
// A binary PPM with maxval 255 (comments allowed in the header), or nothing
// when the file is missing or malformed.
std::optional<Picture> read_ppm(const std::string& path);

// Where a differing picture is written for a person to look at:
// <dir>/<stem>.ppm -> <dir>/<stem>.actual.ppm.
std::string actual_path(const std::string& path);

// tests/golden/<name> in the source tree.
std::string golden_path(const std::string& name);

// Compares the target with the golden picture at `path`. On a difference the
// actual picture is written beside it as <stem>.actual.ppm (so a person can
// look at both) and the result fails, naming the first differing pixel. When
// the golden file is missing and VEL_UPDATE_GOLDEN=1 is set, the picture is
// written as the new golden file and the result passes; otherwise a missing
// golden file fails.
::testing::AssertionResult matches_golden(const Framebuffer& target, const std::string& path);

}  // namespace vel::test
