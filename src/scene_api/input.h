// input.h: the input record handed to the scene once per frame.
#pragma once

#include <cstdint>

#include "gfx/vec.h"

namespace vel {

struct InputState {
  uint32_t held = 0;  // bit i: control slot i held (bits 14..31 always 0)
  Vec2 look;          // view turn this frame, horizontal then vertical
};

}  // namespace vel
