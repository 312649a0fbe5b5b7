// replay_run.cpp: the headless replay of a played game and its outputs.
#include "sim/replay_run.h"

#include <iostream>

#include "gfx/screenshot.h"
#include "play/play_run.h"
#include "play/recording.h"
#include "play/replay.h"

namespace vel {

int run_replay(const std::string& recording_path, const std::string& state_path,
               const std::string& ppm_path) {
  constexpr int kFailed = 2;
  const ParseResult<Recording> loaded = load_recording(recording_path);
  if (!loaded) {
    std::cerr << "veltrocane-sim: " << loaded.error << "\n";
    return kFailed;
  }
  PlayRun run = make_play_run(loaded.value->play_rules);
  ReplayCursor cursor;
  cursor.recording = &*loaded.value;
  cursor.path = recording_path;
  if (const std::string error = replay_all(cursor, run); !error.empty()) {
    std::cerr << "veltrocane-sim: " << error << "\n";
    return kFailed;
  }
  if (!state_path.empty()) {
    if (const std::string error = write_play_state(run, state_path); !error.empty()) {
      std::cerr << "veltrocane-sim: cannot write the state: " << error << "\n";
      return kFailed;
    }
  }
  if (!ppm_path.empty()) {
    if (const std::string error = write_screenshot(run.framebuffer.colour, ppm_path);
        !error.empty()) {
      std::cerr << "veltrocane-sim: cannot write the picture: " << error << "\n";
      return kFailed;
    }
  }
  return 0;
}

}  // namespace vel
