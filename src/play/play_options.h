// play_options.h: the play program's command line. The player's own
// choices are kept in options.txt (options_file.h); those given here win
// over it for this run only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "play/input_map.h"

namespace vel {

struct PlayOptions {
  LookOptions look;
  std::string record_path;  // write the game as it is played
  std::string replay_path;  // show a recording instead of reading the devices
  std::string state_path;   // the state file when the run ends
  std::string ppm_path;     // the last picture when the run ends
  std::string wav_path;     // the sound track as played, as a WAV file
  bool uncapped = false;    // no pacing when vsync is off: for measuring
  bool interlace = false;   // draw every other row each frame, as the fixed run does
  int32_t scale = 1;        // the picture 320N x 180N, its overlays scaled N times
  int32_t threads = 0;      // the threads that draw it; 0: one per core
  // Which of the player's choices the command line gave.
  struct Given {
    bool sensitivity = false;
    bool invert_y = false;
    bool interlace = false;
    bool scale = false;
  } given;
  bool grapple_toggle = false;  // from options.txt: the grapple is a switch
};

// The options, or the exit status when the program should stop at once:
// 0 after --help, 2 after a message for a bad command line.
std::optional<int> parse_play_options(int argc, char** argv, PlayOptions& options);

}  // namespace vel
