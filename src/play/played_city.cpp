// played_city.cpp: the city's frame with the play program's overlay.
#include "play/played_city.h"

#include <algorithm>

#include "play/player_status.h"
#include "play/status_hud.h"

namespace vel {

void PlayedCity::init(const Settings& settings, float time) {
  city.init(settings, time);
}

FrameResult PlayedCity::step(const InputState& input, float dt, float time,
                             const Settings& settings, FrameEvents& events) {
  return city.step(input, dt, time, settings, events);
}

void PlayedCity::draw(Framebuffer& framebuffer) {
  city.draw(framebuffer);
  draw_status_hud(player_status(city), framebuffer);
}

void PlayedCity::end_frame(const Framebuffer& framebuffer, float dt, float time,
                           const Settings& settings, FrameEvents& events) {
  city.end_frame(framebuffer, dt, time, settings, events);
  if (best_level != nullptr && city.rules.level_advance) {
    *best_level = std::max(*best_level, city.city.level);
  }
}

void PlayedCity::listen(Soundscape& heard) const {
  city.listen(heard);
}

}  // namespace vel
