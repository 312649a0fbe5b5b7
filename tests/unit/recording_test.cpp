// recording_test.cpp: recordings of played games: floats read back to the
// same bits, a file cut anywhere keeps its complete lines, bad lines name
// the file and line, and a replay that leaves the recorded game is caught.
#include "play/recording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/file_bytes.h"
#include "play/play_run.h"
#include "play/replay.h"
#include "support/temp_dir.h"

namespace vel {
namespace {

std::vector<RecordedEvent> events_of(const Recording& recording) {
  std::vector<RecordedEvent> events;
  EventPlace place = first_event(recording);
  while (const std::optional<RecordedEvent> event = next_event(recording, place)) {
    events.push_back(*event);
  }
  return events;
}

uint32_t bits(float value) {
  uint32_t out = 0;
  std::memcpy(&out, &value, sizeof out);
  return out;
}

std::string header() {
  return "veltrocane-recording 1\ncontrols 26|22|4|7|20|8|44|513|26|22|4|7|40|41\n"
         "music_volume 0x1p+0\nsfx_volume 0x1p-1\nshow_fps 3\nload_status 0\n"
         "fullscreen 0\nvsync 1\ninterlaced 1\n";
}

TEST(Recording, WrittenFloatsAndSettingsReadBackToTheSameBits) {
  const test::TempDir dir;
  Settings settings;
  settings.controls[7] = 9;
  settings.sfx_volume = 0.3f;
  settings.show_fps = -7;
  RecordingWriter writer;
  ASSERT_EQ(open_recording(writer, dir.file("r.txt"), settings, {.play_rules = true}), "");
  const float awkward[] = {0.1f, 1.0f / 3.0f, 1e-40f, -0.0f, 3.4e38f, 12.6f};
  record_init(writer, 0, 1.0f / 7.0f);
  for (const float value : awkward) {
    // The longest frame a file may hold is the last value of dt.
    record_frame(writer, 1, value, std::min(value / 3.0f, kMaxRecordedFrameTime),
                 {0x3FFF, {value, -value}});
  }
  ASSERT_EQ(close_recording(writer), "");

  const ParseResult<Recording> read = load_recording(dir.file("r.txt"));
  ASSERT_TRUE(read) << read.error;
  EXPECT_EQ(read.value->settings.controls, settings.controls);
  EXPECT_EQ(bits(read.value->settings.sfx_volume), bits(0.3f));
  EXPECT_EQ(read.value->settings.show_fps, -7);
  EXPECT_TRUE(read.value->play_rules);
  const std::vector<RecordedEvent> events = events_of(*read.value);
  ASSERT_EQ(events.size(), 7u);
  EXPECT_EQ(events[0].kind, RecordedKind::init);
  EXPECT_EQ(bits(events[0].time), bits(1.0f / 7.0f));
  for (size_t i = 0; i < 6; ++i) {
    const RecordedEvent& e = events[i + 1];
    EXPECT_EQ(bits(e.time), bits(awkward[i]));
    EXPECT_EQ(bits(e.dt), bits(std::min(awkward[i] / 3.0f, kMaxRecordedFrameTime)));
    EXPECT_EQ(bits(e.input.look.y), bits(-awkward[i]));
    EXPECT_EQ(e.input.held, 0x3FFFu);
  }
}

TEST(Recording, TheHeaderHoldsEverySettingInItsOwnLineAndReadsBack) {
  const test::TempDir dir;
  Settings settings;
  settings.controls = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, -14};
  settings.music_volume = 0.0f;
  settings.sfx_volume = 0.75f;
  settings.show_fps = 2;
  settings.load_status = kSettingsLineRejected;
  settings.fullscreen = true;
  settings.vsync = false;
  settings.interlaced = false;
  RecordingWriter writer;
  const RecordingStart start{.play_rules = false, .best_level = 4, .scale = 2};
  ASSERT_EQ(open_recording(writer, dir.file("r.txt"), settings, start), "");
  ASSERT_EQ(close_recording(writer), "");
  const FileBytes file = read_file_bytes(dir.file("r.txt"));
  EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.end()),
            "veltrocane-recording 3\ncontrols 1|2|3|4|5|6|7|8|9|10|11|12|13|-14\n"
            "music_volume 0x0p+0\nsfx_volume 0x1.8p-1\nshow_fps 2\nload_status 1\n"
            "fullscreen 1\nvsync 0\ninterlaced 0\nplay_rules 0\nbest_level 4\nscale 2\n");
  const ParseResult<Recording> read = load_recording(dir.file("r.txt"));
  ASSERT_TRUE(read) << read.error;
  const Settings& back = read.value->settings;
  EXPECT_EQ(back.controls, settings.controls);
  EXPECT_EQ(bits(back.music_volume), bits(0.0f));
  EXPECT_EQ(bits(back.sfx_volume), bits(0.75f));
  EXPECT_EQ(back.show_fps, 2);
  EXPECT_EQ(back.load_status, kSettingsLineRejected);
  EXPECT_TRUE(back.fullscreen);
  EXPECT_FALSE(back.vsync || back.interlaced || read.value->play_rules);
  EXPECT_EQ(read.value->best_level, 4);
  EXPECT_EQ(read.value->scale, 2);
  // A version-2 file (before the best level and scale) still replays.
  const std::string old = "veltrocane-recording 2" + header().substr(22) + "play_rules 1\n";
  const ParseResult<Recording> older = parse_recording(old, "old.txt");
  ASSERT_TRUE(older) << older.error;
  EXPECT_TRUE(older.value->play_rules);
  EXPECT_EQ(older.value->best_level + older.value->scale, 0);
}

