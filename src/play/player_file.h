// player_file.h: what the player's own files (options, progress) share:
// a header line "MAGIC VERSION" and then "KEY VALUE" lines, read whole and
// written all or nothing; a damaged or foreign file is set aside as
// NAME.damaged (the player's data is never lost) and the game goes on with
// the defaults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vel {

// The text of one of the player's files.
struct PlayerFileText {
  std::optional<std::string> text;  // none: there is no such file (yet)
  std::string problem;              // not empty: it exists but could not be read
};
PlayerFileText read_player_file(const std::string& path);

// One "KEY VALUE" line of the body, viewing the text it came from.
struct KeyValueLine {
  std::string_view key;
  std::string_view value;
  size_t line = 0;  // 1-based
};
struct KeyValueLines {
  std::vector<KeyValueLine> lines;
  std::string error;  // "line N: what", or empty
};
// The body of a file that starts with "MAGIC VERSION"; every line ends in
// a line feed and holds one key, one space and a value.
KeyValueLines split_player_file(std::string_view text, std::string_view magic, int32_t version);
std::string player_file_header(std::string_view magic, int32_t version);

// Moves a file that cannot be used to PATH.damaged (over an older damaged
// copy) and returns the one line to say about it, naming both.
std::string set_aside_damaged(const std::string& path, const std::string& why);

// The body of a file of this MAGIC VERSION applied to `record` line by line
// with apply(key, value, record); the first line it refuses puts the record
// back to its defaults. Returns "line N: what", or empty.
template <typename Record, typename Apply>
std::string apply_player_lines(std::string_view text, std::string_view magic, int32_t version,
                               const Apply& apply, Record& record) {
  const KeyValueLines lines = split_player_file(text, magic, version);
  if (!lines.error.empty()) return lines.error;
  for (const KeyValueLine& line : lines.lines) {
    if (!apply(line.key, line.value, record)) {
      record = Record{};
      return "line " + std::to_string(line.line) + ": unknown key or bad value";
    }
  }
  return {};
}

// One of the player's files into `record` by parse(text, record), which
// returns the parse error or nothing: a missing file leaves the record as
// it is, one that cannot be read or parsed is set aside (the record as it
// was). Returns the line to say, or empty.
template <typename Record, typename Parse>
std::string load_player_record(const std::string& path, const Parse& parse, Record& record) {
  const PlayerFileText file = read_player_file(path);
  if (!file.problem.empty()) return set_aside_damaged(path, file.problem);
  if (!file.text) return {};
  Record parsed{};
  const std::string error = parse(*file.text, parsed);
  if (!error.empty()) return set_aside_damaged(path, error);
  record = std::move(parsed);
  return {};
}

// Writes the whole text with the all-or-nothing writer, creating the
// folder first; an empty string on success, else the reason naming the file.
std::string write_player_file(const std::string& path, const std::string& text);

// The number forms both files use: whole numbers as decimal integers, and
// floats written with nine significant digits (which read back to the same
// 32-bit value) and read in the syntax of settings.txt.
std::string float_text(float value);

}  // namespace vel
