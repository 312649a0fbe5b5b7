// settings.cpp: the reader of settings.txt, which never fails: whatever it
// cannot use leaves the defaults in place and says why in load_status; and
// the settings' header lines for the recording.
#include "scene_api/settings.h"

#include <cstdio>
#include <optional>

#include "base/file_bytes.h"
#include "base/text_syntax.h"

namespace vel {

namespace {

// Volumes keep to 0..1. The comparisons are written so that NaN fails the
// first one and becomes 0; inf then clamps to 1 and -inf to 0.
float clamp_volume(float value) {
  const float at_least_zero = value > 0.0f ? value : 0.0f;
  return at_least_zero < 1.0f ? at_least_zero : 1.0f;
}

std::optional<bool> parse_switch(std::string_view value) {
  const std::optional<int32_t> number = parse_int32(value);
  if (!number || (*number != 0 && *number != 1)) return std::nullopt;
  return *number == 1;
}

// The C99 hex form of a float, as "%a" writes it.
std::string hex_float(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%a", static_cast<double>(value));
  return buffer;
}

// Stores one key's value; false when the key is unknown or the value does
// not parse, which rejects the line.
bool apply_line(std::string_view key, std::string_view value, Settings& settings) {
  if (key == "controls") {
    // Trimmed first: spaces after "=" are fine here, unlike for the other
    // keys.
    const auto controls = parse_controls(trim_unicode_space(value));
    if (controls) settings.controls = *controls;
    return controls.has_value();
  }
  if (key == "music_volume" || key == "sfx_volume") {
    const std::optional<float> volume = parse_float(value);
    if (!volume) return false;
    (key == "music_volume" ? settings.music_volume : settings.sfx_volume) = clamp_volume(*volume);
    return true;
  }
  if (key == "show_fps") {
    const std::optional<int32_t> place = parse_int32(value);
    if (!place) return false;
    settings.show_fps = *place;
    return true;
  }
  bool* target = key == "fullscreen"   ? &settings.fullscreen
                 : key == "vsync"      ? &settings.vsync
                 : key == "interlaced" ? &settings.interlaced
                                       : nullptr;
  if (target == nullptr) return false;
  const std::optional<bool> on = parse_switch(value);
  if (!on) return false;
  *target = *on;
  return true;
}

}  // namespace

std::optional<std::array<int32_t, kControlSlotCount>> parse_controls(std::string_view text) {
  std::array<int32_t, kControlSlotCount> controls{};
  size_t count = 0;
  for (;;) {
    const size_t bar = text.find('|');
    if (count == controls.size()) return std::nullopt;  // one field too many
    const std::optional<int32_t> code = parse_int32(text.substr(0, bar));
    if (!code) return std::nullopt;
    controls[count++] = *code;
    if (bar == std::string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  if (count != controls.size()) return std::nullopt;
  return controls;
}

std::string settings_text(const Settings& settings) {
  std::string controls;
  for (size_t slot = 0; slot < settings.controls.size(); ++slot) {
    if (slot > 0) controls += '|';
    controls += std::to_string(settings.controls[slot]);
  }
  // In the order of kSettingsKeys.
  const std::string values[] = {controls,
                                hex_float(settings.music_volume),
                                hex_float(settings.sfx_volume),
                                std::to_string(settings.show_fps),
                                std::to_string(settings.load_status),
                                settings.fullscreen ? "1" : "0",
                                settings.vsync ? "1" : "0",
                                settings.interlaced ? "1" : "0"};
  static_assert(sizeof values / sizeof values[0] == kSettingsKeys.size());
  std::string text;
  for (size_t i = 0; i < kSettingsKeys.size(); ++i) {
    text += kSettingsKeys[i];
    text += ' ';
    text += values[i];
    text += '\n';
  }
  return text;
}

Settings parse_settings(std::string_view text) {
  Settings settings;
  while (!text.empty()) {
    const size_t feed = text.find('\n');
    const std::string_view piece = text.substr(0, feed);
    text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
    if (piece.empty()) continue;

    // Trimmed once; key and value are not trimmed again, so "vsync = 1"
    // names the key "vsync " and is rejected.
    const std::string_view line = trim_unicode_space(piece);
    const size_t equals = line.find('=');
    const bool two_parts =
        equals != std::string_view::npos && line.find('=', equals + 1) == std::string_view::npos;
    if (!two_parts || !apply_line(line.substr(0, equals), line.substr(equals + 1), settings)) {
      settings.load_status = kSettingsLineRejected;
      return settings;
    }
  }
  settings.load_status = kSettingsLoaded;
  return settings;
}

namespace {

Settings read_settings_named(const std::string& path, uint32_t& named) {
  named = 0;
  const FileBytes file = read_file_bytes(path);
  const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
  if (!file.error.empty() || !is_valid_utf8(text)) {
    Settings defaults;
    defaults.load_status = kSettingsUnreadable;
    return defaults;
  }
  const Settings read = parse_settings(text);
  if (read.load_status == kSettingsLoaded) named = named_settings_keys(text);
  return read;
}

}  // namespace

uint32_t named_settings_keys(std::string_view text) {
  uint32_t named = 0;
  while (!text.empty()) {
    const size_t feed = text.find('\n');
    const std::string_view line = trim_unicode_space(text.substr(0, feed));
    text.remove_prefix(feed == std::string_view::npos ? text.size() : feed + 1);
    const std::string_view key = line.substr(0, line.find('='));
    for (size_t i = 0; i < kSettingsKeys.size(); ++i) {
      if (kSettingsKeys[i] == key) named |= uint32_t{1} << i;
    }
  }
  return named;
}

Settings read_settings(const std::string& path) {
  uint32_t named = 0;
  return read_settings_named(path, named);
}

Settings load_settings(const std::string& path) {
  uint32_t named = 0;
  return load_settings(path, named);
}

Settings load_settings(const std::string& path, uint32_t& named) {
  const Settings read = read_settings_named(path, named);
  if (read.load_status == kSettingsLoaded) return read;
  // A file that was not read cleanly has no effect at all: a half-applied
  // file would leave the game in a state nobody wrote down.
  Settings defaults;
  defaults.load_status = read.load_status;
  return defaults;
}

}  // namespace vel
