// played_city.h: the city as the play program runs it: the city scene
// with the status overlay drawn over its picture, and the player's
// progress the program keeps (the title shows its best level).
#pragma once

#include <cstdint>

#include "play/progress_file.h"
#include "scene1/city_scene.h"
#include "scene_api/scene.h"

namespace vel {

struct PlayedCity final : Scene {
  void init(const Settings& settings, float time) override;
  FrameResult step(const InputState& input, float dt, float time, const Settings& settings,
                   FrameEvents& events) override;
  void draw(Framebuffer& framebuffer) override;
  void end_frame(const Framebuffer& framebuffer, float dt, float time, const Settings& settings,
                 FrameEvents& events) override;
  void listen(Soundscape& heard) const override;

  CityScene city;
  // What the player has achieved, kept by the program; null: not kept.
  Progress* progress = nullptr;
  // Whether the help page was shown on entering the city in this run; null:
  // it is never shown.
  bool* help_seen = nullptr;
  bool help_open = false;       // the page is up: the city runs without the player
  uint32_t prev_held = 0;       // for the key that closes it
  uint32_t swallowed = 0;       // keys that closed it, kept from the city until let go
  int32_t prev_pointer_x = -1;  // the pointer as the last frame had it
  int32_t prev_pointer_y = -1;

 private:
  void point_at_panel(const InputState& input, InputState& played, FrameEvents& events);
};

}  // namespace vel