TEST(Recording, ACutFileKeepsItsCompleteLinesOnly) {
  const std::string lines = header() + "init 0 0x0p+0\nframe 0 0x1p-6 0x1p-6 0 0x0p+0 0x0p+0\n";
  // Cut inside the last frame line: that frame is dropped, even though
  // "frame 0 0x1p-6" would parse as far as it goes.
  const std::string cut = lines + "frame 0 0x1p-5 0x1p-6 12";
  const ParseResult<Recording> read = parse_recording(cut, "cut.txt");
  ASSERT_TRUE(read) << read.error;
  EXPECT_EQ(events_of(*read.value).size(), 2u);
  EXPECT_FALSE(read.value->play_rules);  // version 1: played before the rules existed
  // Cut inside the header: nothing to replay with.
  const ParseResult<Recording> early = parse_recording(header().substr(0, 60), "early.txt");
  ASSERT_FALSE(early);
  EXPECT_EQ(early.error.substr(0, 12), "early.txt:2:");  // the controls line, cut
}

TEST(Recording, MalformedLinesNameTheFileAndLine) {
  const auto error_of = [](const std::string& text) {
    const ParseResult<Recording> read = parse_recording(text, "bad.txt");
    EXPECT_FALSE(read);
    return read.error;
  };
  EXPECT_EQ(error_of("veltrocane-recording 4\n").substr(0, 10), "bad.txt:1:");
  EXPECT_EQ(error_of("something else\n").substr(0, 10), "bad.txt:1:");
  std::string bad_setting = header();
  bad_setting.replace(bad_setting.find("vsync 1"), 7, "vsync 2");
  EXPECT_EQ(error_of(bad_setting).substr(0, 10), "bad.txt:8:");
  for (const char* line :
       {"frame 0 0x1p-6 0x1p-6 16384 0x0p+0 0x0p+0",  // bit 14
        "frame 0 0x1p-6 0x1p-6 0 nan 0x0p+0", "frame -1 0 0 0 0 0",
        "frame 0 0x1p-6 0x1p-6 0 0x0p+0", "init 0", "init 0  0x0p+0", "jump 0 0",
        // frame times no run gives: they would ask the step for days of work
        "frame 0 0x1p-6 0x1p+18 0 0x0p+0 0x0p+0", "frame 0 0x1p-6 -0x1p-6 0 0x0p+0 0x0p+0"}) {
    EXPECT_EQ(error_of(header() + "init 0 0x0p+0\n" + line + "\n").substr(0, 11), "bad.txt:11:")
        << line;
  }
}

TEST(Recording, TheFilesTextInAMessageIsEscapedAndCut) {
  const std::string version = "\x1b]0;x\x07\r" + std::string(size_t{10} << 20, '9');
  const std::string error =
      parse_recording("veltrocane-recording " + version + "\n", "v.txt").error;
  EXPECT_EQ(error.substr(0, 48), "v.txt:1: recording version \\u{1b}]0;x\\u{07}\\r999");
  EXPECT_LT(error.size(), 200u);
}

TEST(Recording, AWriteThatFailsGivesItsOwnReason) {
  RecordingWriter writer;
  EXPECT_EQ(open_recording(writer, "/dev/full", Settings{}, {.play_rules = true}),
            "/dev/full: No space left on device");
  EXPECT_EQ(writer.file, nullptr);
}

TEST(Recording, AFileThatCannotBeReadIsNamed) {
  const test::TempDir dir;
  EXPECT_EQ(load_recording(dir.file("none.txt")).error,
            dir.file("none.txt") + ": No such file or directory");
  EXPECT_EQ(load_recording(dir.path()).error, dir.path() + ": Is a directory");
}

TEST(Replay, ARecordingThatLeavesTheGameIsReportedAtItsLine) {
  // The title asks for the city on the frame Return goes down; a recording
  // that runs the title on regardless has not followed the game.
  const std::string text = header() + "init 0 0x0p+0\n" +
                           "frame 0 0x1p-6 0x1p-6 0 0x0p+0 0x0p+0\n"
                           "frame 0 0x1p-5 0x1p-6 4096 0x0p+0 0x0p+0\n"
                           "frame 0 0x1.8p-5 0x1p-6 0 0x0p+0 0x0p+0\n";
  const ParseResult<Recording> read = parse_recording(text, "r.txt");
  ASSERT_TRUE(read) << read.error;
  const std::unique_ptr<PlayRun> run = make_play_run();
  ReplayCursor cursor;
  cursor.recording = &*read.value;
  cursor.path = "r.txt";
  LoopOutputs outputs;
  EXPECT_EQ(replay_all(cursor, *run, outputs).substr(0, 9), "r.txt:13:");
  EXPECT_EQ(run->loop.frames, 2u);
}

