// progress_file.cpp: progress.txt written and read back, and what a frame
// of the city adds to it.
#include "play/progress_file.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "base/text_syntax.h"
#include "play/player_file.h"

namespace vel {

namespace {

constexpr std::string_view kMagic = "veltrocane-progress";
constexpr int32_t kVersion = 1;
constexpr std::string_view kBestTime = "best_time_";

std::optional<float> parse_seconds(std::string_view value) {
  const std::optional<float> seconds = parse_float(value);
  if (!seconds || !std::isfinite(*seconds) || *seconds < 0.0f) return std::nullopt;
  return seconds;
}

bool apply_line(std::string_view key, std::string_view value, Progress& progress) {
  if (key == "best_level") {
    const std::optional<int32_t> level = parse_int32(value);
    if (!level || *level < 0) return false;
    progress.best_level = *level;
    return true;
  }
  if (key == "chips_taken") {
    const std::optional<uint64_t> chips = parse_index(value);
    if (chips) progress.chips_taken = *chips;
    return chips.has_value();
  }
  if (key == "play_seconds") {
    const std::optional<float> seconds = parse_seconds(value);
    if (seconds) progress.play_seconds = *seconds;
    return seconds.has_value();
  }
  if (key.substr(0, kBestTime.size()) == kBestTime) {
    const std::optional<int32_t> level = parse_int32(key.substr(kBestTime.size()));
    const std::optional<float> seconds = parse_seconds(value);
    if (!level || *level < 1 || *level > kMostTimedLevels || !seconds || !(*seconds > 0.0f)) {
      return false;
    }
    if (progress.best_times.size() < static_cast<size_t>(*level)) {
      progress.best_times.resize(static_cast<size_t>(*level), 0.0f);
    }
    progress.best_times[static_cast<size_t>(*level) - 1] = *seconds;
    return true;
  }
  return false;
}

}  // namespace

std::string progress_text(const Progress& progress) {
  char seconds[48];
  std::snprintf(seconds, sizeof seconds, "%.3f", progress.play_seconds);
  std::string text = player_file_header(kMagic, kVersion) + "best_level " +
                     std::to_string(progress.best_level) + "\nchips_taken " +
                     std::to_string(progress.chips_taken) + "\nplay_seconds " + seconds + "\n";
  for (size_t i = 0; i < progress.best_times.size(); ++i) {
    if (!(progress.best_times[i] > 0.0f)) continue;
    text += std::string(kBestTime) + std::to_string(i + 1) + " " +
            float_text(progress.best_times[i]) + "\n";
  }
  return text;
}

ParsedProgress parse_progress_text(std::string_view text) {
  ParsedProgress parsed;
  const auto apply = [](std::string_view key, std::string_view value, Progress& progress) {
    return apply_line(key, value, progress);
  };
  parsed.error = apply_player_lines(text, kMagic, kVersion, apply, parsed.progress);
  return parsed;
}

LoadedProgress load_progress_file(const std::string& path) {
  LoadedProgress loaded;
  const auto parse = [](std::string_view text, Progress& progress) {
    ParsedProgress parsed = parse_progress_text(text);
    progress = std::move(parsed.progress);
    return parsed.error;
  };
  loaded.message = load_player_record(path, parse, loaded.progress);
  return loaded;
}

std::string save_progress_file(const std::string& path, const Progress& progress) {
  return write_player_file(path, progress_text(progress));
}

void note_city_frame(const FrameEvents& events, size_t from, float dt, float level_seconds,
                     Progress& progress) {
  progress.play_seconds += static_cast<double>(dt);
  for (size_t i = from; i < events.count; ++i) {
    const FrameEvent& event = events.list[i];
    // One chip picked up, as the player counts them (its value is the
    // city's own count); kept with the next level or scene change, so a
    // pickup never waits for the disk.
    if (event.kind == EventKind::chip_taken) progress.chips_taken += 1;
    if (event.kind != EventKind::level_complete) continue;
    // The best level is one the player completed, not one merely entered.
    const auto level = static_cast<int32_t>(event.value);
    if (level > progress.best_level) progress.best_level = level;
    progress.changed = true;
    if (level < 1 || level > kMostTimedLevels || !(level_seconds > 0.0f)) continue;
    const auto index = static_cast<size_t>(level) - 1;
    // Grown only on the rare frame that completes a level.
    if (progress.best_times.size() <= index) progress.best_times.resize(index + 1, 0.0f);
    float& best = progress.best_times[index];
    if (!(best > 0.0f) || level_seconds < best) best = level_seconds;
  }
}

}  // namespace vel
