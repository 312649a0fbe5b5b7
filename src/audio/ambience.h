// ambience.h: the sounds that never stop: the rain, the city's hum and the
// nearest cars and drones. Each frame sets their targets from what the
// scene reports (scene_api/soundscape.h); the
// mixer glides towards them sample by sample, so no change is a step.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "scene_api/soundscape.h"

namespace vel {

inline constexpr size_t kTrafficSlots = kHeardVehicles;

// A parameter that follows its target over about 20 ms.
struct Glide {
  float value = 0.0f;
  float target = 0.0f;
};

// One passing vehicle: an engine tone and its wind, filtered brighter and
// louder as it comes near, panned to its side of the view.
struct TrafficVoice {
  Glide gain_left;
  Glide gain_right;
  Glide lowpass;
  float phase = 0.0f;
  float phase_step = 0.0f;
  float tone_state = 0.0f;
  float wind_state = 0.0f;
  bool drone = false;
};

struct Ambience {
  Glide rain;  // 0..1 strength
  Glide hum;
  uint32_t noise_left = 0x12345u;
  uint32_t noise_right = 0xABCDEu;
  float rain_low_left = 0.0f;  // band edges of the hiss (one-pole states)
  float rain_high_left = 0.0f;
  float rain_low_right = 0.0f;
  float rain_high_right = 0.0f;
  float patter_level = 0.0f;  // the current drop's decaying envelope
  float patter_pan = 0.0f;
  float hum_phase = 0.0f;
  float hum_noise = 0.0f;
  float hum_swell = 0.0f;  // slow beat of the hum, phase 0..1
  std::array<TrafficVoice, kTrafficSlots> traffic;
};

// The targets for the frame: from the city heard, or (no city: the title's
// flight) a soft rain and hum with no traffic.
void ambience_follow(Ambience& ambience, const Soundscape& scape);
// Adds `frames` stereo frames, scaled by the effects volume.
void ambience_add(Ambience& ambience, float volume, float* left, float* right, size_t frames);

}  // namespace vel
