// mixer.cpp: the voice pool, its buses and the limiter.
#include "audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace vel {

size_t mixer_play(Mixer& mixer, const VoiceShape& shape) {
  size_t slot = kVoiceCount;
  float quietest = 1.0e30f;
  for (size_t i = 0; i < kVoiceCount; ++i) {
    const Voice& voice = mixer.voices[i];
    if (!voice.active) {
      slot = i;
      break;
    }
    // A stolen voice is cut mid-sound; the quietest and oldest is heard least.
    const float loudness = voice.level * (std::fabs(voice.gain_left) + std::fabs(voice.gain_right));
    if (loudness < quietest) {
      quietest = loudness;
      slot = i;
    }
  }
  mixer.next_seed = mixer.next_seed * 1664525u + 1013904223u;
  voice_start(mixer.voices[slot], shape, mixer.next_seed | 1u);
  return slot;
}

void mixer_add_voices(Mixer& mixer, float effects_volume, float music_volume, float* left,
                      float* right, size_t frames) {
  for (Voice& voice : mixer.voices) {
    if (!voice.active) continue;
    const float volume = voice.bus == Bus::music ? music_volume : effects_volume;
    voice_add(voice, voice.gain_left * volume, voice.gain_right * volume, left, right, frames);
  }
}

void mixer_limit_to_pcm(Limiter& limiter, const float* left, const float* right, size_t frames,
                        int16_t* out) {
  limiter_run(limiter, left, right, frames, out);
}

}  // namespace vel
