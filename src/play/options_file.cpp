// options_file.cpp: options.txt written and read back, and the order in
// which the three sources of a choice are applied.
#include "play/options_file.h"

#include <cmath>
#include <optional>

#include "base/text_syntax.h"
#include "gfx/framebuffer.h"
#include "play/player_file.h"

namespace vel {

namespace {

constexpr std::string_view kMagic = "veltrocane-options";
constexpr int32_t kVersion = 1;

std::optional<bool> parse_switch(std::string_view value) {
  if (value == "0") return false;
  if (value == "1") return true;
  return std::nullopt;
}

std::optional<float> parse_bounded(std::string_view value, float low, float high,
                                   bool low_included) {
  const std::optional<float> number = parse_float(value);
  if (!number || !std::isfinite(*number) || *number > high) return std::nullopt;
  if (low_included ? *number < low : !(*number > low)) return std::nullopt;
  return number;
}

// Stores one line's value; false when the key is unknown or the value is
// not one the game would have written.
bool apply_line(std::string_view key, std::string_view value, PlayerOptions& options) {
  bool* flag = key == "fullscreen"   ? &options.fullscreen
               : key == "vsync"      ? &options.vsync
               : key == "interlaced" ? &options.interlaced
               : key == "invert_y"   ? &options.invert_y
                                     : nullptr;
  if (flag != nullptr) {
    const std::optional<bool> on = parse_switch(value);
    if (on) *flag = *on;
    return on.has_value();
  }
  if (key == "music_volume" || key == "sfx_volume") {
    const std::optional<float> volume = parse_bounded(value, 0.0f, 1.0f, true);
    if (volume) (key == "music_volume" ? options.music_volume : options.sfx_volume) = *volume;
    return volume.has_value();
  }
  if (key == "sensitivity") {
    const std::optional<float> s = parse_bounded(value, 0.0f, kMostSensitivity, false);
    if (s) options.sensitivity = *s;
    return s.has_value();
  }
  if (key == "show_fps") {
    const std::optional<int32_t> place = parse_int32(value);
    if (place) options.show_fps = *place;
    return place.has_value();
  }
  if (key == "scale") {
    const std::optional<int32_t> scale = parse_int32(value);
    if (!scale || *scale < 1 || *scale > kLargestScale) return false;
    options.scale = *scale;
    return true;
  }
  if (key == "grapple") {
    if (value != "hold" && value != "toggle") return false;
    options.grapple_toggle = value == "toggle";
    return true;
  }
  if (key == "controls") {
    const auto controls = parse_controls(value);
    if (controls) options.controls = *controls;
    return controls.has_value();
  }
  return false;
}

}  // namespace

bool operator==(const PlayerOptions& a, const PlayerOptions& b) {
  return options_text(a) == options_text(b);
}

std::string options_text(const PlayerOptions& options) {
  std::string controls;
  for (size_t slot = 0; slot < options.controls.size(); ++slot) {
    if (slot > 0) controls += '|';
    controls += std::to_string(options.controls[slot]);
  }
  const auto flag = [](bool on) { return on ? "1\n" : "0\n"; };
  return player_file_header(kMagic, kVersion) + "fullscreen " + flag(options.fullscreen) +
         "vsync " + flag(options.vsync) + "interlaced " + flag(options.interlaced) + "show_fps " +
         std::to_string(options.show_fps) + "\nmusic_volume " + float_text(options.music_volume) +
         "\nsfx_volume " + float_text(options.sfx_volume) + "\nsensitivity " +
         float_text(options.sensitivity) + "\ninvert_y " + flag(options.invert_y) + "grapple " +
         (options.grapple_toggle ? "toggle" : "hold") + "\ncontrols " + controls + "\nscale " +
         std::to_string(options.scale) + "\n";
}

ParsedOptions parse_options_text(std::string_view text) {
  ParsedOptions parsed;
  const auto apply = [](std::string_view key, std::string_view value, PlayerOptions& options) {
    return apply_line(key, value, options);
  };
  parsed.error = apply_player_lines(text, kMagic, kVersion, apply, parsed.options);
  return parsed;
}

LoadedOptions load_options_file(const std::string& path) {
  LoadedOptions loaded;
  const auto parse = [](std::string_view text, PlayerOptions& options) {
    ParsedOptions parsed = parse_options_text(text);
    options = parsed.options;
    return parsed.error;
  };
  loaded.message = load_player_record(path, parse, loaded.options);
  return loaded;
}

std::string save_options_file(const std::string& path, const PlayerOptions& options) {
  return write_player_file(path, options_text(options));
}

void apply_settings_file(const Settings& settings, uint32_t named, PlayerOptions& options) {
  const auto given = [named](std::string_view key) {
    for (size_t i = 0; i < kSettingsKeys.size(); ++i) {
      if (kSettingsKeys[i] == key) return (named >> i & 1u) != 0;
    }
    return false;
  };
  if (given("controls")) options.controls = settings.controls;
  if (given("music_volume")) options.music_volume = settings.music_volume;
  if (given("sfx_volume")) options.sfx_volume = settings.sfx_volume;
  if (given("show_fps")) options.show_fps = settings.show_fps;
  if (given("fullscreen")) options.fullscreen = settings.fullscreen;
  if (given("vsync")) options.vsync = settings.vsync;
}

Settings play_settings(const PlayerOptions& options, uint8_t load_status) {
  Settings settings;
  settings.controls = options.controls;
  settings.music_volume = options.music_volume;
  settings.sfx_volume = options.sfx_volume;
  settings.show_fps = options.show_fps;
  settings.load_status = load_status;
  settings.fullscreen = options.fullscreen;
  settings.vsync = options.vsync;
  settings.interlaced = options.interlaced;
  return settings;
}

}  // namespace vel
