// input_script.cpp: reading the headless runner's input scripts and
// answering which input a given frame receives.
#include "sim/input_script.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_bytes.h"
#include "base/text_syntax.h"

namespace vel {

namespace {

// The scene reads control slots 0 to 13; any other bit is a typing error.
constexpr uint64_t kKnownBits = 0x3FFF;

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> split_fields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && is_blank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
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

std::string located(const std::string& path, size_t line, const std::string& what) {
  return path + ":" + std::to_string(line) + ": " + what;
}

}  // namespace

ParseResult<InputScript> parse_input_script(std::string_view text, const std::string& path) {
  InputScript script;
  size_t line_number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++line_number;

    const size_t comment = line.find('#');
    if (comment != std::string_view::npos) line = line.substr(0, comment);
    const std::vector<std::string_view> fields = split_fields(line);
    if (fields.empty()) continue;
    if (fields.size() != 2 && fields.size() != 4) {
      return ParseResult<InputScript>::fail(located(path, line_number,
                                                    "expected FRAMES HELD [LOOK_X LOOK_Y], found " +
                                                        std::to_string(fields.size()) + " fields"));
    }

    InputSegment segment;
    const std::optional<uint64_t> frames = parse_index(fields[0]);
    if (!frames) {
      return ParseResult<InputScript>::fail(located(
          path, line_number, "FRAMES \"" + std::string(fields[0]) + "\" is not a whole number"));
    }
    segment.frames = *frames;

    const std::optional<uint64_t> held = parse_held(fields[1]);
    if (!held) {
      return ParseResult<InputScript>::fail(
          located(path, line_number,
                  "HELD \"" + std::string(fields[1]) + "\" is not a decimal or 0x number"));
    }
    if ((*held & ~kKnownBits) != 0) {
      return ParseResult<InputScript>::fail(located(
          path, line_number,
          "HELD \"" + std::string(fields[1]) + "\" sets bits beyond 13 (largest is 0x3FFF)"));
    }
    segment.input.held = static_cast<uint32_t>(*held);

    if (fields.size() == 4) {
      const std::optional<float> look_x = parse_float(fields[2]);
      const std::optional<float> look_y = parse_float(fields[3]);
      // A non-finite turn would leave the view angles NaN for the rest of
      // the run.
      if (!look_x || !look_y || !std::isfinite(*look_x) || !std::isfinite(*look_y)) {
        return ParseResult<InputScript>::fail(located(path, line_number,
                                                      "LOOK \"" + std::string(fields[2]) + " " +
                                                          std::string(fields[3]) +
                                                          "\" is not two finite numbers"));
      }
      segment.input.look = {*look_x, *look_y};
    }
    script.segments.push_back(segment);
  }
  return ParseResult<InputScript>::ok(std::move(script));
}

ParseResult<InputScript> load_input_script(const std::string& path) {
  const FileBytes file = read_file_bytes(path);
  if (!file.error.empty()) {
    return ParseResult<InputScript>::fail(path + ": cannot read input script: " + file.error);
  }
  const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
  return parse_input_script(text, path);
}

InputState input_for_frame(const InputScript& script, uint64_t frame) {
  if (frame == 0) return {};
  // Counted down segment by segment, so long scripts cannot overflow a sum.
  uint64_t remaining = frame;
  for (const InputSegment& segment : script.segments) {
    if (remaining <= segment.frames) return segment.input;
    remaining -= segment.frames;
  }
  return {};
}

}  // namespace vel
