// input_script.h: scripted input for the headless runner: segments of
// "FRAMES HELD [LOOK_X LOOK_Y]", one a line, held for FRAMES frames each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/parse_result.h"
#include "scene_api/input.h"

namespace vel {

struct InputSegment {
  uint64_t frames = 0;
  InputState input;
};

struct InputScript {
  std::vector<InputSegment> segments;
};

// `#` starts a comment, blank lines are skipped; HELD is decimal or 0x-hex
// and may set only bits 0 to 13; LOOK_X LOOK_Y (default 0 0) must be finite.
// Errors name the file and the 1-based line.
ParseResult<InputScript> parse_input_script(std::string_view text, const std::string& path);
ParseResult<InputScript> load_input_script(const std::string& path);
// Input for frame k (1-based); all zero after the last segment.
InputState input_for_frame(const InputScript& script, uint64_t frame);

}  // namespace vel
