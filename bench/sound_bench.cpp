// sound_bench.cpp: one second of the played game's sound mixed in a busy
// storm: full rain, the hum, the wind, four vehicles close by, the music, a
// near thunder and a noise rumble and a handful of the player's effects,
// all started afresh each second so the pool stays as full as in play.
#include <benchmark/benchmark.h>

#include <vector>

#include "audio/sound_track.h"

namespace vel {
namespace {

void busy_storm(SoundTrack& track) {
  track.ambience.rain.target = 1.0f;
  track.ambience.hum.target = 1.0f;
  track.ambience.wind.target = 1.0f;
  track.ambience.wind_centre.target = 1200.0f;
  for (size_t i = 0; i < kHeardVehicles; ++i) {
    EngineVoice& voice = track.ambience.engines[i];
    voice.vehicle = static_cast<uint32_t>(i);
    voice.gain_left.target = 0.2f;
    voice.gain_right.target = 0.1f;
    voice.brightness.target = 0.3f;
    voice.pitch.target = (70.0f + 40.0f * static_cast<float>(i)) / 48000.0f;
    voice.drone = i % 2 == 1;
  }
  if (track.effects.thunder[0].length == 0) {
    thunder_strike(track.effects.thunder, 0.3f, 12345u);
  }
  VoiceShape rumble;
  rumble.wave = Wave::noise;
  rumble.cutoff = 200.0f;
  rumble.length = 1.0f;
  mixer_play(track.mixer, rumble);
  for (int32_t i = 0; i < 8; ++i) {
    VoiceShape effect;
    effect.wave = i % 2 == 0 ? Wave::noise : Wave::triangle;
    effect.frequency = 300.0f + 100.0f * static_cast<float>(i);
    effect.end_frequency = 200.0f;
    effect.length = 0.5f;
    effect.cutoff = 3000.0f;
    mixer_play(track.mixer, effect);
  }
}

void BM_MixOneSecond(benchmark::State& state) {
  SoundTrack track;
  sound_track_start(track, 0.0f);
  const Settings settings;
  std::vector<int16_t> out(2 * kSampleRate);
  for (auto _ : state) {
    busy_storm(track);
    sound_track_render(track, settings, out.data(), kSampleRate);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * kSampleRate);
}
BENCHMARK(BM_MixOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vel
