// filters.h: the two-pole filters of the rain, the thunder, the wind and
// the engines, where a one-pole's 6 dB an octave would leave too much of
// what lies past the cutoff (a thunder's hiss, a far engine's buzz).
// Coefficients by the usual bilinear designs; plain records.
#pragma once

#include <cstddef>

namespace vel {

struct Biquad {
  float b0 = 1.0f;
  float b1 = 0.0f;
  float b2 = 0.0f;
  float a1 = 0.0f;
  float a2 = 0.0f;
};

// One channel's memory of a Biquad (transposed direct form II).
struct BiquadState {
  float z1 = 0.0f;
  float z2 = 0.0f;
};

// Cutoffs in Hz (kept inside 10 Hz .. 0.45 of the sample rate), q the
// resonance (0.707: no peak).
Biquad biquad_lowpass(float cutoff, float q);
Biquad biquad_highpass(float cutoff, float q);
// Unit gain at its centre, the band about centre / q wide.
Biquad biquad_bandpass(float centre, float q);

inline float biquad_run(const Biquad& f, BiquadState& s, float x) {
  const float y = f.b0 * x + s.z1;
  s.z1 = f.b1 * x - f.a1 * y + s.z2;
  s.z2 = f.b2 * x - f.a2 * y;
  return y;
}

}  // namespace vel
