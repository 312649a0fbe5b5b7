// music.h: the loop under the game: four bars of slow chords with a bass
// note and a plucked arpeggio, played on the music bus.
#pragma once

#include <cstdint>

#include "audio/mixer.h"

namespace vel {

// Eighth notes at 84 beats a minute, in whole samples so the loop never drifts.
inline constexpr int64_t kMusicStepSamples = 17143;

struct Music {
  int32_t step = 0;  // eighth note within the loop
  int64_t wait = 0;  // samples until the next step
};

// Plays the step that is due and moves to the next.
void music_step(Music& music, Mixer& mixer);
// The root of the chord playing, two octaves under the chord (37 to 55 Hz):
// the note the city's hum sounds on, so it never clashes with the bar.
float music_root(const Music& music);

}  // namespace vel
