// play_run.cpp: the scene list of the play program.
#include "play/play_run.h"

#include "scene1/scene_init.h"
#include "scene1/state_json.h"
#include "scene_api/scene_requests.h"
#include "title/title_scene.h"

namespace vel {

std::unique_ptr<PlayRun> make_play_run(bool play_rules, int32_t scale,
                                       const std::string& data_root) {
  auto run = std::make_unique<PlayRun>();
  // hook: play art once
  run->assets = load_city_assets(play_rules ? kPlayRules : kFixedRunRules, data_root);
  auto title = std::make_unique<TitleScene>();
  title->asset_source = &run->assets;
  title->show_goal = play_rules;
  title->best_level = &run->progress.best_level;
  auto played = std::make_unique<PlayedCity>();
  played->city.run_end = nullptr;
  played->city.rules = play_rules ? kPlayRules : kFixedRunRules;
  played->city.asset_source = &run->assets;
  played->progress = &run->progress;
  if (play_rules) played->help_seen = &run->help_seen;
  run->city = &played->city;
  run->loop.scenes.resize(2);
  run->loop.scenes[kTitleSceneIndex] = std::move(title);
  run->loop.scenes[kCitySceneIndex] = std::move(played);
  run->loop.current = kTitleSceneIndex;
  run->loop.framebuffer = framebuffer_at_scale(scale);
  return run;
}

void offer_options(PlayRun& run, bool offered) {
  // The list make_play_run built: a title, then the played city.
  static_cast<TitleScene&>(*run.loop.scenes[kTitleSceneIndex]).offers_options = offered;
  CityRules& rules = static_cast<PlayedCity&>(*run.loop.scenes[kCitySceneIndex]).city.rules;
  rules.panel_options = offered && rules.player_panel;
}

std::string write_play_state(const PlayRun& run, const std::string& path) {
  nlohmann::json state = scene_state_json(*run.city, run.loop.frames, run.loop.last_time);
  state["scene"] = run.loop.current;
  return write_text_file(path, state.dump(1) + "\n");
}

}  // namespace vel
