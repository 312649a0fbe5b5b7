// play_run.h: the played game without its devices or window: the scene
// list (title, city), the frame step that both the live program and the
// replay run, and what it writes when it ends. The live shell and the
// headless replay share every line of this, so a replay follows the game
// exactly.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/framebuffer.h"
#include "scene1/city_scene.h"
#include "scene_api/scene.h"
#include "title/title_scene.h"

namespace vel {

struct PlayRun {
  std::vector<std::unique_ptr<Scene>> scenes;  // [0] title, [1] city
  TitleScene* title = nullptr;
  CityScene* city = nullptr;
  int32_t current = kTitleSceneIndex;
  bool play_rules = false;  // the city runs the played game's rules
  int32_t best_level = 0;   // the highest level the city reached (0: none yet)
  uint64_t frames = 0;      // frames run so far
  float last_time = 0.0f;   // the time handed to the last of them
  Framebuffer framebuffer;
};

// What a frame's result asks of the runner: the shell's rule (-1 ends the
// run, an index of the list switches and re-initialises, anything else is
// ignored).
struct FrameStep {
  bool quit = false;
  std::optional<int32_t> enter;  // scene to initialise and switch to
  bool relative_mouse = true;
};

// The scenes, built but not initialised. The city's timed ending is
// switched off: a played game goes on past it. With `play_rules` the city
// runs the played game's rules (scene1/play_rules.h) and the title shows
// the goal and the best level.
PlayRun make_play_run(bool play_rules = false);
// Scene::init of entry `scene` at `time`, which becomes current.
void enter_scene(PlayRun& run, int32_t scene, const Settings& settings, float time);
// One frame of the current scene, the status overlay over the city, and
// the switch the result asks for (not yet made: the caller times the init).
FrameStep play_frame(PlayRun& run, const InputState& input, float dt, float time,
                     const Settings& settings);
FrameStep frame_step(const FrameResult& result, size_t scene_count);

// The state file of a run: the city's state (as the headless runner
// writes it) with the current scene's index. Empty string on success.
std::string write_play_state(const PlayRun& run, const std::string& path);

}  // namespace vel
