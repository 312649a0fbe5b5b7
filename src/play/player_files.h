// player_files.h: the live game's own files found where the desktop keeps
// them (options.txt in the configuration folder, progress.txt in the data
// folder), read once at start and written back as the player changes them.
// A replay and the headless runner never open them.
#pragma once

#include <cstdio>
#include <string>

#include "base/user_folders.h"
#include "play/options_file.h"
#include "play/play_options.h"
#include "play/progress_file.h"
#include "scene_api/settings.h"

namespace vel {

struct PlayerFiles {
  std::string options_path;  // empty: not kept (no home folder to keep them in)
  PlayerOptions options;     // as options.txt holds them
  PlayerOptions in_force;    // what the run plays with (choose_play_options)
  std::string progress_path;
  Progress progress;                // as the run found it
  bool write_failure_said = false;  // a file that cannot be written is said once
};

// Finds both files and reads them; every problem (no home, a damaged file)
// is one line on `messages`.
PlayerFiles open_player_files(const EnvLookup& env, std::FILE* messages);

// What a live run plays with: options.txt, then each key settings.txt
// names (`named`), then what the command line gave. `command_line` gets
// the look, interlace, scale and grapple it plays with.
PlayerOptions choose_play_options(const PlayerOptions& saved, const Settings& settings_file,
                                  uint32_t named, PlayOptions& command_line);

// The options menu changed `before` into `after`: each option it changed
// goes into options.txt's record too (those from settings.txt or the
// command line that it left alone stay out of the file).
void keep_changed_options(const PlayerOptions& before, const PlayerOptions& after,
                          PlayerOptions& saved);

// Write the file back; a failure is said once on `messages`.
void save_player_options(PlayerFiles& files, std::FILE* messages);
void save_player_progress(PlayerFiles& files, const Progress& progress, std::FILE* messages);

}  // namespace vel
