// options_file.h: the player's choices as options.txt keeps them in the
// configuration folder, and how they combine with settings.txt and the
// command line into what a run plays with.
//
//   veltrocane-options 1
//   fullscreen 0
//   vsync 0
//   interlaced 0
//   show_fps 0
//   music_volume 1
//   sfx_volume 1
//   sensitivity 1
//   invert_y 0
//   grapple toggle            (or hold: the rope holds while the key is held)
//   controls 26|22|4|7|20|8|44|513|26|22|4|7|40|41
//   scale 1
//
// Every key is optional (a missing one keeps its default); an unknown key
// or a value out of its range makes the file damaged.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "scene_api/settings.h"

namespace vel {

struct PlayerOptions {
  bool fullscreen = false;
  bool vsync = false;
  bool interlaced = false;  // the played game draws whole pictures unless asked
  int32_t show_fps = 0;
  float music_volume = 1.0f;
  float sfx_volume = 1.0f;
  float sensitivity = 1.0f;
  bool invert_y = false;
  bool grapple_toggle = false;  // a press fires and holds, the next press lets go
  std::array<int32_t, kControlSlotCount> controls = Settings{}.controls;
  int32_t scale = 1;
};

bool operator==(const PlayerOptions& a, const PlayerOptions& b);

inline constexpr float kMostSensitivity = 100.0f;

std::string options_text(const PlayerOptions& options);
// The options a text holds, or "line N: what" in `error`.
struct ParsedOptions {
  PlayerOptions options;
  std::string error;
};
ParsedOptions parse_options_text(std::string_view text);

// options.txt read at start: the defaults when there is none; a damaged
// or foreign one is set aside as options.txt.damaged and `message` says so
// in one line naming the file.
struct LoadedOptions {
  PlayerOptions options;
  std::string message;
};
LoadedOptions load_options_file(const std::string& path);
// Empty string on success, else the reason naming the file.
std::string save_options_file(const std::string& path, const PlayerOptions& options);

// settings.txt over options.txt: each key the file names (`named`, bits of
// kSettingsKeys' indices, from a file read cleanly) replaces the option,
// except interlaced, which belongs to the fixed run.
void apply_settings_file(const Settings& settings, uint32_t named, PlayerOptions& options);
// The settings a live run plays with (and records).
Settings play_settings(const PlayerOptions& options, uint8_t load_status);

}  // namespace vel
