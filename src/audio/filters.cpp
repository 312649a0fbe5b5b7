// filters.cpp: the two-pole designs.
#include "audio/filters.h"

#include <algorithm>
#include <cmath>

#include "audio/synth.h"

namespace vel {

namespace {

struct Angle {
  float cosine = 1.0f;
  float alpha = 0.0f;
};

Angle angle_of(float frequency, float q) {
  const float highest = 0.45f * static_cast<float>(kSampleRate);
  const float f = std::clamp(frequency, 10.0f, highest);
  const float w = 6.28318530718f * f / static_cast<float>(kSampleRate);
  return {std::cos(w), std::sin(w) / (2.0f * std::max(q, 0.1f))};
}

Biquad normalised(float b0, float b1, float b2, float a0, float a1, float a2) {
  return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

}  // namespace

Biquad biquad_lowpass(float cutoff, float q) {
  const Angle a = angle_of(cutoff, q);
  const float k = (1.0f - a.cosine) * 0.5f;
  return normalised(k, 2.0f * k, k, 1.0f + a.alpha, -2.0f * a.cosine, 1.0f - a.alpha);
}

Biquad biquad_highpass(float cutoff, float q) {
  const Angle a = angle_of(cutoff, q);
  const float k = (1.0f + a.cosine) * 0.5f;
  return normalised(k, -2.0f * k, k, 1.0f + a.alpha, -2.0f * a.cosine, 1.0f - a.alpha);
}

Biquad biquad_bandpass(float centre, float q) {
  const Angle a = angle_of(centre, q);
  return normalised(a.alpha, 0.0f, -a.alpha, 1.0f + a.alpha, -2.0f * a.cosine, 1.0f - a.alpha);
}

}  // namespace vel
