// main.cpp: the composition root of veltrocane-play: the command line, the
// display check, the player's files and settings.txt (or the recording's
// settings) and the play shell.
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "base/standard_streams.h"
#include "play/play_options.h"
#include "play/play_shell.h"
#include "play/player_files.h"
#include "play/recording.h"
#include "scene_api/settings.h"

namespace {

bool has_display() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Before anything opens a file or the X11 connection, so that neither
  // takes a closed descriptor 0-2 and receives the program's output.
  vel::open_closed_standard_streams();
  vel::PlayOptions options;
  if (const std::optional<int> status = vel::parse_play_options(argc, argv, options)) {
    return *status;
  }
  if (!has_display()) {
    std::fputs("veltrocane-play: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n",
               stderr);
    return 2;
  }
  if (!options.replay_path.empty()) {
    vel::ParseResult<vel::Recording> loaded = vel::load_recording(options.replay_path);
    if (!loaded) {
      std::fprintf(stderr, "veltrocane-play: %s\n", loaded.error.c_str());
      return 2;
    }
    // A replay runs with the settings it was played with, and never reads
    // or writes the player's files.
    if (!options.given.scale && loaded.value->scale > 0) options.scale = loaded.value->scale;
    return vel::run_play_shell(loaded.value->settings, options, &*loaded.value, nullptr);
  }
  vel::PlayerFiles files = vel::open_player_files(vel::process_environment(), stderr);
  // options.txt, settings.txt over it, the command line over both. The
  // recording keeps what was used.
  uint32_t named = 0;
  const vel::Settings settings_file = vel::load_settings("settings.txt", named);
  files.in_force = vel::choose_play_options(files.options, settings_file, named, options);
  const vel::Settings settings = vel::play_settings(files.in_force, settings_file.load_status);
  return vel::run_play_shell(settings, options, nullptr, &files);
}
