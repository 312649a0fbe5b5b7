// synth.cpp: the voice's source, envelope and filter, one sample at a time.
#include "audio/synth.h"

#include <algorithm>
#include <cmath>

namespace vel {

namespace {

constexpr float kTwoPi = 6.28318530718f;

int32_t seconds_to_samples(float seconds) {
  const float samples = seconds * static_cast<float>(kSampleRate);
  if (!(samples > 0.0f)) return 0;
  if (samples > 1.0e8f) return 100000000;
  return static_cast<int32_t>(samples);
}

float source(Voice& voice) {
  const float p = voice.phase;
  const float step = voice.phase_step;
  switch (voice.wave) {
    case Wave::sine:
      return fast_sine(p);
    case Wave::triangle:
      return band_limited_triangle(p, step);
    case Wave::square:
      return band_limited_square(p, step);
    case Wave::saw:
      return band_limited_saw(p, step);
    case Wave::noise:
      return noise_next(voice.noise);
  }
  return 0.0f;
}

}  // namespace

float lowpass_coefficient(float cutoff) {
  const float c = 1.0f - std::exp(-kTwoPi * cutoff / static_cast<float>(kSampleRate));
  return std::clamp(c, 0.0f, 1.0f);
}

void pan_gains(float gain, float pan, float& left, float& right) {
  const float p = std::clamp(pan, -1.0f, 1.0f);
  const float angle = (p + 1.0f) * 0.25f * 3.14159265f;  // 0 .. pi/2
  left = gain * std::cos(angle);
  right = gain * std::sin(angle);
}

void voice_start(Voice& voice, const VoiceShape& shape, uint32_t noise_seed) {
  voice = Voice{};
  voice.active = true;
  voice.wave = shape.wave;
  voice.bus = shape.bus;
  voice.noise = noise_seed == 0 ? 1u : noise_seed;
  voice.phase_step = shape.frequency / static_cast<float>(kSampleRate);
  voice.length_samples = std::max(seconds_to_samples(shape.length), 2 * kRampSamples);
  voice.attack_samples = std::max(seconds_to_samples(shape.attack), kRampSamples);
  const int32_t release = std::max(seconds_to_samples(shape.release), kRampSamples);
  voice.release_start = std::max(voice.length_samples - release, voice.attack_samples);
  voice.length_samples = std::max(voice.length_samples, voice.release_start + kRampSamples);
  const float length = static_cast<float>(voice.length_samples);
  if (shape.end_frequency > 0.0f && shape.frequency > 0.0f) {
    voice.phase_glide = std::pow(shape.end_frequency / shape.frequency, 1.0f / length);
  }
  voice.decay_factor =
      shape.decay > 0.0f ? std::exp(-1.0f / (shape.decay * static_cast<float>(kSampleRate))) : 1.0f;
  voice.lowpass = lowpass_coefficient(shape.cutoff);
  // Low-passed noise loses power with its band; the gain puts it back so a
  // noise voice's loudness does not depend on its cutoff.
  float gain = shape.gain;
  if (shape.wave == Wave::noise && voice.lowpass > 0.0f) {
    gain *= std::min(std::sqrt((2.0f - voice.lowpass) / voice.lowpass), 12.0f);
  }
  if (shape.end_cutoff > 0.0f && shape.cutoff > 0.0f) {
    voice.lowpass_glide = std::pow(shape.end_cutoff / shape.cutoff, 1.0f / length);
  }
  pan_gains(gain, shape.pan, voice.gain_left, voice.gain_right);
}

void voice_stop(Voice& voice) {
  if (!voice.active) return;
  const int32_t now = std::max(voice.age, voice.attack_samples);
  if (now >= voice.release_start) return;  // already releasing
  voice.release_start = now;
  voice.length_samples = now + kRampSamples;
}

namespace {

// One sample, inlined into the block loop below.
inline float next_sample(Voice& voice) {
  const float raw = source(voice);
  voice.filter_state += voice.lowpass * (raw - voice.filter_state);
  voice.lowpass = std::min(voice.lowpass * voice.lowpass_glide, 1.0f);
  voice.phase += voice.phase_step;
  if (voice.phase >= 1.0f) voice.phase -= 1.0f;  // a step is always under a cycle
  voice.phase_step *= voice.phase_glide;

  // The envelope: the ramps reach exactly 0 at age 0 and at the last sample.
  float envelope = voice.level;
  if (voice.age < voice.attack_samples) {
    envelope *= static_cast<float>(voice.age) / static_cast<float>(voice.attack_samples);
  } else {
    voice.level *= voice.decay_factor;
  }
  if (voice.age >= voice.release_start) {
    const int32_t left = voice.length_samples - voice.age;
    const int32_t span = voice.length_samples - voice.release_start;
    envelope *= static_cast<float>(left) / static_cast<float>(span);
  }
  voice.age += 1;
  if (voice.age >= voice.length_samples) voice.active = false;
  return voice.filter_state * envelope;
}

}  // namespace

float voice_next(Voice& voice) {
  return next_sample(voice);
}

void voice_add(Voice& voice, float gain_left, float gain_right, float* left, float* right,
               size_t frames) {
  for (size_t i = 0; i < frames && voice.active; ++i) {
    const float sample = next_sample(voice);
    left[i] += sample * gain_left;
    right[i] += sample * gain_right;
  }
}

}  // namespace vel
