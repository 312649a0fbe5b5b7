// play_shell.h: the play program's shell: the shared display, the player's
// devices, the played game's frame step, recording, replay and the comfort
// of a desktop game (pacing, full screen, focus).
#pragma once

#include "play/play_options.h"
#include "play/player_files.h"
#include "play/recording.h"
#include "scene_api/settings.h"

namespace vel {

// Runs until the window is closed, the process is asked to end (SIGINT,
// SIGTERM: SDL2 turns both into a quit event), the title quits, or a
// replay runs out. Returns the process's exit status: 0; 1 after a
// start-up error from SDL2; 2 when an output could not be written or a
// replayed recording does not follow the game. A live run starts from the
// player's `files` and writes them back as they change (null: none kept,
// as in a replay).
int run_play_shell(const Settings& settings, const PlayOptions& options, const Recording* replay,
                   PlayerFiles* files);

}  // namespace vel
