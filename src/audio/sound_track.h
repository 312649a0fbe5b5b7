// sound_track.h: the played game's sound, frame by frame: it plays the
// frame's events, follows what the scene reports it sounds like, owes the
// samples the frame's time covers, and renders them.
// The same frames give the same samples: the sample count comes from the
// frame times alone, and every random choice from the sound's own seeded
// generator.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "audio/ambience.h"
#include "audio/effects.h"
#include "audio/mixer.h"
#include "audio/music.h"
#include "scene_api/frame_events.h"
#include "scene_api/settings.h"
#include "scene_api/soundscape.h"

namespace vel {

// Frames are mixed in blocks of this many; a waiting voice or a music
// step starts on the first block boundary after it is due.
inline constexpr size_t kMixBlock = 64;
// The most seconds of sound one frame can owe (the headless runner's
// longest step).
inline constexpr int32_t kLongestFrame = 60;
// Seconds of sound a frame may owe beyond its own length: what the frame
// times' rounding and a scene start between frames can add.
inline constexpr double kFrameSoundSlack = 0.25;
// The whole mix, set so the example courses come to about -18 LUFS
// integrated; each layer's level against the others is its own.
inline constexpr float kMixLevel = 0.84f;

struct SoundTrack {
  Mixer mixer;
  Ambience ambience;
  Effects effects;
  Music music;
  double origin = 0.0;      // the time of sample 0
  int64_t emitted = 0;      // samples owed so far
  int64_t skipped = 0;      // samples of time that passed with no frame to owe them
  bool ambience_on = true;  // off, the events are heard alone (for tests)
  std::array<float, kMixBlock> left{};
  std::array<float, kMixBlock> right{};
};

// A fresh track whose sample 0 is at `time` (the time of the first init).
void sound_track_start(SoundTrack& track, float time);
// After a frame of `dt` seconds that ran at `time`: starts the sounds of
// its events, follows the scene's soundscape and returns the number of
// stereo frames it owes: the samples through this frame are
// floor((time - origin) * 48000), at most dt + kFrameSoundSlack (and
// kLongestFrame) seconds more than the last frame's; time past that is
// skipped for good.
int64_t sound_track_frame(SoundTrack& track, const FrameEvents& events, const Soundscape& heard,
                          float time, float dt);
// Renders `frames` stereo frames as interleaved 16-bit samples (2 per frame).
void sound_track_render(SoundTrack& track, const Settings& settings, int16_t* out, size_t frames);

}  // namespace vel
