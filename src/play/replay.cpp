// replay.cpp: stepping a PlayRun through a recording, checking at every
// line that the scenes do what the recorded game did.
#include "play/replay.h"

#include "scene_api/scene_requests.h"

namespace vel {

namespace {

std::string at_line(const ReplayCursor& cursor, size_t line, const std::string& what) {
  return cursor.path + ":" + std::to_string(line) + ": " + what;
}

// The init the scenes just asked for; a recording cut right before it
// ends the replay after the frame that asked.
std::string expect_init(ReplayCursor& cursor, PlayRun& run, int32_t scene, LoopOutputs& outputs) {
  const Recording& recording = *cursor.recording;
  const std::optional<RecordedEvent> event = peek_event(recording, cursor.next);
  if (!event) {
    cursor.ended = true;
    return {};
  }
  if (event->kind != RecordedKind::init || event->scene != scene) {
    return at_line(cursor, event->line,
                   "the game switched to scene " + std::to_string(scene) +
                       " here, but the recording does not start it");
  }
  next_event(recording, cursor.next);
  loop_enter(run.loop, scene, cursor.settings, event->time, outputs);
  return {};
}

}  // namespace

float replay_start_time(const Recording& recording) {
  const std::optional<RecordedEvent> first = peek_event(recording, first_event(recording));
  return first ? first->time : 0.0f;
}

std::string replay_step(ReplayCursor& cursor, PlayRun& run, LoopOutputs& outputs) {
  if (cursor.ended) return {};
  if (!cursor.started) {
    cursor.started = true;
    // The title shows the best level the player had when the run began,
    // never the one in this machine's progress file.
    run.progress = Progress{};
    run.progress.best_level = cursor.recording->best_level;
    cursor.settings = cursor.recording->settings;
    offer_options(run, cursor.recording->version >= 3);
    cursor.next = first_event(*cursor.recording);
    if (const std::string error = expect_init(cursor, run, kTitleSceneIndex, outputs);
        !error.empty()) {
      return error;
    }
    if (cursor.ended) return {};
  }
  const Recording& recording = *cursor.recording;
  // What the options menu changed before this frame, read from the file
  // as the replay reaches it.
  std::optional<RecordedEvent> next = next_event(recording, cursor.next);
  while (next && next->kind != RecordedKind::frame && next->kind != RecordedKind::init) {
    if (next->kind == RecordedKind::settings) {
      apply_setting(*next, cursor.settings);
    } else if (!cursor.keep_scale && next->scene != run.loop.framebuffer.scale) {
      DrawWorkers* const workers = run.loop.framebuffer.workers;
      run.loop.framebuffer = framebuffer_at_scale(next->scene);
      run.loop.framebuffer.workers = workers;
    }
    next = next_event(recording, cursor.next);
  }
  if (!next) {
    cursor.ended = true;
    return {};
  }
  const RecordedEvent& event = *next;
  if (event.kind != RecordedKind::frame) {
    return at_line(cursor, event.line, "a scene starts here that the game did not ask for");
  }
  if (event.scene != run.loop.current) {
    return at_line(cursor, event.line,
                   "the frame ran scene " + std::to_string(event.scene) +
                       " but the replay is in scene " + std::to_string(run.loop.current));
  }
  const FrameStep step =
      loop_frame(run.loop, event.input, event.dt, event.time, cursor.settings, outputs);
  if (step.quit) {
    cursor.ended = true;
    if (peek_event(recording, cursor.next)) {
      return at_line(cursor, cursor.next.line, "the game ended before this line");
    }
    return {};
  }
  if (step.enter) return expect_init(cursor, run, *step.enter, outputs);
  return {};
}

std::string replay_all(ReplayCursor& cursor, PlayRun& run, LoopOutputs& outputs) {
  while (!cursor.ended) {
    if (std::string error = replay_step(cursor, run, outputs); !error.empty()) return error;
  }
  return {};
}

}  // namespace vel
