// ambience.cpp: the rain (a band of noise and a patter of drops), the low
// hum of the city and the engines of the nearest vehicles.
#include "audio/ambience.h"

#include <algorithm>
#include <cmath>

#include "audio/synth.h"

namespace vel {

namespace {

constexpr float kGlideRate = 0.001f;  // per sample: about 20 ms to follow
constexpr float kRainLevel = 0.16f;
constexpr float kHumLevel = 0.07f;

float glide_step(Glide& glide) {
  glide.value += (glide.target - glide.value) * kGlideRate;
  return glide.value;
}

void follow_traffic(Ambience& ambience, const Soundscape& scape) {
  for (size_t slot = 0; slot < kTrafficSlots; ++slot) {
    TrafficVoice& voice = ambience.traffic[slot];
    const HeardVehicle& heard = scape.nearest[slot];
    if (!(heard.distance < kHearingRange)) {
      voice.gain_left.target = 0.0f;
      voice.gain_right.target = 0.0f;
      continue;
    }
    // Louder as the square of nearness, never more than at 6 units.
    const float near = 12.0f / std::max(heard.distance, 6.0f);
    const float fade = 1.0f - heard.distance / kHearingRange;
    const float gain = (heard.drone ? 0.09f : 0.14f) * std::min(near * near, 4.0f) * fade;
    const float side =
        heard.distance > 0.001f ? dot(heard.offset, scape.listener_right) / heard.distance : 0.0f;
    pan_gains(gain, side, voice.gain_left.target, voice.gain_right.target);
    voice.lowpass.target = lowpass_coefficient(250.0f + 5000.0f * std::min(near, 2.0f) * 0.5f);
    voice.drone = heard.drone;
    const float pitch = heard.drone ? 210.0f + 17.0f * static_cast<float>(heard.index % 5)
                                    : 62.0f + 7.0f * static_cast<float>(heard.index % 6);
    voice.phase_step = pitch / static_cast<float>(kSampleRate);
  }
}

}  // namespace

void ambience_follow(Ambience& ambience, const Soundscape& scape) {
  if (!scape.city) {
    ambience.rain.target = 0.35f;
    ambience.hum.target = 0.5f;
    for (TrafficVoice& voice : ambience.traffic) {
      voice.gain_left.target = 0.0f;
      voice.gain_right.target = 0.0f;
    }
    return;
  }
  float rain = 0.0f;
  if (scape.rain_drops > 0) {
    // More drops, harder rain; the storm swells as its timer runs down and
    // pours while the lightning shows.
    const float drops = std::min(static_cast<float>(scape.rain_drops) / 400.0f, 1.0f);
    const float storm =
        scape.storm ? 1.0f - 0.4f * std::clamp(scape.storm_timer / 10.0f, 0.0f, 1.0f) : 0.5f;
    const float flash = scape.flash ? 1.2f : 1.0f;
    rain = (0.4f + 0.6f * drops) * storm * flash;
  }
  // Under the system panel the city is far away.
  const float covered = scape.covered ? 0.4f : 1.0f;
  ambience.rain.target = rain * covered;
  ambience.hum.target = covered;
  follow_traffic(ambience, scape);
  if (scape.covered) {
    for (TrafficVoice& voice : ambience.traffic) {
      voice.gain_left.target *= covered;
      voice.gain_right.target *= covered;
    }
  }
}

void ambience_add(Ambience& ambience, float volume, float* left, float* right, size_t frames) {
  const float hum_step = 55.0f / static_cast<float>(kSampleRate);
  const float swell_step = 0.11f / static_cast<float>(kSampleRate);
  const float hiss_low = lowpass_coefficient(7000.0f);
  const float hiss_high = lowpass_coefficient(900.0f);
  const float hum_noise = lowpass_coefficient(140.0f);
  for (size_t i = 0; i < frames; ++i) {
    // Rain: noise between 900 Hz and 7 kHz in each ear, and drops striking
    // near by now and then.
    const float rain = glide_step(ambience.rain);
    const float nl = noise_next(ambience.noise_left);
    const float nr = noise_next(ambience.noise_right);
    ambience.rain_low_left += hiss_low * (nl - ambience.rain_low_left);
    ambience.rain_high_left += hiss_high * (ambience.rain_low_left - ambience.rain_high_left);
    ambience.rain_low_right += hiss_low * (nr - ambience.rain_low_right);
    ambience.rain_high_right += hiss_high * (ambience.rain_low_right - ambience.rain_high_right);
    const float band_left = ambience.rain_low_left - ambience.rain_high_left;
    const float band_right = ambience.rain_low_right - ambience.rain_high_right;
    // One drop in about 600 samples while the rain is full.
    if ((ambience.noise_left & 1023u) < static_cast<uint32_t>(rain * 1.7f)) {
      ambience.patter_level =
          0.3f + 0.7f * (static_cast<float>(ambience.noise_right & 255u) / 255.0f);
      ambience.patter_pan = static_cast<float>(ambience.noise_right >> 28) / 15.0f;
    }
    ambience.patter_level *= 0.996f;
    const float drop = ambience.patter_level * (nl - ambience.rain_low_left);
    float l = (band_left * 0.9f + drop * (1.0f - ambience.patter_pan) * 0.5f) * rain * kRainLevel;
    float r = (band_right * 0.9f + drop * ambience.patter_pan * 0.5f) * rain * kRainLevel;

    // The hum: 55 Hz and its octave, a little low rumble, a slow swell.
    const float hum = glide_step(ambience.hum);
    ambience.hum_phase += hum_step;
    if (ambience.hum_phase >= 1.0f) ambience.hum_phase -= 1.0f;
    ambience.hum_swell += swell_step;
    if (ambience.hum_swell >= 1.0f) ambience.hum_swell -= 1.0f;
    ambience.hum_noise += hum_noise * (nr - ambience.hum_noise);
    const float octave =
        ambience.hum_phase < 0.5f ? ambience.hum_phase * 2.0f : ambience.hum_phase * 2.0f - 1.0f;
    const float tone =
        fast_sine(ambience.hum_phase) + 0.4f * fast_sine(octave) + 3.0f * ambience.hum_noise;
    const float swell = 0.8f + 0.2f * fast_sine(ambience.hum_swell);
    const float h = tone * swell * hum * kHumLevel;
    l += h;
    r += h;

    for (TrafficVoice& voice : ambience.traffic) {
      const float gain_left = glide_step(voice.gain_left);
      const float gain_right = glide_step(voice.gain_right);
      if (gain_left + gain_right < 1.0e-5f) continue;
      const float brightness = glide_step(voice.lowpass);
      voice.phase += voice.phase_step;
      if (voice.phase >= 1.0f) voice.phase -= 1.0f;
      // A saw for the engine (a square-ish buzz for the drones' rotors).
      const float engine =
          voice.drone ? (voice.phase < 0.5f ? 0.6f : -0.6f) : 2.0f * voice.phase - 1.0f;
      voice.tone_state += brightness * (engine - voice.tone_state);
      voice.wind_state += brightness * (nl - voice.wind_state);
      const float sound = voice.tone_state + 1.5f * voice.wind_state;
      l += sound * gain_left;
      r += sound * gain_right;
    }
    left[i] += l * volume;
    right[i] += r * volume;
  }
}

}  // namespace vel
