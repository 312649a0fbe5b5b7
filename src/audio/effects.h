// effects.h: what each of the city's events sounds like: the player's body,
// the grapple, the pickups, the energy running out, a fall, the level's
// end, the menus, the title's start and the thunder after a flash. Some
// sounds are a few voices in a row, so a short list holds voices waiting to
// start.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "audio/mixer.h"
#include "audio/synth.h"
#include "audio/thunder.h"
#include "scene_api/frame_events.h"

namespace vel {

inline constexpr size_t kWaitingVoices = 16;

struct WaitingVoice {
  VoiceShape shape;
  int64_t wait = 0;  // samples until it starts
  bool pending = false;
};

struct Effects {
  std::array<WaitingVoice, kWaitingVoices> waiting;
  std::array<Thunder, kThunderVoices> thunder;
  int64_t clock = 0;      // samples rendered since the start
  int32_t rng_state = 0;  // the sounds' own generator, seeded at start
  float stride = 0.0f;    // ground covered since the last footstep
  bool left_foot = false;
};

void effects_start(Effects& effects);
// Starts (or queues) the voices of a frame's events.
void effects_play(Effects& effects, Mixer& mixer, const FrameEvents& events);
// Starts the waiting voices that are due after `samples` more samples, and
// counts their wait down. Returns the samples until the next one is due.
int64_t effects_advance(Effects& effects, Mixer& mixer, int64_t samples);

}  // namespace vel
