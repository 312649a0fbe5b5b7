// sound_track.cpp: the frame hook and the block loop of the played game's
// sound.
#include "audio/sound_track.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vel {

void sound_track_start(SoundTrack& track, float time) {
  track.mixer = Mixer{};
  track.ambience = Ambience{};
  effects_start(track.effects);
  track.music = Music{};
  track.origin = static_cast<double>(time);
  track.emitted = 0;
  track.skipped = 0;
}

int64_t sound_track_frame(SoundTrack& track, const FrameEvents& events, const Soundscape& heard,
                          float time, float dt) {
  effects_play(track.effects, track.mixer, events);
  ambience_follow(track.ambience, heard);

  const double through =
      std::floor((static_cast<double>(time) - track.origin) * static_cast<double>(kSampleRate)) -
      static_cast<double>(track.skipped);
  // A frame owes at most its own length and a little more (the clock's
  // rounding, a scene start between two frames), never past kLongestFrame.
  // Time beyond that ran while no frame did (a laptop asleep, a damaged
  // recording whose times leap ahead): it is skipped, not owed, so the
  // sound stays in proportion to the frames that ran. NaN owes nothing.
  const double frame_seconds =
      std::min(dt > 0.0f ? static_cast<double>(dt) + kFrameSoundSlack : kFrameSoundSlack,
               static_cast<double>(kLongestFrame));
  const int64_t owed_max = static_cast<int64_t>(frame_seconds * static_cast<double>(kSampleRate));
  if (!(through > static_cast<double>(track.emitted))) return 0;
  const double ahead = through - static_cast<double>(track.emitted);
  if (!(ahead < static_cast<double>(owed_max))) {
    // The rest of the leap, in whole samples, saturating far out (a float
    // time reaches 3.4e38 s; the sum then stops growing, which still owes
    // nothing more).
    const double rest = ahead - static_cast<double>(owed_max);
    const double room = static_cast<double>(INT64_MAX / 2) - static_cast<double>(track.skipped);
    track.skipped += static_cast<int64_t>(std::min(rest, std::max(room, 0.0)));
    track.emitted += owed_max;
    return owed_max;
  }
  const int64_t owed = static_cast<int64_t>(ahead);
  track.emitted += owed;
  return owed;
}

void sound_track_render(SoundTrack& track, const Settings& settings, int16_t* out, size_t frames) {
  // Settings are clamped to 0..1 when read; 0 multiplies every voice to an
  // exact 0.
  const float effects_volume = settings.sfx_volume;
  const float music_volume = settings.music_volume;
  while (frames > 0) {
    if (track.music.wait <= 0) music_step(track.music, track.mixer);
    const size_t block = std::min(frames, kMixBlock);
    float* left = track.left.data();
    float* right = track.right.data();
    std::fill_n(left, block, 0.0f);
    std::fill_n(right, block, 0.0f);
    if (track.ambience_on) {
      ambience_add(track.ambience, effects_volume, music_root(track.music), left, right, block);
    }
    thunder_add(track.effects.thunder, effects_volume, left, right, block);
    mixer_add_voices(track.mixer, effects_volume, music_volume, left, right, block);
    for (size_t i = 0; i < block; ++i) {
      left[i] *= kMixLevel;
      right[i] *= kMixLevel;
    }
    mixer_limit_to_pcm(track.mixer.limiter, left, right, block, out);
    const int64_t done = static_cast<int64_t>(block);
    track.music.wait -= done;
    effects_advance(track.effects, track.mixer, done);
    out += 2 * block;
    frames -= block;
  }
}

}  // namespace vel
