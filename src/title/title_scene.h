// title_scene.h: the play program's first scene: the game's name over a
// slow flight across the live city, until the player starts or quits.
#pragma once

#include <array>
#include <cstdint>

#include "scene1/city_scene.h"
#include "scene_api/scene.h"
#include "scene_api/scene_requests.h"
#include "title/city_flight.h"

namespace vel {

// The title's menu, top to bottom.
inline constexpr int32_t kTitlePlay = 0;
inline constexpr int32_t kTitleControls = 1;  // the help page
inline constexpr int32_t kTitleOptions = 2;   // the program's options menu
inline constexpr int32_t kTitleQuit = 3;
inline constexpr int32_t kTitleItems = 4;

// Up and down (or the pointer moving onto an item) choose, Return (or
// Start, or a left click on the item) takes the item: PLAY asks for the
// city, CONTROLS shows the help page until any key, OPTIONS asks the
// program for its options menu (options_asked), QUIT (or Escape, Back)
// quits. Only a press made on the title counts: a key still held from the
// panel's EXIT does not start a new game at once.
struct TitleScene final : Scene {
  void init(const Settings& settings, float time) override;
  FrameResult step(const InputState& input, float dt, float time, const Settings& settings,
                   FrameEvents& events) override;
  void draw(Framebuffer& framebuffer) override;
  void end_frame(const Framebuffer& framebuffer, float dt, float time, const Settings& settings,
                 FrameEvents& events) override;

  // Loaded once by the program, shared with the city; null: init reads
  // the asset files.
  const CityAssets* asset_source = nullptr;
  CityScene city;  // built by init, animated and drawn but never played
  CityFlight flight;
  float start_time = 0.0f;
  float seconds = 0.0f;  // into the flight, as the last step left it
  int32_t selection = kTitlePlay;
  bool help_open = false;
  std::array<int32_t, kControlSlotCount> controls = Settings{}.controls;  // as the last step's
  uint32_t prev_held = 0;
  bool pointer_seen = false;  // the pointer of an earlier frame is known
  int32_t prev_pointer_x = -1;
  int32_t prev_pointer_y = -1;
  // With the play rules: the goal line is shown, and the best level the
  // program has kept so far once a city has been played (null or 0: none).
  bool show_goal = false;
  const int32_t* best_level = nullptr;
  // OPTIONS is offered (the live game's title; a recording made before it
  // replays without, so its menu keys land where they did).
  bool offers_options = true;
};

}  // namespace vel
