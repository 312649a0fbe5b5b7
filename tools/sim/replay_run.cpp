// replay_run.cpp: the headless replay of a played game and its outputs.
#include "sim/replay_run.h"

#include <iostream>

#include "audio/sound_file.h"
#include "base/asset_root.h"
#include "gfx/draw_workers.h"
#include "gfx/screenshot.h"
#include "play/play_run.h"
#include "play/recording.h"
#include "play/replay.h"

namespace vel {

int run_replay(const std::string& recording_path, const std::string& state_path,
               const std::string& ppm_path, const std::string& wav_path, int32_t scale,
               int32_t threads) {
  constexpr int kFailed = 2;
  const ParseResult<Recording> loaded = load_recording(recording_path);
  if (!loaded) {
    std::cerr << "veltrocane-sim: " << loaded.error << "\n";
    return kFailed;
  }
  // The state is the same at every scale; only the picture differs. The
  // recording's scale unless one is asked for (0: none asked). A replay
  // reads the art where the played game does.
  if (scale == 0) scale = loaded.value->scale > 0 ? loaded.value->scale : 1;
  const std::unique_ptr<PlayRun> run =
      make_play_run(loaded.value->play_rules, scale, played_data_root());
  const std::unique_ptr<DrawWorkers> workers = start_draw_workers(threads);
  run->loop.framebuffer.workers = workers.get();
  ReplayCursor cursor;
  cursor.recording = &*loaded.value;
  cursor.path = recording_path;
  LoopOutputs outputs;
  SoundOut sound;
  if (!wav_path.empty()) {
    // Sample 0 is the first scene start, as in the live game.
    const float start = replay_start_time(*loaded.value);
    if (const std::string error = sound_out_open(sound, wav_path, start); !error.empty()) {
      std::cerr << "veltrocane-sim: cannot write the sound: " << error << "\n";
      return kFailed;
    }
    outputs.wav = &sound;
  }
  if (const std::string error = replay_all(cursor, *run, outputs); !error.empty()) {
    sound_out_abandon(sound);
    std::cerr << "veltrocane-sim: " << error << "\n";
    return kFailed;
  }
  if (const std::string error = sound_out_close(sound); !error.empty()) {
    std::cerr << "veltrocane-sim: cannot write the sound: " << error << "\n";
    return kFailed;
  }
  if (!state_path.empty()) {
    if (const std::string error = write_play_state(*run, state_path); !error.empty()) {
      std::cerr << "veltrocane-sim: cannot write the state: " << error << "\n";
      return kFailed;
    }
  }
  if (!ppm_path.empty()) {
    if (const std::string error =
            write_picture(run->loop.framebuffer.colour, run->loop.framebuffer.width,
                          run->loop.framebuffer.height, ppm_path);
        !error.empty()) {
      std::cerr << "veltrocane-sim: cannot write the picture: " << error << "\n";
      return kFailed;
    }
  }
  return 0;
}

}  // namespace vel
