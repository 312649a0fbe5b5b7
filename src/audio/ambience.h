// ambience.h: the sounds that never stop: the rain, the city's hum, the
// wind of the player's speed and the engines of the nearest cars and
// drones. Each frame sets their targets from what the scene reports
// (scene_api/soundscape.h); the mix glides towards them sample by sample,
// so no change is a step.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "audio/filters.h"
#include "scene_api/soundscape.h"

namespace vel {

// More engine voices than vehicles heard, so one can fade out while the
// vehicle that took its place fades in.
inline constexpr size_t kEngineVoices = kHeardVehicles + 2;
inline constexpr size_t kRainDropVoices = 24;
inline constexpr uint32_t kNoVehicle = 0xFFFFFFFFu;

// A parameter that follows its target, a fraction of the way each sample.
struct Glide {
  float value = 0.0f;
  float target = 0.0f;
};

// One vehicle's engine: a tone and its wind, darker and quieter with
// distance, panned to its side of the view and pitched by its Doppler
// shift. It belongs to one vehicle from its fade-in to its fade-out.
struct EngineVoice {
  uint32_t vehicle = kNoVehicle;  // the id it plays for; kNoVehicle: free
  bool drone = false;
  Glide gain_left;
  Glide gain_right;
  Glide brightness;  // one-pole coefficient of the distance filter
  Glide pitch;       // phase step per sample, Doppler included
  float phase = 0.0f;
  float chop_phase = 0.0f;  // a drone's rotor beat
  float tone_low = 0.0f;    // the two one-pole stages of the distance filter
  float tone_high = 0.0f;
  float wind_state = 0.0f;
};

// One rain drop striking near by: a click and a short ring of its size's
// pitch, placed in the stereo field.
struct RainDrop {
  int32_t remaining = 0;  // samples until it has died away; 0: free
  float c1 = 0.0f;        // the ring's resonator: y = c1 y1 - c2 y2
  float c2 = 0.0f;
  float y1 = 0.0f;
  float y2 = 0.0f;
  float click = 0.0f;  // the strike's noise burst, decaying fast
  float gain_left = 0.0f;
  float gain_right = 0.0f;
};

struct Ambience {
  Glide rain;  // strength, 0..1
  Glide hum;
  Glide wind;         // 0..1
  Glide wind_centre;  // Hz
  // The bed (rain and hum) glides slowly across a change of scene, so the
  // title's soft rain becomes the city's over most of a second.
  float bed_rate = 0.0f;
  bool heard_city = false;
  bool started = false;
  uint32_t noise_left = 0x12345u;
  uint32_t noise_right = 0xABCDEu;
  uint32_t noise_drops = 0x2545F491u;
  uint32_t noise_wind = 0x9E3779B9u;
  uint32_t noise_gust = 0x6C8E9CF5u;
  // The rain's hiss: a pink tilt (three one-poles a channel), a high-pass
  // and a one-pole low-pass.
  std::array<float, 3> pink_left{};
  std::array<float, 3> pink_right{};
  BiquadState hiss_left;
  BiquadState hiss_right;
  float hiss_top_left = 0.0f;
  float hiss_top_right = 0.0f;
  // Slow gusts of the rain: a level it glides to, changed now and then.
  float gust = 1.0f;
  float gust_target = 1.0f;
  int32_t gust_wait = 0;
  std::array<RainDrop, kRainDropVoices> drops{};
  // The hum: a tone on the music's chord root and a low rumble.
  Glide hum_step;  // phase step per sample
  float hum_phase = 0.0f;
  float hum_noise = 0.0f;
  float hum_swell = 0.0f;  // slow beat of the hum, phase 0..1
  // The wind: band-passed noise, a channel each, its band set per block.
  BiquadState wind_left;
  BiquadState wind_right;
  float wind_flutter = 0.0f;  // phase 0..1
  std::array<EngineVoice, kEngineVoices> engines{};
};

// The targets for the frame: from the city heard, or (no city: the title's
// flight) a soft rain and hum with no traffic.
void ambience_follow(Ambience& ambience, const Soundscape& scape);
// Adds `frames` stereo frames, scaled by the effects volume; the hum
// sounds on `hum_root` (Hz), the music's chord.
void ambience_add(Ambience& ambience, float volume, float hum_root, float* left, float* right,
                  size_t frames);

}  // namespace vel
