// replay.cpp: stepping a PlayRun through a recording, checking at every
// line that the scenes do what the recorded game did.
#include "play/replay.h"

namespace vel {

namespace {

std::string at_line(const ReplayCursor& cursor, size_t line, const std::string& what) {
  return cursor.path + ":" + std::to_string(line) + ": " + what;
}

// The init the scenes just asked for; a recording cut right before it
// ends the replay after the frame that asked.
std::string expect_init(ReplayCursor& cursor, PlayRun& run, int32_t scene) {
  const Recording& recording = *cursor.recording;
  if (cursor.next >= recording.events.size()) {
    cursor.ended = true;
    return {};
  }
  const RecordedEvent& event = recording.events[cursor.next];
  if (event.kind != RecordedKind::init || event.scene != scene) {
    return at_line(cursor, event.line,
                   "the game switched to scene " + std::to_string(scene) +
                       " here, but the recording does not start it");
  }
  cursor.next += 1;
  enter_scene(run, scene, recording.settings, event.time);
  return {};
}

}  // namespace

std::string replay_step(ReplayCursor& cursor, PlayRun& run) {
  if (cursor.ended) return {};
  if (!cursor.started) {
    cursor.started = true;
    if (const std::string error = expect_init(cursor, run, kTitleSceneIndex); !error.empty()) {
      return error;
    }
    if (cursor.ended) return {};
  }
  const Recording& recording = *cursor.recording;
  if (cursor.next >= recording.events.size()) {
    cursor.ended = true;
    return {};
  }
  const RecordedEvent& event = recording.events[cursor.next];
  if (event.kind != RecordedKind::frame) {
    return at_line(cursor, event.line, "a scene starts here that the game did not ask for");
  }
  if (event.scene != run.current) {
    return at_line(cursor, event.line,
                   "the frame ran scene " + std::to_string(event.scene) +
                       " but the replay is in scene " + std::to_string(run.current));
  }
  cursor.next += 1;
  const FrameStep step = play_frame(run, event.input, event.dt, event.time, recording.settings);
  if (step.quit) {
    cursor.ended = true;
    if (cursor.next < recording.events.size()) {
      return at_line(cursor, recording.events[cursor.next].line, "the game ended before this line");
    }
    return {};
  }
  if (step.enter) return expect_init(cursor, run, *step.enter);
  return {};
}

std::string replay_all(ReplayCursor& cursor, PlayRun& run) {
  while (!cursor.ended) {
    if (std::string error = replay_step(cursor, run); !error.empty()) return error;
  }
  return {};
}

}  // namespace vel
