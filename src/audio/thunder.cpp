// thunder.cpp: a strike's shape, drawn once, and its rumble and crack,
// one sample at a time.
#include "audio/thunder.h"

#include <algorithm>
#include <cmath>

#include "audio/synth.h"

namespace vel {

namespace {

constexpr float kRate = static_cast<float>(kSampleRate);
constexpr float kRumbleLevel = 0.4f;  // the loudest roll of a near strike, RMS
constexpr float kCrackLevel = 1.0f;
constexpr int32_t kBlock = 64;     // samples between two settings of the low-pass
constexpr float kLongest = 12.0f;  // seconds
constexpr float kEndRamp = 0.4f;   // the last seconds fade to nothing

float draw(uint32_t& noise) {
  return static_cast<float>(noise_bits(noise)) * (1.0f / 4294967296.0f);
}

float per_sample(float seconds) {
  return std::exp(-1.0f / (std::max(seconds, 0.001f) * kRate));
}

// Adds a roll; returns when it has all but died away (samples).
int32_t add_roll(Thunder& thunder, float start, float peak, float rise, float fall) {
  if (thunder.roll_count == kThunderRolls) return 0;
  ThunderRoll& roll = thunder.rolls[thunder.roll_count++];
  roll.start = static_cast<int32_t>(start * kRate);
  // (1 - e^(-t/rise)) e^(-t/fall) is highest at this; the roll reaches
  // `peak` there.
  const float highest = fall / (rise + fall) * std::pow(rise / (rise + fall), rise / fall);
  roll.peak = peak / highest;
  roll.rise = 1.0f - per_sample(rise);
  roll.fall = per_sample(fall);
  return static_cast<int32_t>((start + rise + 4.0f * fall) * kRate);
}

float rolls_level(Thunder& thunder) {
  float level = 0.0f;
  for (size_t i = 0; i < thunder.roll_count; ++i) {
    ThunderRoll& roll = thunder.rolls[i];
    if (thunder.age < roll.start) continue;
    roll.up += (1.0f - roll.up) * roll.rise;
    roll.down *= roll.fall;
    level += roll.peak * roll.up * roll.down;
  }
  // Rolls that meet swell the rumble, but less than their sum.
  return level < 1.0f ? level : 1.0f + 0.3f * (level - 1.0f);
}

}  // namespace

void thunder_strike(std::array<Thunder, kThunderVoices>& voices, float delay, uint32_t seed) {
  // A free voice, or the one nearest its end.
  Thunder* slot = &voices[0];
  for (Thunder& voice : voices) {
    if (voice.length == 0) {
      slot = &voice;
      break;
    }
    if (voice.length - voice.age < slot->length - slot->age) slot = &voice;
  }
  // A new strike drowns the rumbles still rolling: they give way to it.
  for (Thunder& voice : voices) voice.duck_target = 0.5f * voice.duck_target;
  Thunder& thunder = *slot;
  thunder = Thunder{};
  thunder.noise = seed == 0 ? 1u : seed;
  for (int32_t i = 0; i < 4; ++i) noise_bits(thunder.noise);  // spread a small seed
  uint32_t& n = thunder.noise;
  const float far = std::clamp((delay - 0.3f) / 1.4f, 0.0f, 1.0f);
  const bool near = delay < 0.75f;
  thunder.wait = static_cast<int32_t>(delay * kRate);
  thunder.cutoff = (165.0f - 65.0f * far) * (0.85f + 0.3f * draw(n));
  thunder.cutoff_fall = 0.999864f;  // 40 % lower after 5 s (3750 blocks)
  // Noise in -1..1 low-passed at the cutoff keeps that share of its power:
  // the gain gives the rumble an RMS of its level whatever its depth.
  const float band = std::sqrt(3.0f * 0.5f * kRate / (1.03f * thunder.cutoff));
  const float level = kRumbleLevel * band * (1.0f - 0.25f * far);
  pan_gains(level, 1.2f * draw(n) - 0.6f, thunder.gain_left, thunder.gain_right);
  thunder.crack_gain = kCrackLevel / band;

  // The first roll: a clap when near, a slow swell when far.
  int32_t end =
      add_roll(thunder, 0.0f, 1.0f, near ? 0.02f + 0.03f * draw(n) : 0.08f + 0.2f * draw(n),
               0.4f + 0.6f * draw(n));
  // Then the rest of the stroke arriving from farther along it.
  const int32_t rolls = 2 + static_cast<int32_t>(4.99f * draw(n));
  for (int32_t i = 0; i < rolls; ++i) {
    const float start = 0.2f + 3.3f * draw(n);
    const float peak = 0.35f + 0.6f * draw(n);
    const float rise = 0.05f + 0.25f * draw(n);
    const float fall = 0.3f + 0.9f * draw(n);
    end = std::max(end, add_roll(thunder, start, peak, rise, fall));
  }
  // The long tail.
  end = std::max(
      end, add_roll(thunder, 0.5f + draw(n), 0.25f + 0.15f * draw(n), 0.5f, 1.2f + 1.6f * draw(n)));
  thunder.length = std::min(end, static_cast<int32_t>(kLongest * kRate));

  if (near) {
    thunder.crack = 1.0f;
    thunder.crack_fall = per_sample(0.03f + 0.03f * draw(n));
    for (size_t i = 0; i < kCrackles; ++i) {
      thunder.crackle_at[i] = static_cast<int32_t>((0.02f + 0.23f * draw(n)) * kRate);
      thunder.crackle_level[i] = 0.3f + 0.5f * draw(n);
    }
  } else {
    thunder.crackle_at.fill(-1);
  }
}

void thunder_add(std::array<Thunder, kThunderVoices>& voices, float volume, float* left,
                 float* right, size_t frames) {
  const Biquad highpass = biquad_highpass(25.0f, 0.707f);
  const Biquad crack_band = biquad_highpass(250.0f, 0.707f);
  const int32_t ramp = static_cast<int32_t>(kEndRamp * kRate);
  const int32_t crack_samples = static_cast<int32_t>(0.6f * kRate);
  for (Thunder& thunder : voices) {
    for (size_t i = 0; i < frames && thunder.length > 0; ++i) {
      if (thunder.wait > 0) {
        --thunder.wait;
        continue;
      }
      if (thunder.age % kBlock == 0) {
        thunder.lowpass = biquad_lowpass(thunder.cutoff, 0.707f);
        thunder.cutoff = std::max(thunder.cutoff * thunder.cutoff_fall, 50.0f);
      }
      uint32_t& n = thunder.noise;
      if (--thunder.flutter_wait <= 0) {
        thunder.flutter_target = 0.5f + 0.6f * draw(n);
        thunder.flutter_wait = static_cast<int32_t>((0.06f + 0.2f * draw(n)) * kRate);
      }
      thunder.flutter += (thunder.flutter_target - thunder.flutter) * 0.0015f;
      thunder.duck += (thunder.duck_target - thunder.duck) * 0.0005f;  // about 40 ms
      float envelope = rolls_level(thunder) * thunder.flutter * thunder.duck;
      // The attack and the end are ramps: no click at either.
      envelope *= std::min(static_cast<float>(thunder.age) / 96.0f, 1.0f);
      const int32_t left_samples = thunder.length - thunder.age;
      if (left_samples < ramp)
        envelope *= static_cast<float>(left_samples) / static_cast<float>(ramp);

      const float mid = noise_next(n);
      const float side = noise_next(n);
      float l = mid + 0.6f * side;
      float r = mid - 0.6f * side;
      l = biquad_run(thunder.lowpass, thunder.low[1],
                     biquad_run(thunder.lowpass, thunder.low[0], l));
      r = biquad_run(thunder.lowpass, thunder.low[3],
                     biquad_run(thunder.lowpass, thunder.low[2], r));
      l = biquad_run(highpass, thunder.high[0], l) * envelope;
      r = biquad_run(highpass, thunder.high[1], r) * envelope;

      if (thunder.crack_fall > 0.0f && thunder.age < crack_samples) {
        for (size_t c = 0; c < kCrackles; ++c) {
          if (thunder.crackle_at[c] == thunder.age) {
            thunder.crack = std::max(thunder.crack, thunder.crackle_level[c]);
          }
        }
        const float onset = std::min(static_cast<float>(thunder.age) / 48.0f, 1.0f);
        const float snap = thunder.crack * onset * thunder.crack_gain;
        l += biquad_run(crack_band, thunder.crack_high[0], mid) * snap;
        r += biquad_run(crack_band, thunder.crack_high[1], side) * snap;
        thunder.crack *= thunder.crack_fall;
      }
      left[i] += l * thunder.gain_left * volume;
      right[i] += r * thunder.gain_right * volume;
      thunder.age += 1;
      if (thunder.age >= thunder.length) thunder.length = 0;
    }
  }
}

}  // namespace vel
