// replay_run.cpp: the headless replay of a played game and its outputs.
#include "sim/replay_run.h"

#include <iostream>

#include "gfx/screenshot.h"
#include "play/play_run.h"
#include "play/recording.h"
#include "play/replay.h"
#include "sim/sound_out.h"

namespace vel {

int run_replay(const std::string& recording_path, const std::string& state_path,
               const std::string& ppm_path, const std::string& wav_path) {
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
  SoundOut sound;
  if (!wav_path.empty()) {
    // Sample 0 is the first scene start, as in the live game.
    const std::vector<RecordedEvent>& events = loaded.value->events;
    const float start = events.empty() ? 0.0f : events.front().time;
    if (const std::string error = sound_out_open(sound, wav_path, start); !error.empty()) {
      std::cerr << "veltrocane-sim: cannot write the sound: " << error << "\n";
      return kFailed;
    }
  }
  while (!cursor.ended) {
    // The city's events of a frame that left it are still in its record.
    const bool in_city = run.current == kCitySceneIndex;
    const uint64_t frames = run.frames;
    if (const std::string error = replay_step(cursor, run); !error.empty()) {
      sound_out_close(sound);
      std::cerr << "veltrocane-sim: " << error << "\n";
      return kFailed;
    }
    if (run.frames != frames) {
      sound_out_frame(sound, in_city ? run.city : nullptr, run.last_time, loaded.value->settings);
    }
  }
  if (const std::string error = sound_out_close(sound); !error.empty()) {
    std::cerr << "veltrocane-sim: cannot write the sound: " << error << "\n";
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
