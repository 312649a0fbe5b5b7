// title_scene.h: the play program's first scene: the game's name over a
// slow flight across the live city, until the player starts or quits.
#pragma once

#include <cstdint>

#include "scene1/city_scene.h"
#include "scene_api/scene.h"
#include "title/city_flight.h"

namespace vel {

// Scene indices of the play program's list.
inline constexpr int32_t kTitleSceneIndex = 0;
inline constexpr int32_t kCitySceneIndex = 1;

// Return (or Start) asks for the city; Escape (or Back) quits. Only a
// press made on the title counts: a key still held from the panel's EXIT
// does not start a new game at once.
struct TitleScene final : Scene {
  void init(const Settings& settings, float time) override;
  FrameResult update(const InputState& input, Framebuffer& framebuffer, float dt, float time,
                     const Settings& settings) override;

  CityScene city;  // built by init, animated and drawn but never played
  CityFlight flight;
  float start_time = 0.0f;
  uint32_t prev_held = 0;
  // With the play rules, set before init: the goal line is shown, and the
  // best level reached so far once a city has been played (0: none yet).
  bool show_goal = false;
  int32_t best_level = 0;
};

}  // namespace vel
