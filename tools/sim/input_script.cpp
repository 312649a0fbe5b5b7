// input_script.cpp: reading the headless runner's input scripts and
// answering which input a given frame receives.
#include "sim/input_script.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_bytes.h"
#include "base/message_text.h"
#include "base/text_syntax.h"
#include "scene_api/settings.h"

namespace vel {

namespace {

// The scene reads only the control slots' bits; any other is a typing error.
constexpr uint64_t kKnownBits = kControlSlotBits;
constexpr size_t kMostFields = 4;

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// The first four fields, and how many there are in all; nothing is
// allocated, as a run reads its lines between frames.
struct Fields {
  std::array<std::string_view, kMostFields> field;
  size_t count = 0;
};

Fields split_fields(std::string_view line) {
  Fields fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && is_blank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    if (i > start) {
      if (fields.count < kMostFields) fields.field[fields.count] = line.substr(start, i - start);
      ++fields.count;
    }
  }
  return fields;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decimal, or hexadecimal after "0x" / "0X"; no sign. Values past the
// known bits are refused by the caller, so stopping at 64 bits is enough.
std::optional<uint64_t> parse_held(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    uint64_t value = 0;
    for (const char c : text.substr(2)) {
      const int digit = hex_digit(c);
      if (digit < 0 || value > (UINT64_MAX >> 4)) return std::nullopt;
      value = (value << 4) | static_cast<uint64_t>(digit);
    }
    return value;
  }
  if (!text.empty() && text[0] == '+') return std::nullopt;
  return parse_index(text);
}

// The script's own bytes in a message: escaped and cut short.
std::string quoted(std::string_view text) {
  return "\"" + message_token(text) + "\"";
}

std::string located(const std::string& path, size_t line, const std::string& what) {
  return path + ":" + std::to_string(line) + ": " + what;
}

struct ScriptLine {
  bool blank = false;
  InputSegment segment;
  std::string error;  // empty when the line is blank or a segment
};

ScriptLine parse_line(std::string_view line) {
  ScriptLine result;
  const size_t comment = line.find('#');
  if (comment != std::string_view::npos) line = line.substr(0, comment);
  const Fields fields = split_fields(line);
  if (fields.count == 0) {
    result.blank = true;
    return result;
  }
  if (fields.count != 2 && fields.count != 4) {
    result.error =
        "expected FRAMES HELD [LOOK_X LOOK_Y], found " + std::to_string(fields.count) + " fields";
    return result;
  }

  const std::optional<uint64_t> frames = parse_index(fields.field[0]);
  if (!frames) {
    result.error = "FRAMES " + quoted(fields.field[0]) + " is not a whole number";
    return result;
  }
  result.segment.frames = *frames;

  const std::optional<uint64_t> held = parse_held(fields.field[1]);
  if (!held) {
    result.error = "HELD " + quoted(fields.field[1]) + " is not a decimal or 0x number";
    return result;
  }
  if ((*held & ~kKnownBits) != 0) {
    result.error = "HELD " + quoted(fields.field[1]) + " sets bits beyond 13 (largest is 0x3FFF)";
    return result;
  }
  result.segment.input.held = static_cast<uint32_t>(*held);

  if (fields.count == 4) {
    const std::optional<float> look_x = parse_float(fields.field[2]);
    const std::optional<float> look_y = parse_float(fields.field[3]);
    // A non-finite turn would leave the view angles NaN for the rest of
    // the run.
    if (!look_x || !look_y || !std::isfinite(*look_x) || !std::isfinite(*look_y)) {
      result.error = "LOOK \"" + message_token(fields.field[2]) + " " +
                     message_token(fields.field[3]) + "\" is not two finite numbers";
      return result;
    }
    result.segment.input.look = {*look_x, *look_y};
  }
  return result;
}

std::string_view text_of(const InputScript& script) {
  return {reinterpret_cast<const char*>(script.text.data()), script.text.size()};
}

// The line starting at `offset`, with `offset` moved past its line feed.
std::string_view take_line(std::string_view text, size_t& offset) {
  size_t end = text.find('\n', offset);
  if (end == std::string_view::npos) end = text.size();
  const std::string_view line = text.substr(offset, end - offset);
  offset = end + 1;
  return line;
}

ParseResult<InputScript> checked(InputScript script, const std::string& path) {
  const std::string_view text = text_of(script);
  size_t line_number = 0;
  size_t offset = 0;
  while (offset < text.size()) {
    ++line_number;
    const ScriptLine line = parse_line(take_line(text, offset));
    if (!line.error.empty()) {
      return ParseResult<InputScript>::fail(located(path, line_number, line.error));
    }
  }
  return ParseResult<InputScript>::ok(std::move(script));
}

}  // namespace

ParseResult<InputScript> parse_input_script(std::string_view text, const std::string& path) {
  InputScript script;
  script.text.assign(text.begin(), text.end());
  return checked(std::move(script), path);
}

ParseResult<InputScript> load_input_script(const std::string& path) {
  FileBytes file = read_file_bytes(path, kInputScriptSizeLimit);
  if (!file.error.empty()) {
    return ParseResult<InputScript>::fail(path + ": cannot read input script: " + file.error);
  }
  InputScript script;
  script.text = std::move(file.bytes);
  return checked(std::move(script), path);
}

bool next_segment(const InputScript& script, size_t& offset, InputSegment& segment) {
  const std::string_view text = text_of(script);
  while (offset < text.size()) {
    const ScriptLine line = parse_line(take_line(text, offset));
    // Only blank lines are skipped; a checked script has no bad ones.
    if (!line.blank) {
      segment = line.segment;
      return true;
    }
  }
  return false;
}

InputState input_for_frame(const InputScript& script, ScriptCursor& cursor, uint64_t frame) {
  if (frame == 0) return {};
  if (frame < cursor.first_frame) cursor = ScriptCursor{};
  while (frame > cursor.last_frame) {
    InputSegment segment;
    if (!next_segment(script, cursor.next_line, segment)) {
      // After the last segment every frame gets the all-zero input.
      cursor.first_frame = cursor.last_frame + 1;
      cursor.last_frame = UINT64_MAX;
      cursor.input = {};
      break;
    }
    if (segment.frames == 0) continue;  // holds no frame: read once, then passed
    cursor.first_frame = cursor.last_frame + 1;
    // Saturates: a sum past 2^64 - 1 covers every frame a run can ask for.
    cursor.last_frame = segment.frames > UINT64_MAX - cursor.last_frame
                            ? UINT64_MAX
                            : cursor.last_frame + segment.frames;
    cursor.input = segment.input;
  }
  return cursor.input;
}

}  // namespace vel
