// main.cpp: the composition root of veltrocane-play: the command line, the
// display check, settings.txt (or the recording's settings) and the play
// shell.
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "base/standard_streams.h"
#include "play/play_options.h"
#include "play/play_shell.h"
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
    // A replay runs with the settings it was played with.
    return vel::run_play_shell(loaded.value->settings, options, &*loaded.value);
  }
  // The played game draws whole pictures unless asked: settings.txt's
  // interlaced belongs to the fixed run. The recording keeps what was used.
  vel::Settings settings = vel::load_settings("settings.txt");
  settings.interlaced = options.interlace;
  return vel::run_play_shell(settings, options, nullptr);
}
