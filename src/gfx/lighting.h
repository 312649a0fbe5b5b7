// lighting.h: the one-light model handed to every draw_mesh call.
#pragma once

#include <cstdint>

#include "gfx/vec.h"

namespace vel {

inline constexpr uint8_t kPointLight = 0;
inline constexpr uint8_t kDirectionalLight = 1;

struct Lighting {
  Colour ambient{1.0f, 1.0f, 1.0f, 1.0f};
  Colour light_colour{1.0f, 1.0f, 1.0f, 1.0f};
  Colour fog_colour{0.0f, 0.0f, 0.0f, 1.0f};
  Vec3 light_position{0.0f, 0.0f, 0.0f};
  Vec3 light_direction{0.0f, 0.0f, 1.0f};  // from the light into the scene
  float fog_start = 0.0f;
  float fog_end = 10.0f;
  float light_range = 10.0f;
  uint8_t light_type = kDirectionalLight;
  bool lighting_enabled = true;
  bool fog_enabled = false;
};

}  // namespace vel
