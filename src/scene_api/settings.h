// settings.h: the settings record, its reader for settings.txt, and the
// settings as the recording's header lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vel {

// The game's controls: slot i holds the input code that works control i,
// and InputState::held has bit i set while it is held.
inline constexpr size_t kControlSlotCount = 14;
// The held bits that name a control slot; the scene reads no others.
inline constexpr uint32_t kControlSlotBits = (uint32_t{1} << kControlSlotCount) - 1u;

inline constexpr uint8_t kSettingsLoaded = 0;
inline constexpr uint8_t kSettingsLineRejected = 1;
inline constexpr uint8_t kSettingsUnreadable = 2;

struct Settings {
  std::array<int32_t, kControlSlotCount> controls{26,  22, 4,  7, 20, 8,  44,
                                                  513, 26, 22, 4, 7,  40, 41};
  float music_volume = 1.0f;
  float sfx_volume = 1.0f;
  int32_t show_fps = 0;
  uint8_t load_status = kSettingsLoaded;
  bool fullscreen = false;
  bool vsync = false;
  bool interlaced = true;
};

// Parses file text; a rejected line stops the reading with load_status 1.
Settings parse_settings(std::string_view text);
// Reads the file; unreadable or not UTF-8 gives the defaults with load_status 2.
Settings read_settings(const std::string& path);
// What the shell uses: read_settings, then every field back to its default
// (load_status kept) when the file was not loaded cleanly.
Settings load_settings(const std::string& path);
// load_settings, and in `named` the keys the file named (bit i for
// kSettingsKeys[i]); none when it was not loaded cleanly or is missing.
Settings load_settings(const std::string& path, uint32_t& named);
// The keys a settings text names, as above; meaningful for a text that
// parse_settings loads cleanly.
uint32_t named_settings_keys(std::string_view text);

// The controls value: exactly kControlSlotCount integers separated by "|",
// nothing around them; nullopt otherwise.
std::optional<std::array<int32_t, kControlSlotCount>> parse_controls(std::string_view text);

// The settings as "KEY VALUE" lines, each ending in a line feed, in the
// order of kSettingsKeys; the volumes as C99 hex floats, which read back to
// the same 32-bit value. The recording's header carries them in this form.
inline constexpr std::array<std::string_view, 8> kSettingsKeys = {
    "controls",    "music_volume", "sfx_volume", "show_fps",
    "load_status", "fullscreen",   "vsync",      "interlaced"};
std::string settings_text(const Settings& settings);

}  // namespace vel
