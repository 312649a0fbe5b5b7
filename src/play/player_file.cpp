// player_file.cpp: reading, splitting, setting aside and writing the
// player's own files.
#include "play/player_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

#include "base/atomic_file.h"
#include "base/file_bytes.h"
#include "base/message_text.h"
#include "base/text_syntax.h"
#include "base/user_folders.h"

namespace vel {

namespace {

// The player's files are a few hundred bytes; anything much larger is not one.
constexpr uint64_t kPlayerFileLimit = uint64_t{1} << 20;

std::string line_error(size_t line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

}  // namespace

PlayerFileText read_player_file(const std::string& path) {
  PlayerFileText result;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return result;
  const FileBytes file = read_file_bytes(path, kPlayerFileLimit);
  if (!file.error.empty()) {
    result.problem = file.error;
    return result;
  }
  result.text.emplace(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
  return result;
}

std::string player_file_header(std::string_view magic, int32_t version) {
  return std::string(magic) + " " + std::to_string(version) + "\n";
}

KeyValueLines split_player_file(std::string_view text, std::string_view magic, int32_t version) {
  KeyValueLines result;
  if (!is_valid_utf8(text)) {
    result.error = "not text";
    return result;
  }
  size_t number = 0;
  while (!text.empty()) {
    const size_t feed = text.find('\n');
    ++number;
    if (feed == std::string_view::npos) {
      result.error = line_error(number, "cut short (no line feed)");
      return result;
    }
    const std::string_view line = text.substr(0, feed);
    text.remove_prefix(feed + 1);
    if (number == 1) {
      const std::string header = std::string(magic) + " " + std::to_string(version);
      if (line != header) {
        result.error =
            line_error(1, "expected \"" + header + "\", found \"" + message_token(line) + "\"");
        return result;
      }
      continue;
    }
    const size_t space = line.find(' ');
    if (space == 0 || space == std::string_view::npos || space + 1 == line.size() ||
        line.find(' ', space + 1) != std::string_view::npos) {
      result.error = line_error(number, "expected \"KEY VALUE\"");
      return result;
    }
    result.lines.push_back({line.substr(0, space), line.substr(space + 1), number});
  }
  if (number == 0) result.error = line_error(1, "empty file");
  return result;
}

std::string set_aside_damaged(const std::string& path, const std::string& why) {
  const std::string kept = path + ".damaged";
  if (std::rename(path.c_str(), kept.c_str()) != 0) {
    return path + ": " + why + "; using the defaults (could not keep it as " + kept + ": " +
           std::strerror(errno) + ")";
  }
  return path + ": " + why + "; using the defaults, the file kept as " + kept;
}

std::string write_player_file(const std::string& path, const std::string& text) {
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    if (const std::optional<std::string> problem = make_folders(path.substr(0, slash))) {
      return *problem;
    }
  }
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  const std::span<const uint8_t> pieces[] = {bytes};
  if (const std::optional<FileWriteFailure> failure = write_whole_file(path, pieces)) {
    return failure->step + ": " + failure->reason;
  }
  return {};
}

std::string float_text(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
  return buffer;
}

}  // namespace vel
