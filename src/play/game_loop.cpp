// game_loop.cpp: the frame loop every program runs its scenes through.
#include "play/game_loop.h"

#include "scene_api/scene_requests.h"

namespace vel {

FrameStep frame_step(const FrameResult& result, size_t scene_count) {
  FrameStep step;
  step.relative_mouse = result.relative_mouse;
  if (!result.next_scene) return step;
  const int32_t next = *result.next_scene;
  if (next == kQuitRequest) {
    step.quit = true;
  } else if (next >= 0 && static_cast<size_t>(next) < scene_count) {
    step.enter = next;
  }
  return step;
}

void loop_enter(GameLoop& loop, int32_t scene, const Settings& settings, float time,
                LoopOutputs& outputs) {
  loop.scenes[static_cast<size_t>(scene)]->init(settings, time);
  loop.current = scene;
  if (outputs.recording != nullptr) record_init(*outputs.recording, scene, time);
}

FrameStep loop_frame(GameLoop& loop, const InputState& input, float dt, float time,
                     const Settings& settings, LoopOutputs& outputs) {
  if (outputs.recording != nullptr) {
    record_frame(*outputs.recording, loop.current, time, dt, input);
  }
  Scene& scene = *loop.scenes[static_cast<size_t>(loop.current)];
  const FrameResult result =
      run_frame(scene, input, dt, time, settings, loop.framebuffer, loop.events);
  loop.frames += 1;
  loop.last_time = time;
  // The sound hears the frame as it ended, before any switch it asks for:
  // live and replayed alike.
  loop.heard = Soundscape{};
  scene.listen(loop.heard);
  if (outputs.wav != nullptr)
    sound_out_frame(*outputs.wav, loop.events, loop.heard, time, dt, settings);
  if (outputs.device_sound) outputs.device_sound(loop.events, loop.heard, time, dt);
  return frame_step(result, loop.scenes.size());
}

}  // namespace vel
