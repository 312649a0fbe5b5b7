// mixer.h: the fixed pool of voices, the two volume buses and the limiter
// that keeps the sum under its ceiling (limiter.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "audio/limiter.h"
#include "audio/synth.h"

namespace vel {

inline constexpr size_t kVoiceCount = 32;

struct Mixer {
  std::array<Voice, kVoiceCount> voices;
  uint32_t next_seed = 0x9E3779B9u;  // noise seeds handed to new voices
  Limiter limiter;
};

// Starts a voice in a free slot, or in place of the quietest one when the
// pool is full (which then starts from silence on its ramp). Returns the slot.
size_t mixer_play(Mixer& mixer, const VoiceShape& shape);
// Adds `frames` stereo frames of every voice to `left`/`right`, each voice
// scaled by its bus's volume.
void mixer_add_voices(Mixer& mixer, float effects_volume, float music_volume, float* left,
                      float* right, size_t frames);
// The limiter over the mixed frames, then interleaved 16-bit samples
// (kLimiterDelay samples later than they came in).
void mixer_limit_to_pcm(Limiter& limiter, const float* left, const float* right, size_t frames,
                        int16_t* out);

}  // namespace vel
