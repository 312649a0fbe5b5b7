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

// Writes the whole text with the all-or-nothing writer, creating the
// folder first; an empty string on success, else the reason naming the file.
std::string write_player_file(const std::string& path, const std::string& text);

// The number forms both files use: whole numbers as decimal integers, and
// floats written with nine significant digits (which read back to the same
// 32-bit value) and read in the syntax of settings.txt.
std::string float_text(float value);

}  // namespace vel
