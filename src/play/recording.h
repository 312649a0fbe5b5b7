// recording.h: a played game as a text file: a versioned header with the
// settings in force, then one line per scene start and per frame, written
// as the game goes and read back by the replay.
//
//   veltrocane-recording 3
//   controls 26|22|4|7|20|8|44|513|26|22|4|7|40|41
//   music_volume 0x1p+0           (floats in C99 hex: they read back to
//   sfx_volume 0x1p+0              the same 32-bit value)
//   show_fps 0
//   load_status 0
//   fullscreen 0
//   vsync 0
//   interlaced 1
//   play_rules 1                  (from version 2 on; a version-1 file has
//                                  no such line and replays with them off)
//   best_level 2                  (from version 3 on: the player's best level
//   scale 1                        when the run began, which the title shows,
//                                  and the picture's scale; before: 0 and
//                                  none, the replay's own scale)
//   init SCENE TIME               (Scene::init of entry SCENE)
//   frame SCENE TIME DT HELD LOOK_X LOOK_Y POINTER_X POINTER_Y CLICKS
//                                 (the pointer from version 3 on: layout
//                                  pixels or -1, clicks 0..3)
//   set KEY VALUE                 (from version 3 on: a settings line the
//                                  options menu changed, in force from the
//                                  next frame on; "set scale N" redraws the
//                                  picture at that scale)
//
// Every line ends with a line feed; a last line without one was cut short
// and is not read, so a file cut anywhere replays its complete lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/parse_result.h"
#include "scene_api/input.h"
#include "scene_api/settings.h"

namespace vel {

inline constexpr int32_t kRecordingVersion = 3;
// The longest frame a recording may hold: the headless runner's longest
// step (the live game counts at most a quarter second); anything longer or
// below zero is a damaged file.
inline constexpr float kMaxRecordedFrameTime = 60.0f;

enum class RecordedKind : uint8_t { init, frame, settings, scale };

struct RecordedEvent {
  RecordedKind kind = RecordedKind::frame;
  int32_t scene = 0;  // settings: the key's index in kSettingsKeys; scale: the scale
  float time = 0.0f;
  float dt = 0.0f;         // frames only
  InputState input;        // frames only
  std::string_view value;  // settings only: the value's text, in the recording's own bytes
  size_t line = 0;         // 1-based line in the file, for messages
};

// The file's own bytes stand for its events: a line is read again as the
// replay reaches it (the whole file was checked when it was loaded), so a
// recording of millions of short lines takes little more memory than the
// file itself.
struct Recording {
  int32_t version = kRecordingVersion;
  Settings settings;
  bool play_rules = false;    // the city ran the played game's rules
  int32_t best_level = 0;     // the player's progress the run started from
  int32_t scale = 0;          // the picture's scale; 0: not recorded
  std::vector<uint8_t> text;  // the file, cut after its last complete line
  size_t events_offset = 0;   // where the first scene start, frame or set line begins
  size_t events_line = 0;     // its 1-based line
  size_t event_count = 0;
};

// Where the next event line of a recording begins.
struct EventPlace {
  size_t offset = 0;
  size_t line = 0;
};

EventPlace first_event(const Recording& recording);
// The event at `place` (nullopt past the last one); next_event also moves
// `place` on to the line after it.
std::optional<RecordedEvent> peek_event(const Recording& recording, const EventPlace& place);
std::optional<RecordedEvent> next_event(const Recording& recording, EventPlace& place);
// A "set" line's change made to `settings` (the settings in force before
// it); the value was checked when the file was loaded.
void apply_setting(const RecordedEvent& event, Settings& settings);

// Errors name the file and the 1-based line.
ParseResult<Recording> parse_recording(std::string_view text, const std::string& path);
ParseResult<Recording> load_recording(const std::string& path);

// Writes a recording as the game goes. Lines go through the C library's
// buffer and are flushed at least once a second of game time, so a killed
// process loses at most the last second. No allocation per line.
struct RecordingWriter {
  std::FILE* file = nullptr;
  std::string path;
  float last_flush = 0.0f;
  bool failed = false;
  int os_error = 0;  // why the first write failed, taken when it failed
};

// What the header holds besides the settings.
struct RecordingStart {
  bool play_rules = false;
  int32_t best_level = 0;
  int32_t scale = 1;
};

// Opens (truncating) and writes the header; an empty string on success,
// else the error naming the file (a device that takes no bytes, such as a
// full disk, fails here). Once a write has failed, no more lines are
// written: `failed` tells the shell at once, close_recording why.
std::string open_recording(RecordingWriter& writer, const std::string& path,
                           const Settings& settings, const RecordingStart& start);
void record_init(RecordingWriter& writer, int32_t scene, float time);
void record_frame(RecordingWriter& writer, int32_t scene, float time, float dt,
                  const InputState& input);
// The settings lines that differ between the two, as "set" lines.
void record_settings(RecordingWriter& writer, const Settings& before, const Settings& after);
void record_scale(RecordingWriter& writer, int32_t scale);
// Flushes and closes; an empty string when every line reached the file.
std::string close_recording(RecordingWriter& writer);

}  // namespace vel
