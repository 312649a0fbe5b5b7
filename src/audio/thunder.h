// thunder.h: the thunder after a lightning flash. Low noise (under about
// 150 Hz, nothing under 25 Hz that speakers cannot play) shaped by a few
// rolls at random moments and a long uneven tail, with a sharp crack first
// when the strike is near. Each strike draws its own shape from a seed
// made of the sound's generator and the sample it came at, so no two are
// alike, the first of a session included, and a render repeats exactly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "audio/filters.h"

namespace vel {

inline constexpr size_t kThunderVoices = 3;
inline constexpr size_t kThunderRolls = 8;
inline constexpr size_t kCrackles = 6;

// One swell of the rumble: rises from its start and dies away.
struct ThunderRoll {
  int32_t start = 0;  // samples after the thunder begins
  float peak = 0.0f;
  float rise = 0.0f;  // per-sample coefficients
  float fall = 1.0f;
  float up = 0.0f;  // the rise so far, 0..1
  float down = 1.0f;
};

struct Thunder {
  int32_t wait = 0;    // samples until it is heard: the sound's travel
  int32_t age = 0;     // samples heard so far
  int32_t length = 0;  // 0: free
  uint32_t noise = 1;
  float gain_left = 0.0f;
  float gain_right = 0.0f;
  float cutoff = 150.0f;             // the rumble's low-pass now, Hz; falls over the tail
  float cutoff_fall = 1.0f;          // per block
  Biquad lowpass;                    // recomputed per block from cutoff
  std::array<BiquadState, 4> low{};  // two stages, left and right
  std::array<BiquadState, 2> high{};
  std::array<ThunderRoll, kThunderRolls> rolls{};
  size_t roll_count = 0;
  // The unevenness: a level stepping to a new random value now and then,
  // smoothed.
  float flutter = 1.0f;
  float flutter_target = 1.0f;
  int32_t flutter_wait = 0;
  // The crack of a near strike and its crackles.
  float crack = 0.0f;
  float crack_fall = 0.0f;
  float crack_gain = 0.0f;                      // against the rumble's gain, which it shares
  std::array<int32_t, kCrackles> crackle_at{};  // ages; -1: none
  std::array<float, kCrackles> crackle_level{};
  std::array<BiquadState, 2> crack_high{};
  // Lowered when a newer strike comes: glides to its target.
  float duck = 1.0f;
  float duck_target = 1.0f;
};

// A flash seen `delay` seconds before its thunder arrives (0.3 .. 1.7):
// the shorter the nearer, and a near one cracks. `seed` shapes it.
void thunder_strike(std::array<Thunder, kThunderVoices>& voices, float delay, uint32_t seed);
// Adds `frames` stereo frames of every thunder, scaled by the effects
// volume.
void thunder_add(std::array<Thunder, kThunderVoices>& voices, float volume, float* left,
                 float* right, size_t frames);

}  // namespace vel