// Frame lines of the title from these held masks (and, from version 3 on,
// pointers "X Y CLICKS"), 1/64 s apart.
std::string title_frames(const std::vector<std::pair<int, std::string>>& lines) {
  std::string frames = "init 0 0x0p+0\n";
  float t = 0.0f;
  for (const auto& [held, pointer] : lines) {
    t += 1.0f / 64.0f;
    char line[96];
    std::snprintf(line, sizeof line, "frame 0 %a 0x1p-6 %d 0x0p+0 0x0p+0", static_cast<double>(t),
                  held);
    frames += line + (pointer.empty() ? "" : " " + pointer) + "\n";
  }
  return frames;
}

// The title's replay: the error (empty when it ran out) and its frames.
std::pair<std::string, uint64_t> replay_title(const std::string& text) {
  const ParseResult<Recording> read = parse_recording(text, "r.txt");
  EXPECT_TRUE(read) << read.error;
  if (!read) return {read.error, 0};
  const std::unique_ptr<PlayRun> run = make_play_run(true);
  ReplayCursor cursor;
  cursor.recording = &*read.value;
  cursor.path = "r.txt";
  LoopOutputs outputs;
  const std::string error = replay_all(cursor, *run, outputs);
  return {error, run->loop.frames};
}

TEST(Replay, TheTitleFollowsItsVersionsItemsAndTheRecordedPointer) {
  const std::string v2 = "veltrocane-recording 2" + header().substr(22) + "play_rules 1\n";
  const std::string v3 = "veltrocane-recording 3" + v2.substr(22) + "best_level 0\nscale 1\n";
  // Down, down, Return: QUIT before OPTIONS was offered (the game ends a
  // line early), the options menu's item since (it goes on).
  std::vector<std::pair<int, std::string>> keys;
  for (const int held : {0, 512, 0, 512, 0, 4096, 0}) keys.push_back({held, ""});
  EXPECT_EQ(replay_title(v2 + title_frames(keys)),
            std::make_pair(std::string("r.txt:18: the game ended before this line"), uint64_t{6}));
  for (auto& key : keys) key.second = "-1 -1 0";
  EXPECT_EQ(replay_title(v3 + title_frames(keys)), std::make_pair(std::string(), uint64_t{7}));
  // The pointer moves onto QUIT and clicks it: the game ends there.
  const std::string pointed =
      title_frames({{0, "-1 -1 0"}, {0, "160 42 0"}, {0, "160 42 1"}, {0, "160 42 0"}});
  EXPECT_EQ(replay_title(v3 + pointed).second, 3u);
  // The menu's changes are read as the replay reaches them: each in force
  // from the next frame on, the others kept; a bad value is refused at load.
  const std::string frames = title_frames({{0, "-1 -1 0"}, {0, "-1 -1 0"}});
  const std::string changed = v3 + frames.substr(0, frames.find("frame")) +
                              "set sfx_volume 0x1p-2\nset scale 2\n" +
                              frames.substr(frames.find("frame"));
  const ParseResult<Recording> read = parse_recording(changed, "r.txt");
  ASSERT_TRUE(read) << read.error;
  const std::unique_ptr<PlayRun> run = make_play_run(true);
  ReplayCursor cursor;
  cursor.recording = &*read.value;
  cursor.path = "r.txt";
  LoopOutputs outputs;
  EXPECT_EQ(replay_all(cursor, *run, outputs), "");
  EXPECT_EQ(bits(cursor.settings.sfx_volume), bits(0.25f));
  EXPECT_EQ(bits(cursor.settings.music_volume), bits(1.0f));
  EXPECT_EQ(run->loop.framebuffer.scale, 2);
  EXPECT_EQ(parse_recording(v3 + "set sfx_volume 2\n", "r.txt").error,
            "r.txt:13: bad \"set KEY VALUE\" line");
}

TEST(FrameStep, FollowsTheShellsRuleForNextScene) {
  FrameResult result;
  EXPECT_FALSE(frame_step(result, 2).quit);
  result.next_scene = -1;
  EXPECT_TRUE(frame_step(result, 2).quit);
  result.next_scene = 1;
  EXPECT_EQ(frame_step(result, 2).enter, 1);
  for (const int32_t ignored : {2, -2}) {
    result.next_scene = ignored;
    const FrameStep step = frame_step(result, 2);
    EXPECT_FALSE(step.quit || step.enter.has_value()) << ignored;
  }
}

}  // namespace
}  // namespace vel
