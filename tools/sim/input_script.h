// input_script.h: scripted input for the headless runner: segments of
// "FRAMES HELD [LOOK_X LOOK_Y]", one a line, held for FRAMES frames each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/parse_result.h"
#include "scene_api/input.h"

namespace vel {

// Scripts are tools' input, not assets: a long recorded run may pass the
// assets' limit, so they get their own, still far from unbounded.
inline constexpr uint64_t kInputScriptSizeLimit = uint64_t{1} << 30;  // 1 GiB

struct InputSegment {
  uint64_t frames = 0;
  InputState input;
};

// A checked script, kept as its own text: every line is known to parse,
// and a run reads the segments as it reaches them, so a script costs its
// size in memory and no more.
struct InputScript {
  std::vector<uint8_t> text;
};

// Where a run stands in its script: the segment that holds frames
// first_frame to last_frame, and where the line after it starts.
struct ScriptCursor {
  size_t next_line = 0;
  uint64_t first_frame = 1;
  uint64_t last_frame = 0;  // 0: no segment read yet
  InputState input;
};

// `#` starts a comment, blank lines are skipped; HELD is decimal or 0x-hex
// and may set only bits 0 to 13; LOOK_X LOOK_Y (default 0 0) must be finite.
// Errors name the file and the 1-based line.
ParseResult<InputScript> parse_input_script(std::string_view text, const std::string& path);
ParseResult<InputScript> load_input_script(const std::string& path);

// The next segment from byte `offset` on (skipping blank and comment
// lines), with `offset` moved past its line; false after the last one.
bool next_segment(const InputScript& script, size_t& offset, InputSegment& segment);

// Input for frame k (1-based); all zero after the last segment. Frames
// asked in rising order cost constant time each, every line being read
// once however many frames (even none) it holds; an earlier frame than
// the cursor's segment starts the cursor over.
InputState input_for_frame(const InputScript& script, ScriptCursor& cursor, uint64_t frame);

}  // namespace vel
