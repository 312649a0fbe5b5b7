// ambience.cpp: the rain (a tilted hiss in gusts and a patter of drops),
// the low hum of the city, the wind and the engines of the nearest
// vehicles. The levels are the README's loudness plan.
#include "audio/ambience.h"

#include <algorithm>
#include <cmath>

#include "audio/synth.h"

namespace vel {

namespace {

constexpr float kRate = static_cast<float>(kSampleRate);

// Glide rates, the fraction of the way covered each sample.
constexpr float kBedRate = 0.001f;           // about 20 ms: the panel's cover, a flash
constexpr float kSceneChangeRate = 2.6e-5f;  // about 0.8 s: the title to the city
constexpr float kEngineRate = 2.0e-4f;       // about 0.1 s: an engine fading in or out
constexpr float kPitchRate = 7.0e-4f;        // about 30 ms: the Doppler shift
constexpr float kWindRate = 3.0e-4f;         // about 70 ms
constexpr float kHumPitchRate = 1.0e-4f;     // about 0.2 s: to the next chord's root
constexpr float kGustRate = 1.4e-5f;         // about 1.5 s

// The plan's levels (linear, before the effects volume).
constexpr float kHissLevel = 0.045f;
constexpr float kDropLevel = 0.16f;
constexpr float kDropsPerSecond = 1000.0f;  // at full strength
constexpr float kHumLevel = 0.07f;
constexpr float kWindLevel = 0.3f;
constexpr float kCarLevel = 0.1f;
constexpr float kDroneLevel = 0.095f;

// Engines: as loud as at kNearest units no nearer, then falling as the
// distance (6 dB each time it doubles) and fading out at the hearing range.
constexpr float kNearest = 5.0f;
constexpr float kSpeedOfSound = 340.0f;  // units/s

float glide_step(Glide& glide, float rate) {
  glide.value += (glide.target - glide.value) * rate;
  return glide.value;
}

float unit_draw(uint32_t& state) {
  return 0.5f + 0.5f * noise_next(state);
}

bool settled(const Glide& glide) {
  return std::fabs(glide.value - glide.target) < 0.002f;
}

EngineVoice* engine_for(Ambience& ambience, uint32_t id) {
  for (EngineVoice& voice : ambience.engines) {
    if (voice.vehicle == id) return &voice;
  }
  // A vehicle new to the nearest takes a voice that has faded out; it
  // starts silent, so setting its pitch is never heard as a jump.
  for (EngineVoice& voice : ambience.engines) {
    if (voice.vehicle == kNoVehicle) {
      voice = EngineVoice{};
      voice.vehicle = id;
      return &voice;
    }
  }
  return nullptr;  // every voice busy: it is heard once one has faded
}

void follow_engine(EngineVoice& voice, const HeardVehicle& heard, const Soundscape& scape,
                   float covered) {
  const bool fresh = voice.gain_left.value + voice.gain_right.value == 0.0f;
  const float d = heard.distance;
  const float nearness = kNearest / std::max(d, kNearest);
  const float edge = d / kHearingRange;
  const float fade = 1.0f - edge * edge;
  const float gain = (heard.drone ? kDroneLevel : kCarLevel) * nearness * fade * covered;
  const float side = d > 0.001f ? dot(heard.offset, scape.listener_right) / d : 0.0f;
  pan_gains(gain, side, voice.gain_left.target, voice.gain_right.target);
  voice.brightness.target = lowpass_coefficient(400.0f + 7000.0f * nearness);
  // Receding lowers the pitch, approaching raises it.
  const Vec3 relative = heard.velocity - scape.listener_velocity;
  const float receding = d > 0.001f ? dot(relative, heard.offset) / d : 0.0f;
  const float doppler = std::clamp(kSpeedOfSound / (kSpeedOfSound + receding), 0.7f, 1.4f);
  const float base = heard.drone ? 210.0f + 17.0f * static_cast<float>(heard.index % 5)
                                 : 62.0f + 7.0f * static_cast<float>(heard.index % 6);
  voice.pitch.target = base * doppler / kRate;
  voice.drone = heard.drone;
  if (fresh) {
    voice.pitch.value = voice.pitch.target;
    voice.brightness.value = voice.brightness.target;
  }
}

void follow_traffic(Ambience& ambience, const Soundscape& scape, float covered) {
  std::array<bool, kEngineVoices> heard_now{};
  for (const HeardVehicle& heard : scape.nearest) {
    if (!(heard.distance < kHearingRange)) continue;
    EngineVoice* voice = engine_for(ambience, heard.id);
    if (voice == nullptr) continue;
    follow_engine(*voice, heard, scape, covered);
    heard_now[static_cast<size_t>(voice - ambience.engines.data())] = true;
  }
  for (size_t i = 0; i < kEngineVoices; ++i) {
    EngineVoice& voice = ambience.engines[i];
    if (heard_now[i] || voice.vehicle == kNoVehicle) continue;
    voice.gain_left.target = 0.0f;
    voice.gain_right.target = 0.0f;
    if (voice.gain_left.value + voice.gain_right.value < 1.0e-6f) voice.vehicle = kNoVehicle;
  }
}

void silence_traffic(Ambience& ambience) {
  for (EngineVoice& voice : ambience.engines) {
    voice.gain_left.target = 0.0f;
    voice.gain_right.target = 0.0f;
    if (voice.gain_left.value + voice.gain_right.value < 1.0e-6f) voice.vehicle = kNoVehicle;
  }
}

void follow_wind(Ambience& ambience, const Soundscape& scape) {
  const float speed = length(scape.listener_velocity);
  // Falling or running fast, and more readily on the rope.
  float strength = std::clamp((speed - 8.0f) / 22.0f, 0.0f, 1.0f);
  if (scape.rope_attached)
    strength = std::max(strength, std::clamp((speed - 4.0f) / 18.0f, 0.0f, 1.0f));
  ambience.wind.target = strength * strength * (3.0f - 2.0f * strength);
  ambience.wind_centre.target = std::min(350.0f + 45.0f * speed, 2500.0f);
}

void start_drop(Ambience& ambience) {
  RainDrop* slot = &ambience.drops[0];
  for (RainDrop& drop : ambience.drops) {
    if (drop.remaining < slot->remaining) slot = &drop;
    if (drop.remaining == 0) break;
  }
  uint32_t& noise = ambience.noise_drops;
  const float u1 = unit_draw(noise);
  const float u2 = unit_draw(noise);
  const float u3 = unit_draw(noise);
  const float u4 = unit_draw(noise);
  // Most drops are small, bright and short; a few are big, lower and ring.
  const float size = u1 * u1 * u1 * u1;
  const float pitch = std::min((1400.0f + 4800.0f * (1.0f - size)) * (0.75f + 0.5f * u2), 9000.0f);
  const float ring = 0.0015f + 0.012f * size;
  const float level = kDropLevel * (0.15f + 0.85f * size) * (0.5f + 0.5f * u3);
  const float w = 6.28318530718f * pitch / kRate;
  const float r = std::exp(-1.0f / (ring * kRate));
  slot->c1 = 2.0f * r * std::cos(w);
  slot->c2 = r * r;
  slot->y1 = level * std::sin(w);
  slot->y2 = 0.0f;
  slot->click = level * 0.5f;
  slot->remaining = static_cast<int32_t>(7.0f * ring * kRate);
  pan_gains(1.0f, 1.8f * u4 - 0.9f, slot->gain_left, slot->gain_right);
}

}  // namespace

void ambience_follow(Ambience& ambience, const Soundscape& scape) {
  if (!ambience.started || scape.city != ambience.heard_city) {
    ambience.started = true;
    ambience.heard_city = scape.city;
    ambience.bed_rate = kSceneChangeRate;
  } else if (settled(ambience.rain) && settled(ambience.hum)) {
    ambience.bed_rate = kBedRate;
  }
  if (!scape.city) {
    ambience.rain.target = 0.35f;
    ambience.hum.target = 0.5f;
    ambience.wind.target = 0.0f;
    silence_traffic(ambience);
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
  follow_wind(ambience, scape);
  follow_traffic(ambience, scape, covered);
}

void ambience_add(Ambience& ambience, float volume, float hum_root, float* left, float* right,
                  size_t frames) {
  const float swell_step = 0.11f / kRate;
  const float flutter_step = 0.9f / kRate;
  const float hum_rumble = lowpass_coefficient(140.0f);
  const float hiss_top = lowpass_coefficient(7000.0f);
  const Biquad hiss_band = biquad_highpass(350.0f, 0.707f);
  ambience.hum_step.target = hum_root / kRate;
  // The first block starts on the root; later chords are glided to.
  if (ambience.hum_step.value == 0.0f) ambience.hum_step.value = ambience.hum_step.target;
  // The wind's band moves with the speed, a block at a time.
  const float wind_centre = glide_step(ambience.wind_centre, 0.05f);
  const Biquad wind_band = biquad_bandpass(std::max(wind_centre, 200.0f), 0.9f);
  for (size_t i = 0; i < frames; ++i) {
    // The rain's hiss: pink noise (3 dB less each octave up) from 350 Hz
    // to 7 kHz, in slow gusts.
    const float rain = glide_step(ambience.rain, ambience.bed_rate);
    ambience.gust += (ambience.gust_target - ambience.gust) * kGustRate;
    if (--ambience.gust_wait <= 0) {
      ambience.gust_target = 0.75f + 0.5f * unit_draw(ambience.noise_gust);
      ambience.gust_wait =
          static_cast<int32_t>((1.5f + 3.0f * unit_draw(ambience.noise_gust)) * kRate);
    }
    const float nl = noise_next(ambience.noise_left);
    const float nr = noise_next(ambience.noise_right);
    std::array<float, 3>& pl = ambience.pink_left;
    std::array<float, 3>& pr = ambience.pink_right;
    pl[0] = 0.99765f * pl[0] + nl * 0.0990460f;
    pl[1] = 0.96300f * pl[1] + nl * 0.2965164f;
    pl[2] = 0.57000f * pl[2] + nl * 1.0526913f;
    pr[0] = 0.99765f * pr[0] + nr * 0.0990460f;
    pr[1] = 0.96300f * pr[1] + nr * 0.2965164f;
    pr[2] = 0.57000f * pr[2] + nr * 1.0526913f;
    const float pink_left = pl[0] + pl[1] + pl[2] + nl * 0.1848f;
    const float pink_right = pr[0] + pr[1] + pr[2] + nr * 0.1848f;
    const float band_left = biquad_run(hiss_band, ambience.hiss_left, pink_left);
    const float band_right = biquad_run(hiss_band, ambience.hiss_right, pink_right);
    ambience.hiss_top_left += hiss_top * (band_left - ambience.hiss_top_left);
    ambience.hiss_top_right += hiss_top * (band_right - ambience.hiss_top_right);
    const float hiss = rain * ambience.gust * kHissLevel;
    float l = ambience.hiss_top_left * hiss;
    float r = ambience.hiss_top_right * hiss;

    // The drops: as many more as the rain is harder, from its first drop.
    const float chance = kDropsPerSecond * rain * ambience.gust / kRate;
    const float strike =
        static_cast<float>(noise_bits(ambience.noise_drops)) * (1.0f / 4294967296.0f);
    if (strike < chance) start_drop(ambience);
    for (RainDrop& drop : ambience.drops) {
      if (drop.remaining == 0) continue;
      const float y = drop.c1 * drop.y1 - drop.c2 * drop.y2;
      drop.y2 = drop.y1;
      drop.y1 = y;
      const float sound = y + drop.click * nr;
      drop.click *= 0.92f;  // about 0.25 ms
      drop.remaining -= 1;
      l += sound * drop.gain_left;
      r += sound * drop.gain_right;
    }

    // The hum: the chord's root and its octave, a little low rumble, a
    // slow swell.
    const float hum = glide_step(ambience.hum, ambience.bed_rate);
    ambience.hum_phase += glide_step(ambience.hum_step, kHumPitchRate);
    if (ambience.hum_phase >= 1.0f) ambience.hum_phase -= 1.0f;
    ambience.hum_swell += swell_step;
    if (ambience.hum_swell >= 1.0f) ambience.hum_swell -= 1.0f;
    ambience.hum_noise += hum_rumble * (nr - ambience.hum_noise);
    const float octave =
        ambience.hum_phase < 0.5f ? ambience.hum_phase * 2.0f : ambience.hum_phase * 2.0f - 1.0f;
    const float tone =
        fast_sine(ambience.hum_phase) + 0.4f * fast_sine(octave) + 3.0f * ambience.hum_noise;
    const float swell = 0.8f + 0.2f * fast_sine(ambience.hum_swell);
    const float h = tone * swell * hum * kHumLevel;
    l += h;
    r += h;

    // The wind of the player's own speed, fluttering.
    const float wind = glide_step(ambience.wind, kWindRate);
    if (wind > 1.0e-5f) {
      ambience.wind_flutter += flutter_step;
      if (ambience.wind_flutter >= 1.0f) ambience.wind_flutter -= 1.0f;
      const float gust = (0.75f + 0.25f * fast_sine(ambience.wind_flutter)) * wind * kWindLevel;
      const float wl = noise_next(ambience.noise_wind);
      const float wr = noise_next(ambience.noise_wind);
      l += biquad_run(wind_band, ambience.wind_left, wl) * gust;
      r += biquad_run(wind_band, ambience.wind_right, wr) * gust;
    }

    for (EngineVoice& voice : ambience.engines) {
      if (voice.vehicle == kNoVehicle) continue;
      const float gain_left = glide_step(voice.gain_left, kEngineRate);
      const float gain_right = glide_step(voice.gain_right, kEngineRate);
      if (gain_left + gain_right < 1.0e-6f) continue;
      const float brightness = glide_step(voice.brightness, kEngineRate);
      const float step = glide_step(voice.pitch, kPitchRate);
      voice.phase += step;
      if (voice.phase >= 1.0f) voice.phase -= 1.0f;
      float engine;
      if (voice.drone) {
        // The rotors: a buzz beating at a seventh of its pitch.
        voice.chop_phase += step * (1.0f / 7.0f);
        if (voice.chop_phase >= 1.0f) voice.chop_phase -= 1.0f;
        engine =
            band_limited_square(voice.phase, step) * (0.36f + 0.24f * fast_sine(voice.chop_phase));
      } else {
        engine = band_limited_saw(voice.phase, step);
      }
      voice.tone_low += brightness * (engine - voice.tone_low);
      voice.tone_high += brightness * (voice.tone_low - voice.tone_high);
      voice.wind_state += brightness * (nl - voice.wind_state);
      const float sound = voice.tone_high + 1.5f * voice.wind_state;
      l += sound * gain_left;
      r += sound * gain_right;
    }
    left[i] += l * volume;
    right[i] += r * volume;
  }
}

}  // namespace vel
