// replay_run.h: `veltrocane-sim --replay`: a recording of the play program
// run headless through the same frame step, for comparing its state file
// and picture with the live game's.
#pragma once

#include <cstdint>
#include <string>

namespace vel {

// Runs the recording to its last complete frame and writes the outputs
// asked for (an empty path asks for nothing): the state, the last picture
// and the sound track, at `scale` (0: the recording's, 1 for one made before
// it was recorded). Returns the exit status: 0,
// or 2 after a message naming the file (and line) that failed.
int run_replay(const std::string& recording_path, const std::string& state_path,
               const std::string& ppm_path, const std::string& wav_path, int32_t scale = 1,
               int32_t threads = 1);

}  // namespace vel
