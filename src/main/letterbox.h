// letterbox.h: where the 16:9 picture goes inside a window drawable of any
// size.
#pragma once

#include <cstdint>

namespace vel {

// The picture's aspect as the single-precision constant the rules use.
inline constexpr float kPictureAspect = 1.7777778f;
// Largest coordinate or size handed to the renderer; also the y that puts
// the picture out of sight when the drawable is too short for it.
inline constexpr int32_t kLargestRectValue = 1073741823;

// Drawable pixels, x to the right and y downward (the window's convention).
struct LetterboxRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 640;
  int32_t height = 360;
};

// The largest 16:9 rectangle centred in a drawable of width by height
// pixels: bands above and below when the drawable is narrower than 16:9,
// left and right when it is wider. Never fails; a 0 by 0 drawable gives a
// 1 by 1 rectangle out of sight.
LetterboxRect letterbox_rect(uint32_t drawable_width, uint32_t drawable_height);

}  // namespace vel
