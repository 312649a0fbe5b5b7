// sound_test.cpp: the played game's sound track rendered from real city
// frames: thunder after each flash, silence at zero volume, no sample past
// full scale, no click where a voice starts or stops, and the same frames
// giving the same samples.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "audio/mixer.h"
#include "audio/sound_file.h"
#include "audio/sound_track.h"
#include "base/file_bytes.h"
#include "scene1/state_json.h"
#include "scene_api/control_bits.h"
#include "sim/input_script.h"
#include "support/allocation_counter.h"
#include "support/city_fixture.h"
#include "support/temp_dir.h"

namespace vel {
namespace {

constexpr float kStep = 1.0f / 60.0f;

struct Rendered {
  std::vector<int16_t> samples;  // interleaved stereo
  std::vector<int64_t> flashes;  // stereo frame at which each flash was seen
  size_t allocations = 0;        // in the sound calls, after the first second
};

// A busy player: walks and turns, jumps every half second, fires or lets go
// of the grapple every 0.75 s, opens and works the panel now and then.
InputState busy_input(int64_t frame) {
  InputState input;
  if (frame < 300) return input;
  input.held = kWalkForward | (frame % 120 < 60 ? kWalkLeft : kWalkRight);
  if (frame % 30 == 0) input.held |= kJumpBit;
  if (frame % 45 == 0) input.held |= kGrappleBit;
  const int64_t in_panel = frame % 600;
  if (in_panel == 500 || in_panel == 530) input.held = kPanelToggleBit;
  if (in_panel > 500 && in_panel < 530 && in_panel % 4 == 0) {
    input.held = in_panel % 8 == 0 ? kMenuDownBit : kMenuRightBit | kMenuSelectBit;
  }
  input.look = {frame % 240 < 120 ? 0.02f : -0.02f, 0.0f};
  return input;
}

Rendered render(int64_t frames, bool busy, const Settings& settings, bool ambience_on = true) {
  CityScene scene;
  test::EndedRun ended;
  test::init_real_scene(scene, ended);
  scene.run_end = nullptr;
  SoundTrack track;
  sound_track_start(track, 0.0f);
  track.ambience_on = ambience_on;
  Framebuffer framebuffer = framebuffer_new(kPictureWidth, kPictureHeight);
  Rendered out;
  out.samples.reserve(static_cast<size_t>(frames) * 1700);
  std::vector<int16_t> block(2 * 48000);
  bool flash = false;
  for (int64_t frame = 1; frame <= frames; ++frame) {
    const float time = static_cast<float>(frame) * kStep;
    const InputState input = busy ? busy_input(frame) : InputState{};
    FrameEvents events;
    const FrameResult result = run_frame(scene, input, kStep, time, settings, framebuffer, events);
    const bool flashing = !scene.view.lighting.fog_enabled;
    if (flashing && !flash) out.flashes.push_back(static_cast<int64_t>(out.samples.size() / 2));
    flash = flashing;
    const size_t before = test::allocation_count();
    Soundscape heard;
    scene.listen(heard);
    const int64_t owed = sound_track_frame(track, events, heard, time, kStep);
    if (result.next_scene == 0) scene.init(settings, time);
    sound_track_render(track, settings, block.data(), static_cast<size_t>(owed));
    if (frame > 60) out.allocations += test::allocation_count() - before;
    out.samples.insert(out.samples.end(), block.begin(), block.begin() + 2 * owed);
  }
  return out;
}

double rms(const std::vector<int16_t>& samples, int64_t from, int64_t to) {
  double sum = 0.0;
  const int64_t end = std::min<int64_t>(to, static_cast<int64_t>(samples.size() / 2));
  for (int64_t i = from; i < end; ++i) {
    sum += static_cast<double>(samples[2 * i]) * samples[2 * i];
  }
  return end > from ? std::sqrt(sum / static_cast<double>(end - from)) : 0.0;
}

TEST(Sound, ThunderComesAfterEachFlashAndNeverBefore) {
  Settings settings;
  settings.music_volume = 0.0f;
  // The ambience off, the player still: only the thunder (and the first
  // landing of the opening) makes a sound.
  const Rendered heard = render(1800, false, settings, false);
  ASSERT_GE(heard.flashes.size(), 2u);
  // 0.3 s: the shortest delay between a flash and its thunder.
  const int64_t shortest = 14400;
  const int64_t first = heard.flashes.front();
  for (int64_t i = 5 * 48000; i < first + shortest - 64; ++i) {
    ASSERT_EQ(heard.samples[2 * i], 0) << "sound before the first thunder, at frame " << i;
    ASSERT_EQ(heard.samples[2 * i + 1], 0) << "sound before the first thunder, at frame " << i;
  }
  for (const int64_t flash : heard.flashes) {
    if (flash + 2 * 48000 > static_cast<int64_t>(heard.samples.size() / 2)) break;
    EXPECT_GT(rms(heard.samples, flash + shortest, flash + 2 * 48000), 300.0)
        << "no thunder after the flash at " << flash;
  }
}

TEST(Sound, ZeroVolumesAreDigitalSilence) {
  Settings settings;
  settings.music_volume = 0.0f;
  settings.sfx_volume = 0.0f;
  const Rendered heard = render(900, true, settings);
  EXPECT_EQ(heard.samples.size(), 2u * 48000u * 15u);
  EXPECT_TRUE(
      std::all_of(heard.samples.begin(), heard.samples.end(), [](int16_t s) { return s == 0; }));
}

TEST(Sound, ALongStormyGameStaysUnderFullScaleAndRepeatsExactly) {
  const Settings settings;
  const Rendered first = render(3000, true, settings);
  const int16_t ceiling = static_cast<int16_t>(kCeiling * 32767.0f);
  int16_t peak = 0;
  for (const int16_t s : first.samples) peak = std::max<int16_t>(peak, std::abs(s));
  EXPECT_LE(peak, ceiling);
  EXPECT_GT(peak, 3000) << "the game is all but silent";
  EXPECT_EQ(first.allocations, 0u) << "the sound allocated after its first second";
  const Rendered second = render(3000, true, settings);
  EXPECT_TRUE(first.samples == second.samples);
}

// Voices that start, stop early and end on their own, alone in the mix:
// no step between neighbouring samples beyond what the tone itself makes.
TEST(Sound, VoicesStartAndEndWithoutAStep) {
  Mixer mixer;
  VoiceShape loud;
  loud.wave = Wave::triangle;  // starts at its lowest point: a full-height step unramped
  loud.frequency = 150.0f;
  loud.gain = 0.9f;
  loud.decay = 0.0f;
  loud.length = 0.05f;
  loud.attack = 0.0f;
  loud.release = 0.0f;
  std::vector<float> left(48000, 0.0f);
  std::vector<float> right(48000, 0.0f);
  const size_t stopped = mixer_play(mixer, loud);
  mixer_add_voices(mixer, 1.0f, 1.0f, left.data(), right.data(), 500);
  voice_stop(mixer.voices[stopped]);  // cut mid-tone
  mixer_play(mixer, loud);            // and another that runs out by itself
  mixer_add_voices(mixer, 1.0f, 1.0f, left.data() + 500, right.data() + 500, 47500);
  EXPECT_FALSE(mixer.voices[0].active || mixer.voices[1].active);
  std::vector<int16_t> pcm(2 * 48000);
  Limiter limiter;
  mixer_limit_to_pcm(limiter, left.data(), right.data(), 48000, pcm.data());
  int32_t largest_step = std::abs(pcm[0]);
  for (size_t i = 1; i < 48000; ++i) {
    largest_step = std::max(largest_step, std::abs(pcm[2 * i] - pcm[2 * i - 2]));
  }
  // Without the ramps the first sample alone would jump by about 29000.
  EXPECT_LT(largest_step, 1500);
}

// What the example scripts do is reported as it happens, each action
// once: the events the sound plays from.
TEST(Sound, TheExampleScriptsReportTheirActions) {
  auto heard = [](const char* script_path, int64_t frames) {
    const ParseResult<InputScript> script = load_input_script(script_path);
    EXPECT_TRUE(script) << script.error;
    CityScene scene;
    test::EndedRun ended;
    test::init_real_scene(scene, ended);
    Framebuffer framebuffer = framebuffer_new(kPictureWidth, kPictureHeight);
    ScriptCursor cursor;
    std::vector<EventKind> kinds;  // in the order reported, walks left out
    float walked = 0.0f;
    for (int64_t frame = 1; frame <= frames; ++frame) {
      const InputState input = input_for_frame(*script.value, cursor, static_cast<uint64_t>(frame));
      FrameEvents events;
      run_frame(scene, input, kStep, static_cast<float>(frame) * kStep, Settings{}, framebuffer,
                events);
      for (const FrameEvent& event : events) {
        if (event.kind == EventKind::walked) {
          walked += event.value;
        } else {
          kinds.push_back(event.kind);
        }
      }
    }
    return std::make_pair(kinds, walked);
  };
  auto has = [](const std::vector<EventKind>& kinds, EventKind kind) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
  };
  const auto [tour, tour_walked] = heard("tools/scripts/tour.txt", 530);
  for (const EventKind kind :
       {EventKind::flash_began, EventKind::jumped, EventKind::air_brake, EventKind::landed}) {
    EXPECT_TRUE(has(tour, kind)) << static_cast<int>(kind);
  }
  EXPECT_GT(tour_walked, 0.5f);
  std::vector<EventKind> grapple;
  std::copy_if(tour.begin(), tour.end(), std::back_inserter(grapple), [](EventKind kind) {
    return kind >= EventKind::shot_fired && kind <= EventKind::grapple_snapped;
  });
  EXPECT_EQ(grapple, (std::vector{EventKind::shot_fired, EventKind::grapple_engaged,
                                  EventKind::grapple_released}))
      << "the grapple's shot and release were not reported as such";
  const std::vector<EventKind> panel = heard("tools/scripts/panel.txt", 240).first;
  EXPECT_TRUE(has(panel, EventKind::menu_opened));
  EXPECT_TRUE(has(panel, EventKind::menu_moved));
  EXPECT_TRUE(has(panel, EventKind::menu_refused))
      << "right with no points to spend was not refused";
}

// Every voice of the pool at once, each near full scale: the limiter holds
// the sum under the ceiling.
TEST(Sound, AFullPoolOfLoudVoicesStaysUnderFullScale) {
  Mixer mixer;
  VoiceShape loud;
  loud.wave = Wave::square;
  loud.frequency = 110.0f;
  loud.gain = 0.9f;
  loud.decay = 0.0f;
  loud.length = 0.2f;
  for (size_t i = 0; i < kVoiceCount; ++i) mixer_play(mixer, loud);
  std::vector<float> left(9600, 0.0f);
  std::vector<float> right(9600, 0.0f);
  mixer_add_voices(mixer, 1.0f, 1.0f, left.data(), right.data(), 9600);
  std::vector<int16_t> pcm(2 * 9600);
  Limiter limiter;
  mixer_limit_to_pcm(limiter, left.data(), right.data(), 9600, pcm.data());
  const int16_t ceiling = static_cast<int16_t>(kCeiling * 32767.0f);
  int16_t peak = 0;
  for (const int16_t s : pcm) peak = std::max<int16_t>(peak, std::abs(s));
  EXPECT_LE(peak, ceiling);
  EXPECT_GT(peak, ceiling - 200) << "the limiter took more than it had to";
}

TEST(Sound, ATimeThatLeapsAheadOfItsFramesIsSkippedNotOwed) {
  // A frame of 1/60 s whose time leaps by a day (a laptop asleep) or by
  // 2^99 s (a damaged recording) owes its own length and the slack, not
  // the leap; the frames after it owe only their own time again.
  for (const float leap : {86400.0f, 6.338253e29f}) {
    SoundTrack track;
    sound_track_start(track, 0.0f);
    const float step = 1.0f / 60.0f;
    EXPECT_EQ(sound_track_frame(track, FrameEvents{}, Soundscape{}, step, step), 800);
    const int64_t leapt = sound_track_frame(track, FrameEvents{}, Soundscape{}, leap, step);
    EXPECT_LE(leapt, static_cast<int64_t>((step + kFrameSoundSlack) * 48000.0));
    const int64_t after = sound_track_frame(track, FrameEvents{}, Soundscape{}, leap * 1.5f, step);
    EXPECT_LE(after, static_cast<int64_t>((step + kFrameSoundSlack) * 48000.0));
  }
}

TEST(SoundFile, AFailedTrackLeavesThePreviousFileAndAGoodOneReplacesIt) {
  // The limit is 4 GiB; a file that can take 1000 frames stands in for it.
  const test::TempDir dir;
  const std::string path = dir.file("s.wav");
  ASSERT_EQ(write_text_file(path, "the previous take\n"), "");
  SoundOut out;
  ASSERT_EQ(sound_out_open(out, path, 0.0f), "");
  out.frames_left = 1000;
  sound_out_frame(out, FrameEvents{}, Soundscape{}, 1.0f, 1.0f, Settings{});  // owes 48000
  EXPECT_NE(sound_out_close(out).find("longer than a WAV file can hold"), std::string::npos);
  const FileBytes kept = read_file_bytes(path);
  EXPECT_EQ(std::string(kept.bytes.begin(), kept.bytes.end()), "the previous take\n");
  // A run abandoned part-way keeps it too; a complete one takes its place.
  SoundOut abandoned;
  ASSERT_EQ(sound_out_open(abandoned, path, 0.0f), "");
  sound_out_frame(abandoned, FrameEvents{}, Soundscape{}, 0.5f, 0.5f, Settings{});
  sound_out_abandon(abandoned);
  EXPECT_EQ(read_file_bytes(path).bytes.size(), kept.bytes.size());
  SoundOut good;
  ASSERT_EQ(sound_out_open(good, path, 0.0f), "");
  sound_out_frame(good, FrameEvents{}, Soundscape{}, 0.5f, 0.5f, Settings{});
  EXPECT_EQ(sound_out_close(good), "");
  SF_INFO info{};
  SNDFILE* const read = sf_open(path.c_str(), SFM_READ, &info);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(info.frames, 24000);
  sf_close(read);
  const auto files = std::distance(std::filesystem::directory_iterator(dir.path()),
                                   std::filesystem::directory_iterator{});
  EXPECT_EQ(files, 1) << "a temporary file was left beside it";
}

}  // namespace
}  // namespace vel
