// hud_message.h: a floating message appended by the grapple and the pickups.
#pragma once

#include <string>

#include "gfx/vec.h"

namespace vel {

struct HudMessage {
  std::string text;
  Colour colour;
  Vec2 position{0.5f, 0.5f};  // fractions of the screen, y upward
  float born = 0.0f;          // elapsed when made
  bool rising = false;
};

struct DroneBurst {
  Vec3 position;
  int32_t frame = 0;
  float timer = 0.0f;
};

}  // namespace vel
