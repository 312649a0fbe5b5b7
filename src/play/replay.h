// replay.h: a recording played back through the same frame step as the
// live game: each frame line is run, and each switch the scenes ask for
// must be followed by the recorded start of that scene.
#pragma once

#include <cstddef>
#include <string>

#include "play/play_run.h"
#include "play/recording.h"

namespace vel {

struct ReplayCursor {
  const Recording* recording = nullptr;
  std::string path;  // for messages
  EventPlace next;   // the next event line (set from the recording at the start)
  bool started = false;
  bool ended = false;       // no complete frame left, or the scenes quit
  Settings settings;        // in force: the recording's, then each "set" line's
  bool keep_scale = false;  // the viewer asked for a scale: recorded changes do not apply
};

// Runs the first scene start, then one frame (and the scene start it asks
// for). Returns an empty string, or "file:line: what" when the recording
// does not follow the game it claims to be.
// The time of the recording's first scene start (0 when it has none):
// sample 0 of its sound.
float replay_start_time(const Recording& recording);
// The frame goes through `outputs` as a live one does.
std::string replay_step(ReplayCursor& cursor, PlayRun& run, LoopOutputs& outputs);
// replay_step until the cursor ends.
std::string replay_all(ReplayCursor& cursor, PlayRun& run, LoopOutputs& outputs);

}  // namespace vel
