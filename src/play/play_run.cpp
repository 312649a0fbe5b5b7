// play_run.cpp: the scene list of the play program and the frame step the
// live game and its replay share.
#include "play/play_run.h"

#include <algorithm>

#include "play/player_status.h"
#include "play/status_hud.h"
#include "scene1/state_json.h"

namespace vel {

PlayRun make_play_run(bool play_rules) {
  PlayRun run;
  run.play_rules = play_rules;
  auto title = std::make_unique<TitleScene>();
  auto city = std::make_unique<CityScene>();
  city->run_end = nullptr;
  city->rules.on = play_rules;  // the city's init keeps it
  run.title = title.get();
  run.city = city.get();
  run.scenes.push_back(std::move(title));
  run.scenes.push_back(std::move(city));
  run.framebuffer = framebuffer_new(kPictureWidth, kPictureHeight);
  return run;
}

void enter_scene(PlayRun& run, int32_t scene, const Settings& settings, float time) {
  if (scene == kTitleSceneIndex) {
    run.title->show_goal = run.play_rules;
    run.title->best_level = run.best_level;
  }
  run.scenes[static_cast<size_t>(scene)]->init(settings, time);
  run.current = scene;
}

FrameStep frame_step(const FrameResult& result, size_t scene_count) {
  FrameStep step;
  step.relative_mouse = result.relative_mouse;
  if (!result.next_scene) return step;
  const int32_t next = *result.next_scene;
  if (next == -1) {
    step.quit = true;
  } else if (next >= 0 && static_cast<size_t>(next) < scene_count) {
    step.enter = next;
  }
  return step;
}

FrameStep play_frame(PlayRun& run, const InputState& input, float dt, float time,
                     const Settings& settings) {
  const FrameResult result = run.scenes[static_cast<size_t>(run.current)]->update(
      input, run.framebuffer, dt, time, settings);
  if (run.current == kCitySceneIndex) {
    draw_status_hud(player_status(*run.city), run.framebuffer);
    if (run.play_rules) run.best_level = std::max(run.best_level, run.city->city.level);
  }
  run.frames += 1;
  run.last_time = time;
  return frame_step(result, run.scenes.size());
}

std::string write_play_state(const PlayRun& run, const std::string& path) {
  nlohmann::json state = scene_state_json(*run.city, run.frames, run.last_time);
  state["scene"] = run.current;
  return write_text_file(path, state.dump(1) + "\n");
}

}  // namespace vel
