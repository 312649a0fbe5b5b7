// effects.cpp: the voices of every event. Levels follow the README's
// loudness plan: each of the player's own sounds at least 6 dB over the
// rain in its loudest band from 250 Hz up (what small speakers play), the
// menus softer over the rain the panel covers.
#include "audio/effects.h"

#include <algorithm>
#include <limits>

#include "base/rng.h"

namespace vel {

namespace {

enum class GrappleSound : uint8_t { none, miss, engaged, drone, car, released };

// A frame's events as the voices want them: what sounds, and how often.
struct Heard {
  bool flash_started = false;
  bool jumped = false;
  bool air_brake = false;
  bool landed = false;
  float impact_speed = 0.0f;                  // downward speed just before landing, units/s
  float walked = 0.0f;                        // ground distance covered this frame
  GrappleSound grapple = GrappleSound::none;  // a frame has one outcome at most
  bool grapple_snapped = false;               // may come in the same frame as a shot
  int32_t chips_picked = 0;
  int32_t batteries_picked = 0;
  bool menu_opened = false;
  bool menu_closed = false;
  bool menu_moved = false;
  bool menu_selected = false;
  bool menu_refused = false;
  bool title_started = false;  // the title's select: the game begins
  bool low_energy = false;
  bool fell_back = false;
  bool level_complete = false;
};

Heard hear(const FrameEvents& events) {
  Heard heard;
  for (const FrameEvent& event : events) {
    switch (event.kind) {
      case EventKind::flash_began:
        heard.flash_started = true;
        break;
      case EventKind::jumped:
        heard.jumped = true;
        break;
      case EventKind::air_brake:
        heard.air_brake = true;
        break;
      case EventKind::landed:
        heard.landed = true;
        heard.impact_speed = event.value;
        break;
      case EventKind::walked:
        heard.walked = event.value;
        break;
      case EventKind::grapple_missed:
        heard.grapple = GrappleSound::miss;
        break;
      case EventKind::grapple_engaged:
        heard.grapple = GrappleSound::engaged;
        break;
      case EventKind::grapple_drone:
        heard.grapple = GrappleSound::drone;
        break;
      case EventKind::grapple_car:
        heard.grapple = GrappleSound::car;
        break;
      case EventKind::grapple_released:
        heard.grapple = GrappleSound::released;
        break;
      case EventKind::grapple_snapped:
        heard.grapple_snapped = true;
        break;
      case EventKind::chip_taken:
        heard.chips_picked += 1;
        break;
      case EventKind::battery_taken:
        heard.batteries_picked += 1;
        break;
      case EventKind::menu_opened:
        heard.menu_opened = true;
        break;
      case EventKind::menu_closed:
        heard.menu_closed = true;
        break;
      case EventKind::menu_moved:
        heard.menu_moved = true;
        break;
      case EventKind::menu_selected:
        if (event.menu == MenuKind::title) {
          heard.title_started = true;
        } else {
          heard.menu_selected = true;
        }
        break;
      case EventKind::menu_refused:
        heard.menu_refused = true;
        break;
      case EventKind::low_energy:
        heard.low_energy = true;
        break;
      case EventKind::fell_back:
        heard.fell_back = true;
        break;
      case EventKind::level_complete:
        heard.level_complete = true;
        break;
      default:
        break;  // silent: the shot itself (its outcome sounds), a new city, a switch
    }
  }
  return heard;
}

constexpr float kStrideLength = 1.7f;     // units of ground between footsteps
constexpr float kStillDistance = 0.005f;  // a frame's ground covered that is no step

float unit(Effects& effects) {
  const int32_t r = rng_next(effects.rng_state);
  return rng_unit(r);
}

void later(Effects& effects, Mixer& mixer, const VoiceShape& shape, float delay) {
  const int64_t wait = static_cast<int64_t>(delay * static_cast<float>(kSampleRate));
  if (wait <= 0) {
    mixer_play(mixer, shape);
    return;
  }
  for (WaitingVoice& slot : effects.waiting) {
    if (slot.pending) continue;
    slot = WaitingVoice{shape, wait, true};
    return;
  }
  // A full list drops the late voice rather than grow.
}

VoiceShape tone(Wave wave, float frequency, float end_frequency, float gain, float length,
                float decay) {
  VoiceShape shape;
  shape.wave = wave;
  shape.frequency = frequency;
  shape.end_frequency = end_frequency;
  shape.gain = gain;
  shape.length = length;
  shape.decay = decay;
  shape.cutoff = 6000.0f;
  return shape;
}

VoiceShape hiss(float cutoff, float end_cutoff, float gain, float length, float decay) {
  VoiceShape shape;
  shape.wave = Wave::noise;
  shape.cutoff = cutoff;
  shape.end_cutoff = end_cutoff;
  shape.gain = gain;
  shape.length = length;
  shape.decay = decay;
  return shape;
}

// A flash is followed by its thunder after a short, varying delay (the
// nearer the strike, the shorter). Its shape is seeded by the generator
// and by the sample it came at, so even the first of a session, at
// whatever moment the player reached the city, is its own.
void thunder(Effects& effects) {
  const float delay = 0.3f + 1.4f * unit(effects);
  const uint32_t drawn = static_cast<uint32_t>(rng_next(effects.rng_state));
  const uint64_t moment = static_cast<uint64_t>(effects.clock) * 0x9E3779B97F4A7C15ull;
  thunder_strike(effects.thunder, delay, drawn ^ static_cast<uint32_t>(moment >> 32));
}

// A step: the heel's tick and the sole's scuff in the mid-range, where
// small speakers play them, over the body's low thump.
void footstep(Effects& effects, Mixer& mixer) {
  effects.left_foot = !effects.left_foot;
  const float pan = effects.left_foot ? -0.15f : 0.15f;
  VoiceShape tick = hiss(2200.0f + 600.0f * unit(effects), 1200.0f, 0.1f, 0.04f, 0.012f);
  tick.pan = pan;
  mixer_play(mixer, tick);
  VoiceShape scuff = hiss(1100.0f + 500.0f * unit(effects), 400.0f, 0.12f, 0.09f, 0.035f);
  scuff.pan = pan;
  scuff.attack = 0.006f;
  mixer_play(mixer, scuff);
  VoiceShape body = tone(Wave::triangle, 260.0f, 170.0f, 0.12f, 0.07f, 0.025f);
  body.pan = pan;
  mixer_play(mixer, body);
  VoiceShape thump = tone(Wave::sine, 95.0f, 60.0f, 0.16f, 0.1f, 0.04f);
  thump.pan = pan;
  mixer_play(mixer, thump);
}

// Harder the faster the fall; even a soft landing keeps a mid-range slap.
void landing(Mixer& mixer, float impact_speed) {
  const float hard = std::clamp(impact_speed / 25.0f, 0.15f, 1.0f);
  const float mid = std::max(hard, 0.5f);
  mixer_play(mixer, tone(Wave::sine, 120.0f, 40.0f, 0.38f * hard, 0.3f, 0.1f));
  mixer_play(mixer, hiss(400.0f + 1800.0f * hard, 200.0f, 0.2f * mid, 0.25f, 0.07f));
  mixer_play(mixer, tone(Wave::triangle, 230.0f, 130.0f, 0.14f * mid, 0.15f, 0.05f));
}

void grapple(Effects& effects, Mixer& mixer, GrappleSound sound) {
  if (sound == GrappleSound::none) return;
  if (sound == GrappleSound::released) {
    mixer_play(mixer, hiss(3000.0f, 800.0f, 0.08f, 0.14f, 0.05f));
    mixer_play(mixer, tone(Wave::triangle, 520.0f, 820.0f, 0.07f, 0.1f, 0.0f));
    return;
  }
  // Every shot leaves with the same zip.
  mixer_play(mixer, hiss(6000.0f, 1500.0f, 0.14f, 0.13f, 0.05f));
  mixer_play(mixer, tone(Wave::square, 900.0f, 300.0f, 0.05f, 0.1f, 0.05f));
  switch (sound) {
    case GrappleSound::miss:
      later(effects, mixer, tone(Wave::sine, 600.0f, 240.0f, 0.09f, 0.3f, 0.0f), 0.08f);
      break;
    case GrappleSound::engaged:
      later(effects, mixer, tone(Wave::triangle, 1250.0f, 1180.0f, 0.16f, 0.35f, 0.08f), 0.05f);
      later(effects, mixer, tone(Wave::triangle, 1870.0f, 1800.0f, 0.06f, 0.3f, 0.06f), 0.05f);
      later(effects, mixer, hiss(700.0f, 200.0f, 0.12f, 0.12f, 0.04f), 0.05f);
      break;
    case GrappleSound::drone:
      later(effects, mixer, tone(Wave::saw, 1600.0f, 180.0f, 0.11f, 0.4f, 0.2f), 0.04f);
      later(effects, mixer, hiss(3500.0f, 400.0f, 0.18f, 0.45f, 0.15f), 0.04f);
      break;
    case GrappleSound::car:
      later(effects, mixer, tone(Wave::triangle, 1100.0f, 1050.0f, 0.1f, 0.3f, 0.07f), 0.05f);
      later(effects, mixer, tone(Wave::square, 300.0f, 600.0f, 0.04f, 0.22f, 0.0f), 0.08f);
      break;
    case GrappleSound::none:
    case GrappleSound::released:
      break;
  }
}

void snap(Mixer& mixer) {
  VoiceShape twang = tone(Wave::saw, 190.0f, 85.0f, 0.17f, 0.55f, 0.25f);
  twang.cutoff = 3000.0f;
  twang.end_cutoff = 400.0f;
  mixer_play(mixer, twang);
  mixer_play(mixer, hiss(7000.0f, 2000.0f, 0.2f, 0.08f, 0.02f));
}

// A chip: a small bell (its partials not quite harmonic) ringing twice,
// higher the second time; nothing like the menus' clean select.
void chip(Effects& effects, Mixer& mixer) {
  for (int32_t ring = 0; ring < 2; ++ring) {
    const float root = ring == 0 ? 1568.0f : 2093.0f;
    const float delay = ring == 0 ? 0.0f : 0.07f;
    later(effects, mixer, tone(Wave::sine, root, root, 0.2f, 0.5f, 0.16f), delay);
    later(effects, mixer, tone(Wave::sine, root * 2.76f, root * 2.76f, 0.07f, 0.25f, 0.06f), delay);
  }
}

// LOW ENERGY: a jump or a shot refused sounds as a flat, falling pair.
void refused_for_energy(Effects& effects, Mixer& mixer) {
  VoiceShape first = tone(Wave::square, 330.0f, 300.0f, 0.07f, 0.09f, 0.0f);
  first.cutoff = 1800.0f;
  mixer_play(mixer, first);
  VoiceShape second = tone(Wave::square, 247.0f, 200.0f, 0.07f, 0.16f, 0.08f);
  second.cutoff = 1500.0f;
  later(effects, mixer, second, 0.1f);
}

// Back on the start after a fall: a rising sweep as the body comes back.
void respawn(Mixer& mixer) {
  VoiceShape sweep = hiss(300.0f, 5000.0f, 0.12f, 0.55f, 0.0f);
  sweep.attack = 0.35f;
  sweep.release = 0.15f;
  mixer_play(mixer, sweep);
  VoiceShape rise = tone(Wave::triangle, 220.0f, 660.0f, 0.1f, 0.55f, 0.0f);
  rise.attack = 0.3f;
  rise.release = 0.15f;
  mixer_play(mixer, rise);
}

// The last chip of the city: the A major arpeggio up to a held chord.
void level_sting(Effects& effects, Mixer& mixer) {
  constexpr float kNotes[4] = {440.0f, 554.37f, 659.26f, 880.0f};
  for (int32_t i = 0; i < 4; ++i) {
    later(effects, mixer, tone(Wave::triangle, kNotes[i], kNotes[i], 0.1f, 0.3f, 0.15f),
          0.09f * static_cast<float>(i));
  }
  for (const float note : {880.0f, 1108.73f, 1318.51f}) {
    VoiceShape held = tone(Wave::triangle, note, note, 0.07f, 1.2f, 0.6f);
    held.attack = 0.02f;
    held.release = 0.4f;
    later(effects, mixer, held, 0.36f);
  }
}

// The title's start: an open chord and a whoosh into the city.
void game_start(Effects& effects, Mixer& mixer) {
  VoiceShape whoosh = hiss(500.0f, 3000.0f, 0.1f, 0.7f, 0.0f);
  whoosh.attack = 0.3f;
  whoosh.release = 0.3f;
  mixer_play(mixer, whoosh);
  for (const float note : {440.0f, 659.26f, 880.0f}) {
    later(effects, mixer, tone(Wave::triangle, note, note, 0.08f, 0.8f, 0.35f), 0.05f);
  }
}

void chime(Effects& effects, Mixer& mixer, float first, float second, float gain) {
  mixer_play(mixer, tone(Wave::triangle, first, first, gain, 0.12f, 0.08f));
  later(effects, mixer, tone(Wave::triangle, second, second, gain, 0.3f, 0.14f), 0.07f);
}

void menus(Effects& effects, Mixer& mixer, const Heard& events) {
  if (events.menu_opened)
    mixer_play(mixer, tone(Wave::triangle, 660.0f, 990.0f, 0.08f, 0.1f, 0.0f));
  if (events.menu_closed)
    mixer_play(mixer, tone(Wave::triangle, 990.0f, 660.0f, 0.08f, 0.1f, 0.0f));
  if (events.menu_moved)
    mixer_play(mixer, tone(Wave::triangle, 1200.0f, 1200.0f, 0.1f, 0.05f, 0.02f));
  if (events.menu_selected) chime(effects, mixer, 880.0f, 1320.0f, 0.1f);
  if (events.menu_refused) {
    VoiceShape buzz = tone(Wave::square, 140.0f, 130.0f, 0.06f, 0.16f, 0.0f);
    buzz.cutoff = 900.0f;
    mixer_play(mixer, buzz);
  }
}

}  // namespace

void effects_start(Effects& effects) {
  effects = Effects{};
  effects.rng_state = kRngSeed;
}

void effects_play(Effects& effects, Mixer& mixer, const FrameEvents& frame_events) {
  const Heard events = hear(frame_events);
  if (events.flash_started) thunder(effects);
  // Standing still (or creeping, slower than 0.3 units/s at 60 frames a
  // second) readies the foot: the first step of a walk comes at once.
  if (events.walked < kStillDistance) {
    effects.stride = std::max(effects.stride, kStrideLength * 0.85f);
  } else {
    effects.stride += events.walked;
  }
  if (effects.stride >= kStrideLength) {
    effects.stride -=
        kStrideLength * static_cast<float>(static_cast<int32_t>(effects.stride / kStrideLength));
    footstep(effects, mixer);
  }
  if (events.jumped) {
    mixer_play(mixer, tone(Wave::sine, 210.0f, 430.0f, 0.1f, 0.18f, 0.12f));
    mixer_play(mixer, hiss(1500.0f, 2500.0f, 0.06f, 0.25f, 0.12f));
  }
  if (events.air_brake) {
    VoiceShape brake = hiss(3200.0f, 700.0f, 0.2f, 0.4f, 0.3f);
    brake.attack = 0.03f;
    mixer_play(mixer, brake);
  }
  if (events.landed) landing(mixer, events.impact_speed);
  grapple(effects, mixer, events.grapple);
  if (events.grapple_snapped) snap(mixer);
  if (events.chips_picked > 0) chip(effects, mixer);
  for (int32_t i = 0; i < std::min(events.batteries_picked, 3); ++i) {
    mixer_play(mixer, tone(Wave::sine, 440.0f, 880.0f, 0.1f, 0.3f, 0.0f));
    later(effects, mixer, tone(Wave::triangle, 880.0f, 880.0f, 0.07f, 0.3f, 0.15f), 0.12f);
  }
  if (events.low_energy) refused_for_energy(effects, mixer);
  if (events.fell_back) respawn(mixer);
  if (events.level_complete) level_sting(effects, mixer);
  if (events.title_started) game_start(effects, mixer);
  menus(effects, mixer, events);
}

int64_t effects_advance(Effects& effects, Mixer& mixer, int64_t samples) {
  effects.clock += samples;
  int64_t next = std::numeric_limits<int64_t>::max();
  for (WaitingVoice& slot : effects.waiting) {
    if (!slot.pending) continue;
    slot.wait -= samples;
    if (slot.wait <= 0) {
      slot.pending = false;
      mixer_play(mixer, slot.shape);
    } else {
      next = std::min(next, slot.wait);
    }
  }
  return next;
}

}  // namespace vel
