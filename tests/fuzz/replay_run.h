// replay_run.h: a fuzzed recording read and, when accepted, replayed
// through the played game's frame step for a bounded number of frames and
// time. Shared by the fuzz target and the unit test that replays its saved
// inputs.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/reader_invariants.h"
#include "play/play_run.h"
#include "play/recording.h"
#include "play/replay.h"

namespace vel::fuzz {

// Frames a fuzzed recording may run, and the time it may take: enough for
// the title, the switch into the city and some physics, short enough that
// a case costs a fraction of libFuzzer's per-input timeout.
inline constexpr int kMostReplayedFrames = 48;
inline constexpr std::chrono::milliseconds kMostReplayTime{500};

// The runs are built once per rule set (reading the assets is slow) and
// reused: each replay starts with the title's own init.
inline PlayRun& shared_run(bool play_rules) {
  static std::unique_ptr<PlayRun> runs[2];
  std::unique_ptr<PlayRun>& run = runs[play_rules ? 1 : 0];
  if (!run) run = make_play_run(play_rules, 1);
  return *run;
}

// An empty string, or what went wrong: a refusal or a replay error that
// does not name the file and a line, or a state that is not finite.
inline std::string replay_fuzzed(std::string_view text) {
  const std::string path = "fuzzed.txt";
  const ParseResult<Recording> read = parse_recording(text, path);
  if (std::string broken = check_recording(read, path); !broken.empty()) return broken;
  if (!read) return {};
  PlayRun& run = shared_run(read.value->play_rules);
  ReplayCursor cursor;
  cursor.recording = &*read.value;
  cursor.path = path;
  LoopOutputs outputs;
  const auto until = std::chrono::steady_clock::now() + kMostReplayTime;
  for (int frame = 0; frame < kMostReplayedFrames && !cursor.ended; ++frame) {
    const std::string error = replay_step(cursor, run, outputs);
    if (!error.empty()) {
      return error.rfind(path + ":", 0) == 0 ? std::string() : "replay error names no line";
    }
    if (std::chrono::steady_clock::now() > until) break;
  }
  return {};
}

}  // namespace vel::fuzz
