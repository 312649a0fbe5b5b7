// sdl_audio.h: the played game's sound on the SDL2 audio device.
//
// The main loop queues the samples itself (SDL_QueueAudio) after each
// frame, so the mixer, like the rules, only ever runs on the main thread
// and needs no lock or shared buffer. Each frame renders the time it covered
// but tops the queue up to kQueueTarget when a long frame let it run low,
// and never fills it past kQueueCap when frames come fast. The queue left
// after a frame's render must outlast the time to the next render: the
// rest of this frame and the next frame's work, which in a single 40 ms
// frame is up to 57 ms, plus the device's pull of a whole buffer at a
// time. 60 ms carries the sound through such a frame; what is heard is
// then about 45 ms behind the frame's render (the README gives the
// measured figures), and does not drift.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/sound_track.h"

namespace vel {

inline constexpr uint32_t kQueueTarget = 2880;  // stereo frames: 60 ms
inline constexpr uint32_t kQueueCap = 3456;     // 72 ms; with the device's 5 ms under 80

struct SdlAudio {
  SDL_AudioDeviceID device = 0;  // 0: silent
  bool subsystem = false;
  std::unique_ptr<SoundTrack> track;
  std::vector<int16_t> buffer;
  ~SdlAudio();
};

// Opens the default device at 48 kHz stereo; without one the game plays
// silent after one line on standard error. Sample 0 is at `time`.
void open_audio(SdlAudio& audio, float time);
// After a frame: its sounds, from its events and what its scene sounds
// like, queued.
void audio_frame(SdlAudio& audio, const FrameEvents& events, const Soundscape& heard, float time,
                 float dt, const Settings& settings);

}  // namespace vel
