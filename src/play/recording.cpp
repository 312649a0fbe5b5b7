// recording.cpp: writing a played game line by line and reading it back,
// every float as C99 hex so that it reads back to the same bits.
#include "play/recording.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "base/file_bytes.h"
#include "base/message_text.h"
#include "base/text_syntax.h"
#include "gfx/framebuffer.h"

namespace vel {

namespace {

constexpr const char* kMagic = "veltrocane-recording";
constexpr uint64_t kKnownBits = kControlSlotBits;  // the scene reads no other held bits
constexpr float kFlushInterval = 0.5f;             // seconds of game time between flushes

std::string located(const std::string& path, size_t line, const std::string& what) {
  return path + ":" + std::to_string(line) + ": " + what;
}

// A line's fields, split at single spaces, with no allocation: no line of
// a recording has more than kMostFields, so any past that are only
// counted (count = kMostFields + 1) and the line is refused by its length.
constexpr size_t kMostFields = 10;
struct Fields {
  std::array<std::string_view, kMostFields> at;
  size_t count = 0;
  size_t size() const { return count; }
  std::string_view operator[](size_t i) const { return at[i]; }
};

Fields split_spaces(std::string_view line) {
  Fields fields;
  size_t start = 0;
  while (true) {
    const size_t end = line.find(' ', start);
    const size_t stop = end == std::string_view::npos ? line.size() : end;
    if (fields.count == kMostFields) {
      fields.count += 1;  // one too many is as bad as any number more
      break;
    }
    fields.at[fields.count++] = line.substr(start, stop - start);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return fields;
}

// A float as written by "%a" (or any form strtof takes), the whole field.
std::optional<float> parse_exact_float(std::string_view text) {
  // strtof would skip leading white space; a field has none.
  if (text.empty() || text.size() > 64 || std::isspace(static_cast<unsigned char>(text[0]))) {
    return std::nullopt;
  }
  char buffer[65];
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  char* end = nullptr;
  const float value = std::strtof(buffer, &end);
  if (end != buffer + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> parse_flag(std::string_view text) {
  if (text == "0") return false;
  if (text == "1") return true;
  return std::nullopt;
}

// The header's settings lines, each "KEY VALUE", in the fixed order of
// kSettingsKeys (as settings_text writes them).
bool parse_setting(std::string_view key, std::string_view value, size_t index, Settings& settings) {
  if (key != kSettingsKeys[index]) return false;
  switch (index) {
    case 0: {
      const auto controls = parse_controls(value);
      if (controls) settings.controls = *controls;
      return controls.has_value();
    }
    case 1:
    case 2: {
      // The game records only volumes it clamped into 0..1; anything else
      // (NaN among them) is a damaged file and would reach the mixer as a
      // gain.
      const std::optional<float> volume = parse_exact_float(value);
      if (!volume || !(*volume >= 0.0f && *volume <= 1.0f)) return false;
      (index == 1 ? settings.music_volume : settings.sfx_volume) = *volume;
      return true;
    }
    case 3: {
      const std::optional<int32_t> show = parse_int32(value);
      if (show) settings.show_fps = *show;
      return show.has_value();
    }
    case 4: {
      const std::optional<int32_t> status = parse_int32(value);
      if (!status || *status < 0 || *status > 2) return false;
      settings.load_status = static_cast<uint8_t>(*status);
      return true;
    }
    default: {
      const std::optional<bool> flag = parse_flag(value);
      if (!flag) return false;
      (index == 5   ? settings.fullscreen
       : index == 6 ? settings.vsync
                    : settings.interlaced) = *flag;
      return true;
    }
  }
}
constexpr size_t kSettingLines = kSettingsKeys.size();

// The header's lines after the settings, as the current version writes them.
constexpr const char* kStartLines[] = {"play_rules 0|1", "best_level N", "scale 1.."};

bool parse_start_line(const Fields& fields, size_t index, Recording& recording) {
  if (fields.size() != 2) return false;
  if (index == 0) {
    const std::optional<bool> rules =
        fields[0] == "play_rules" ? parse_flag(fields[1]) : std::nullopt;
    if (rules) recording.play_rules = *rules;
    return rules.has_value();
  }
  const std::optional<int32_t> number = parse_int32(fields[1]);
  if (!number) return false;
  if (index == 1 && fields[0] == "best_level" && *number >= 0) {
    recording.best_level = *number;
    return true;
  }
  if (index == 2 && fields[0] == "scale" && *number >= 1 && *number <= kLargestScale) {
    recording.scale = *number;
    return true;
  }
  return false;
}

// A frame line has the pointer from version 3 on.
std::optional<RecordedEvent> parse_step(const Fields& fields, bool with_pointer) {
  RecordedEvent event;
  const bool is_init = fields[0] == "init";
  const bool is_frame = fields[0] == "frame";
  const size_t frame_fields = with_pointer ? 10 : 7;
  if (!(is_init && fields.size() == 3) && !(is_frame && fields.size() == frame_fields)) {
    return std::nullopt;
  }
  const std::optional<int32_t> scene = parse_int32(fields[1]);
  const std::optional<float> time = parse_exact_float(fields[2]);
  if (!scene || *scene < 0 || !time || !std::isfinite(*time)) return std::nullopt;
  event.scene = *scene;
  event.time = *time;
  if (is_init) {
    event.kind = RecordedKind::init;
    return event;
  }
  const std::optional<float> dt = parse_exact_float(fields[3]);
  const std::optional<uint64_t> held = parse_index(fields[4]);
  const std::optional<float> look_x = parse_exact_float(fields[5]);
  const std::optional<float> look_y = parse_exact_float(fields[6]);
  if (!dt || !std::isfinite(*dt) || !held || (*held & ~kKnownBits) != 0 || !look_x ||
      !std::isfinite(*look_x) || !look_y || !std::isfinite(*look_y)) {
    return std::nullopt;
  }
  event.kind = RecordedKind::frame;
  event.dt = *dt;
  event.input.held = static_cast<uint32_t>(*held);
  event.input.look = {*look_x, *look_y};
  if (with_pointer) {
    const std::optional<int32_t> x = parse_int32(fields[7]);
    const std::optional<int32_t> y = parse_int32(fields[8]);
    const std::optional<int32_t> clicks = parse_int32(fields[9]);
    if (!x || *x < -1 || !y || *y < -1 || !clicks || *clicks < 0 || *clicks > 3) {
      return std::nullopt;
    }
    event.input.pointer_x = *x;
    event.input.pointer_y = *y;
    event.input.clicks = static_cast<uint32_t>(*clicks);
  }
  return event;
}

// A "set" line: a settings line the options menu changed, or the scale.
// The value stays in the file's bytes and is applied when the replay
// reaches the line; here it is only checked.
std::optional<RecordedEvent> parse_set_line(const Fields& fields) {
  if (fields.size() != 3) return std::nullopt;
  RecordedEvent event;
  if (fields[1] == "scale") {
    const std::optional<int32_t> scale = parse_int32(fields[2]);
    if (!scale || *scale < 1 || *scale > kLargestScale) return std::nullopt;
    event.kind = RecordedKind::scale;
    event.scene = *scale;
    return event;
  }
  size_t index = 0;
  while (index < kSettingLines && kSettingsKeys[index] != fields[1]) ++index;
  Settings checked;
  if (index == kSettingLines || !parse_setting(fields[1], fields[2], index, checked)) {
    return std::nullopt;
  }
  event.kind = RecordedKind::settings;
  event.scene = static_cast<int32_t>(index);
  event.value = fields[2];
  return event;
}

bool is_set_line(const Fields& fields, int32_t version) {
  return version >= 3 && fields.size() > 0 && fields[0] == "set";
}

// Any event line of a recording of this version.
std::optional<RecordedEvent> parse_event(const Fields& fields, int32_t version) {
  if (is_set_line(fields, version)) return parse_set_line(fields);
  return parse_step(fields, version >= 3);
}

void flush_checked(RecordingWriter& writer) {
  if (writer.failed) return;
  errno = 0;
  if (std::fflush(writer.file) != 0 || std::ferror(writer.file) != 0) {
    writer.failed = true;
    writer.os_error = errno != 0 ? errno : EIO;
  }
}

}  // namespace

namespace {

std::string_view text_of(const Recording& recording) {
  return {reinterpret_cast<const char*>(recording.text.data()), recording.text.size()};
}

// Checks the whole of recording.text, reads its header and counts its
// events; the text is then cut after its last complete line.
ParseResult<Recording> parse_text(Recording recording, const std::string& path) {
  using Result = ParseResult<Recording>;
  const std::string_view text = text_of(recording);
  // The magic, the settings, then what the version adds after them.
  size_t extra_lines = 0;
  size_t line_number = 0;
  size_t start = 0;
  // Only lines that end with a line feed are complete; the rest of a file
  // cut short is not read.
  while (true) {
    const size_t end = text.find('\n', start);
    if (end == std::string_view::npos) break;
    const std::string_view line = text.substr(start, end - start);
    const size_t line_start = start;
    start = end + 1;
    ++line_number;
    const Fields fields = split_spaces(line);
    const size_t extra = line_number - 2 - kSettingLines;  // index past the settings
    if (line_number == 1) {
      if (fields.size() != 2 || fields[0] != kMagic) {
        return Result::fail(located(path, 1, "not a Veltrocane recording"));
      }
      const std::optional<int32_t> version = parse_int32(fields[1]);
      if (!version || *version < 1 || *version > kRecordingVersion ||
          fields[1] != std::to_string(*version)) {
        // The field is the file's: quoted cut short and with its control
        // characters escaped, so that it can neither flood nor drive the
        // terminal.
        return Result::fail(located(path, 1,
                                    "recording version " + message_token(fields[1]) +
                                        " is not a supported version (1 to " +
                                        std::to_string(kRecordingVersion) + ")"));
      }
      recording.version = *version;
      // Version 1 had no play rules (off), version 2 no best level or scale.
      extra_lines = *version == 1 ? 0 : *version == 2 ? 1 : 3;
    } else if (line_number - 2 < kSettingLines) {
      if (fields.size() != 2 ||
          !parse_setting(fields[0], fields[1], line_number - 2, recording.settings)) {
        return Result::fail(located(path, line_number, "bad settings line"));
      }
    } else if (extra < extra_lines) {
      if (!parse_start_line(fields, extra, recording)) {
        return Result::fail(
            located(path, line_number, std::string("expected \"") + kStartLines[extra] + "\""));
      }
    } else {
      const bool with_pointer = recording.version >= 3;
      const std::optional<RecordedEvent> event = parse_event(fields, recording.version);
      if (!event && is_set_line(fields, recording.version)) {
        return Result::fail(located(path, line_number, "bad \"set KEY VALUE\" line"));
      }
      if (!event) {
        return Result::fail(located(path, line_number,
                                    std::string("expected \"init SCENE TIME\" or \"frame SCENE "
                                                "TIME DT HELD LOOK_X LOOK_Y") +
                                        (with_pointer ? " POINTER_X POINTER_Y CLICKS\"" : "\"")));
      }
      if (event->kind == RecordedKind::frame &&
          !(event->dt >= 0.0f && event->dt <= kMaxRecordedFrameTime)) {
        return Result::fail(
            located(path, line_number, "damaged: a frame time below 0 or above 60 seconds"));
      }
      if (recording.event_count == 0) {
        recording.events_offset = line_start;
        recording.events_line = line_number;
      }
      recording.event_count += 1;
    }
  }
  if (line_number < 1 + kSettingLines + extra_lines) {
    return Result::fail(located(path, line_number + 1, "the header ends early"));
  }
  recording.text.resize(start);
  if (recording.event_count == 0) {
    recording.events_offset = start;
    recording.events_line = line_number + 1;
  }
  return Result::ok(std::move(recording));
}

}  // namespace

ParseResult<Recording> parse_recording(std::string_view text, const std::string& path) {
  Recording recording;
  recording.text.assign(text.begin(), text.end());
  return parse_text(std::move(recording), path);
}

ParseResult<Recording> load_recording(const std::string& path) {
  FileBytes file = read_file_bytes(path);
  if (!file.error.empty()) return ParseResult<Recording>::fail(path + ": " + file.error);
  Recording recording;
  recording.text = std::move(file.bytes);
  return parse_text(std::move(recording), path);
}

EventPlace first_event(const Recording& recording) {
  return {recording.events_offset, recording.events_line};
}

std::optional<RecordedEvent> peek_event(const Recording& recording, const EventPlace& place) {
  const std::string_view text = text_of(recording);
  if (place.offset >= text.size()) return std::nullopt;
  const size_t end = text.find('\n', place.offset);
  if (end == std::string_view::npos) return std::nullopt;
  std::optional<RecordedEvent> event =
      parse_event(split_spaces(text.substr(place.offset, end - place.offset)), recording.version);
  if (event) event->line = place.line;
  return event;
}

std::optional<RecordedEvent> next_event(const Recording& recording, EventPlace& place) {
  std::optional<RecordedEvent> event = peek_event(recording, place);
  if (event) {
    const size_t end = text_of(recording).find('\n', place.offset);
    place.offset = end + 1;
    place.line += 1;
  }
  return event;
}

void apply_setting(const RecordedEvent& event, Settings& settings) {
  if (event.kind != RecordedKind::settings || event.scene < 0 ||
      static_cast<size_t>(event.scene) >= kSettingLines) {
    return;
  }
  const size_t index = static_cast<size_t>(event.scene);
  parse_setting(kSettingsKeys[index], event.value, index, settings);
}

std::string open_recording(RecordingWriter& writer, const std::string& path,
                           const Settings& settings, const RecordingStart& start) {
  writer.path = path;
  writer.file = std::fopen(path.c_str(), "wb");
  if (writer.file == nullptr) return path + ": " + std::strerror(errno);
  std::fprintf(writer.file, "%s %d\n", kMagic, kRecordingVersion);
  std::fputs(settings_text(settings).c_str(), writer.file);
  std::fprintf(writer.file, "play_rules %d\nbest_level %d\nscale %d\n", start.play_rules ? 1 : 0,
               static_cast<int>(start.best_level), static_cast<int>(start.scale));
  flush_checked(writer);
  if (writer.failed) return close_recording(writer);
  return {};
}

void record_init(RecordingWriter& writer, int32_t scene, float time) {
  if (writer.file == nullptr || writer.failed) return;
  std::fprintf(writer.file, "init %d %a\n", static_cast<int>(scene), static_cast<double>(time));
  // A scene start is rare and worth keeping at once.
  flush_checked(writer);
  writer.last_flush = time;
}

void record_frame(RecordingWriter& writer, int32_t scene, float time, float dt,
                  const InputState& input) {
  if (writer.file == nullptr || writer.failed) return;
  std::fprintf(writer.file, "frame %d %a %a %u %a %a %d %d %u\n", static_cast<int>(scene),
               static_cast<double>(time), static_cast<double>(dt),
               static_cast<unsigned>(input.held), static_cast<double>(input.look.x),
               static_cast<double>(input.look.y), static_cast<int>(input.pointer_x),
               static_cast<int>(input.pointer_y), static_cast<unsigned>(input.clicks));
  if (!(time - writer.last_flush < kFlushInterval)) {
    flush_checked(writer);
    writer.last_flush = time;
  }
}

void record_settings(RecordingWriter& writer, const Settings& before, const Settings& after) {
  if (writer.file == nullptr || writer.failed) return;
  const std::string was = settings_text(before);
  const std::string now = settings_text(after);
  size_t a = 0;
  size_t b = 0;
  while (a < was.size() && b < now.size()) {
    const size_t a_end = was.find('\n', a);
    const size_t b_end = now.find('\n', b);
    const std::string_view now_line(now.data() + b, b_end - b);
    if (std::string_view(was.data() + a, a_end - a) != now_line) {
      std::fprintf(writer.file, "set %.*s\n", static_cast<int>(now_line.size()), now_line.data());
    }
    a = a_end + 1;
    b = b_end + 1;
  }
  flush_checked(writer);
}

void record_scale(RecordingWriter& writer, int32_t scale) {
  if (writer.file == nullptr || writer.failed) return;
  std::fprintf(writer.file, "set scale %d\n", static_cast<int>(scale));
  flush_checked(writer);
}

std::string close_recording(RecordingWriter& writer) {
  if (writer.file == nullptr) return {};
  // The last lines are flushed here: a failure now is the close's own.
  flush_checked(writer);
  const bool closed = std::fclose(writer.file) == 0;
  const int close_error = errno;
  writer.file = nullptr;
  if (writer.failed) return writer.path + ": " + std::strerror(writer.os_error);
  if (!closed) return writer.path + ": " + std::strerror(close_error);
  return {};
}

}  // namespace vel
