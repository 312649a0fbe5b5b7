// game_loop.h: the one frame loop of every program that runs frames (the
// played game live and replayed, the headless runner, the benchmark):
//
//   input (all-zero, script, devices, recording)
//     -> the recording's frame line
//     -> run_frame: the scene's step, its drawing, the end of its frame
//     -> what the scene sounds like, and the frame's events, to the sound
//        sinks (the WAV file, the audio device)
//     -> the switch the frame asks for, made by loop_enter when the caller
//        says (live: now; replay: at the recorded time).
//
// The state file and the picture are written from the loop by the caller
// after the last frame.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "audio/sound_file.h"
#include "gfx/framebuffer.h"
#include "play/recording.h"
#include "scene_api/frame_events.h"
#include "scene_api/scene.h"
#include "scene_api/settings.h"
#include "scene_api/soundscape.h"

namespace vel {

// The sound of the audio device: the live shell's, which owns the device.
using DeviceSound =
    std::function<void(const FrameEvents&, const Soundscape&, float time, float dt)>;

// Where a frame's results go; each one optional.
struct LoopOutputs {
  RecordingWriter* recording = nullptr;  // the frame lines and scene starts, as they happen
  SoundOut* wav = nullptr;               // the sound track, as a file
  DeviceSound device_sound;              // the sound track, to the speakers
};

struct GameLoop {
  std::vector<std::unique_ptr<Scene>> scenes;  // the program's list (scene_requests.h)
  int32_t current = 0;
  Framebuffer framebuffer;
  FrameEvents events;  // the last frame's
  Soundscape heard;    // what the last frame's scene sounds like
  uint64_t frames = 0;
  float last_time = 0.0f;  // the time handed to the last frame
};

// What a frame's result asks of the loop: a quit request ends the run, an
// index of the list switches and re-initialises, anything else is ignored.
struct FrameStep {
  bool quit = false;
  std::optional<int32_t> enter;  // scene to initialise and switch to
  bool relative_mouse = true;
};

FrameStep frame_step(const FrameResult& result, size_t scene_count);

// Scene::init of entry `scene` at `time`, which becomes current; the
// recording notes it.
void loop_enter(GameLoop& loop, int32_t scene, const Settings& settings, float time,
                LoopOutputs& outputs);
// One frame of the current scene, through every output. The switch it
// asks for is returned, not made: the caller times the init.
FrameStep loop_frame(GameLoop& loop, const InputState& input, float dt, float time,
                     const Settings& settings, LoopOutputs& outputs);

}  // namespace vel
