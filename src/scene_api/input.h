// input.h: the input record handed to the scene once per frame.
#pragma once

#include <cstdint>

#include "gfx/vec.h"

namespace vel {

// The mouse buttons a menu reads from the pointer, as InputState::clicks.
inline constexpr uint32_t kPointerLeftClick = 0x1;
inline constexpr uint32_t kPointerRightClick = 0x2;

struct InputState {
  uint32_t held = 0;  // bit i: control slot i held (bits 14..31 always 0)
  Vec2 look;          // view turn this frame, horizontal then vertical
  // The mouse pointer over a menu, in the picture's layout pixels (x to
  // the right, y upward), -1 when it steers the view or is off the picture;
  // and the buttons pressed on it this frame.
  int32_t pointer_x = -1;
  int32_t pointer_y = -1;
  uint32_t clicks = 0;
};

}  // namespace vel
