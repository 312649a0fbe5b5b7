// synth.h: the voices the mixer plays: a source (oscillator or noise), an
// envelope that always starts and ends on a ramp, a one-pole low-pass and a
// frequency glide. Plain records stepped one sample at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vel {

inline constexpr int32_t kSampleRate = 48000;
// Every voice fades in and out over at least this many samples (2 ms), so
// no start or stop is a step the ear hears as a click.
inline constexpr int32_t kRampSamples = 96;

enum class Wave : uint8_t { sine, triangle, square, saw, noise };

// Which volume setting a voice answers to.
enum class Bus : uint8_t { effects, music };

// What a voice is, before it starts. Times in seconds, frequencies in Hz.
struct VoiceShape {
  Wave wave = Wave::sine;
  Bus bus = Bus::effects;
  float frequency = 440.0f;
  float end_frequency = 0.0f;  // glide target over the voice's length; 0 keeps frequency
  float gain = 0.5f;
  float pan = 0.0f;         // -1 left .. 1 right
  float attack = 0.002f;    // raised to the ramp when shorter
  float decay = 0.2f;       // time to fall to 1/e after the attack; 0 holds
  float length = 0.3f;      // the release ramp ends here
  float release = 0.01f;    // raised to the ramp when shorter
  float cutoff = 20000.0f;  // one-pole low-pass, Hz
  float end_cutoff = 0.0f;  // cutoff glide target; 0 keeps cutoff
};

// A playing voice. The envelope is the product of the attack ramp, the
// exponential decay and the release ramp, so it is 0 at the first and last
// sample whatever the shape asked.
struct Voice {
  bool active = false;
  Wave wave = Wave::sine;
  Bus bus = Bus::effects;
  float phase = 0.0f;        // 0..1
  float phase_step = 0.0f;   // per sample
  float phase_glide = 1.0f;  // phase_step multiplier per sample
  float gain_left = 0.0f;
  float gain_right = 0.0f;
  float decay_factor = 1.0f;  // per sample
  float level = 1.0f;         // the decay so far
  float lowpass = 1.0f;       // one-pole coefficient
  float lowpass_glide = 1.0f;
  float filter_state = 0.0f;
  uint32_t noise = 1;
  int32_t age = 0;
  int32_t attack_samples = kRampSamples;
  int32_t release_start = 0;
  int32_t length_samples = 0;
};

// The coefficient of y += a (x - y) for a cutoff in Hz, clamped to 0..1.
float lowpass_coefficient(float cutoff);
// Left and right gains of a constant-power pan position (-1..1).
void pan_gains(float gain, float pan, float& left, float& right);

// Starts `voice` from `shape`; `noise_seed` makes its noise (never 0).
void voice_start(Voice& voice, const VoiceShape& shape, uint32_t noise_seed);
// Brings the release forward to now: the voice ends after one ramp.
void voice_stop(Voice& voice);
// One mono sample of the voice's source through its filter and envelope
// (without the pan); ends the voice after its last sample.
float voice_next(Voice& voice);
// Adds up to `frames` samples of the voice, panned by the two gains, until
// it ends.
void voice_add(Voice& voice, float gain_left, float gain_right, float* left, float* right,
               size_t frames);

// sin(2 pi p) for p in 0..1 by a refined parabola (error under 0.1 %):
// the library sine would cost most of the mixing time.
inline float fast_sine(float p) {
  const float t = p < 0.5f ? p : p - 1.0f;  // -0.5 .. 0.5
  const float a = t < 0.0f ? -t : t;
  const float y = 8.0f * t - 16.0f * t * a;
  const float b = y < 0.0f ? -y : y;
  return 0.225f * (y * b - y) + y;
}

// The band-limited waves. A plain square, saw or triangle has corners no
// sampled signal can hold: their harmonics above 24 kHz fold back as tones
// that belong to no note. Each corner is smoothed over the four samples
// around it by the residual of a cubic B-spline step (for a jump) or ramp
// (for a bend), which leaves the folded harmonics more than 50 dB under
// the note. `t` is the time from the corner in samples.
inline float step_residual_at(float t) {
  const float a = t < 0.0f ? -t : t;
  if (a >= 2.0f) return 0.0f;
  float r;
  if (a >= 1.0f) {
    const float u = 2.0f - a;
    r = -(u * u * u * u) * (1.0f / 24.0f);
  } else {
    const float a3 = a * a * a;
    r = -0.5f + a * (2.0f / 3.0f) - a3 * (1.0f / 3.0f) + a3 * a * 0.125f;
  }
  return t < 0.0f ? -r : r;  // odd about the corner
}
inline float ramp_residual_at(float t) {
  const float a = t < 0.0f ? -t : t;
  if (a >= 2.0f) return 0.0f;
  if (a >= 1.0f) {
    const float u = 2.0f - a;
    return u * u * u * u * u * (1.0f / 120.0f);
  }
  const float a2 = a * a;
  return 7.0f / 30.0f - a * 0.5f + a2 * (1.0f / 3.0f) - a2 * a2 * (1.0f / 12.0f) +
         a2 * a2 * a * (1.0f / 40.0f);  // even about the corner
}
// The residuals of the corner at phase 0 seen from phase p: the one just
// passed and the one coming.
inline float step_residual(float p, float step) {
  if (!(step > 0.0f)) return 0.0f;
  const float per_sample = 1.0f / step;
  return step_residual_at(p * per_sample) + step_residual_at((p - 1.0f) * per_sample);
}
inline float ramp_residual(float p, float step) {
  if (!(step > 0.0f)) return 0.0f;
  const float per_sample = 1.0f / step;
  return ramp_residual_at(p * per_sample) + ramp_residual_at((p - 1.0f) * per_sample);
}
inline float half_turn(float p) {
  return p < 0.5f ? p + 0.5f : p - 0.5f;
}
inline float band_limited_saw(float p, float step) {
  return 2.0f * p - 1.0f - 2.0f * step_residual(p, step);
}
inline float band_limited_square(float p, float step) {
  const float naive = p < 0.5f ? 1.0f : -1.0f;
  return naive + 2.0f * (step_residual(p, step) - step_residual(half_turn(p), step));
}
// Starts at its lowest point, as the plain triangle did.
inline float band_limited_triangle(float p, float step) {
  const float naive = p < 0.5f ? 4.0f * p - 1.0f : 3.0f - 4.0f * p;
  return naive + 8.0f * step * (ramp_residual(p, step) - ramp_residual(half_turn(p), step));
}

// The next state of a 32-bit xorshift: 32 random bits.
inline uint32_t noise_bits(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

// A white-noise sample in -1..1 from a 32-bit xorshift.
inline float noise_next(uint32_t& state) {
  return static_cast<float>(static_cast<int32_t>(noise_bits(state))) * (1.0f / 2147483648.0f);
}

}  // namespace vel
