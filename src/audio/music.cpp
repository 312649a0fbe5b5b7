// music.cpp: the loop's notes. A minor, F, D minor, E: a night-time
// progression that loops without an ending. Its levels are the README's
// plan: the arpeggio over the rain in its own band.
#include "audio/music.h"

#include <cmath>

namespace vel {

namespace {

constexpr int32_t kStepsPerBar = 8;
constexpr int32_t kBars = 4;

// Semitones from A3 (220 Hz) of each bar's chord, root first.
constexpr int32_t kChords[kBars][3] = {{0, 3, 7}, {-4, 0, 3}, {-7, -4, 0}, {-5, -1, 2}};
// Which chord note (0..2, 3 = root an octave up) each eighth of the bar plays.
constexpr int32_t kArpeggio[kStepsPerBar] = {0, 1, 2, 3, 2, 1, 2, 1};

float note_frequency(int32_t semitones) {
  return 220.0f * std::exp2(static_cast<float>(semitones) / 12.0f);
}

VoiceShape music_voice(Wave wave, float frequency, float gain, float length) {
  VoiceShape shape;
  shape.wave = wave;
  shape.bus = Bus::music;
  shape.frequency = frequency;
  shape.gain = gain;
  shape.length = length;
  shape.decay = 0.0f;
  return shape;
}

// The bass: a triangle, so small speakers play its overtones if not its
// fundamental.
VoiceShape bass_note(int32_t root, float gain, float length) {
  VoiceShape bass = music_voice(Wave::triangle, note_frequency(root - 12), gain, length);
  bass.release = 0.3f;
  bass.cutoff = 700.0f;
  return bass;
}

}  // namespace

float music_root(const Music& music) {
  const int32_t playing = (music.step + kStepsPerBar * kBars - 1) % (kStepsPerBar * kBars);
  return note_frequency(kChords[playing / kStepsPerBar][0] - 24);
}

void music_step(Music& music, Mixer& mixer) {
  const int32_t bar = music.step / kStepsPerBar;
  const int32_t beat = music.step % kStepsPerBar;
  const int32_t* chord = kChords[bar];
  const float bar_length =
      static_cast<float>(kStepsPerBar * kMusicStepSamples) / static_cast<float>(kSampleRate);
  if (beat == 0) {
    for (int32_t n = 0; n < 3; ++n) {
      VoiceShape pad =
          music_voice(Wave::triangle, note_frequency(chord[n]), 0.04f, bar_length + 0.3f);
      pad.attack = 0.5f;
      pad.release = 0.8f;
      pad.cutoff = 1200.0f;
      pad.pan = 0.3f * static_cast<float>(n - 1);
      mixer_play(mixer, pad);
    }
    mixer_play(mixer, bass_note(chord[0], 0.1f, bar_length * 0.5f));
  }
  if (beat == 4) mixer_play(mixer, bass_note(chord[0], 0.08f, bar_length * 0.45f));
  const int32_t pick = kArpeggio[beat];
  const int32_t semitones = pick == 3 ? chord[0] + 12 : chord[pick];
  // A plucked saw, bright enough to be followed through the rain.
  VoiceShape arp = music_voice(Wave::saw, note_frequency(semitones + 12), 0.1f, 0.4f);
  arp.decay = 0.18f;
  arp.cutoff = 3000.0f;
  arp.pan = beat % 2 == 0 ? -0.35f : 0.35f;
  mixer_play(mixer, arp);
  music.step = (music.step + 1) % (kStepsPerBar * kBars);
  music.wait = kMusicStepSamples;
}

}  // namespace vel
