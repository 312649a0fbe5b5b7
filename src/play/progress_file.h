// progress_file.h: what the player has achieved, as progress.txt keeps it
// in the data folder, and how a city frame adds to it.
//
//   veltrocane-progress 1
//   best_level 2              (the highest level completed; 0: none)
//   chips_taken 31
//   play_seconds 1234.5       (time spent in the city)
//   best_time_1 39.75         (the fastest completion of level 1, seconds)
//   best_time_2 ...
//
// Only the live game writes it; a replay and the headless runner start
// from what the recording (or the command line) says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scene_api/frame_events.h"

namespace vel {

// Levels beyond this are still played, their times not kept.
inline constexpr int32_t kMostTimedLevels = 999;

struct Progress {
  int32_t best_level = 0;
  uint64_t chips_taken = 0;
  double play_seconds = 0.0;
  std::vector<float> best_times;  // [level - 1]; 0: that level not completed yet
  // A level was completed: the shell writes the file at once and clears
  // it (chips and time go with it, a scene change and the end of the run).
  bool changed = false;
};

std::string progress_text(const Progress& progress);
struct ParsedProgress {
  Progress progress;
  std::string error;  // "line N: what", or empty
};
ParsedProgress parse_progress_text(std::string_view text);

// As load_options_file: defaults when missing; damaged or foreign set aside
// as progress.txt.damaged with one line in `message`.
struct LoadedProgress {
  Progress progress;
  std::string message;
};
LoadedProgress load_progress_file(const std::string& path);
std::string save_progress_file(const std::string& path, const Progress& progress);

// One frame of the played city: `events` from index `from` on are the
// city's, `dt` its length and `level_seconds` the city's clock after it
// (the time its LEVEL COMPLETE! message shows).
void note_city_frame(const FrameEvents& events, size_t from, float dt, float level_seconds,
                     Progress& progress);

}  // namespace vel
