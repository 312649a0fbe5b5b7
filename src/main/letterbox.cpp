// letterbox.cpp: the letterbox rule that fits the 320x180 picture into the
// window's drawable.
#include "main/letterbox.h"

#include "base/saturate.h"

namespace vel {

namespace {

// Sizes are kept in 1..kLargestRectValue so that an empty or absurd
// drawable still gives the renderer a valid rectangle.
int64_t clamp_size(uint32_t size) {
  if (size < 1) return 1;
  if (size > static_cast<uint32_t>(kLargestRectValue)) return kLargestRectValue;
  return size;
}

// Centres `size` in `room`; out of sight when it does not fit.
int32_t centre_in(uint32_t room, int64_t size) {
  if (room < size) return kLargestRectValue;
  return static_cast<int32_t>((room - size) / 2);
}

}  // namespace

LetterboxRect letterbox_rect(uint32_t drawable_width, uint32_t drawable_height) {
  const float w = static_cast<float>(drawable_width);
  const float h = static_cast<float>(drawable_height);
  LetterboxRect rect;
  // 0 by 0 gives NaN here, which fails the comparison: the second branch.
  if (w / h > kPictureAspect) {
    // Wider than 16:9: full height, bands left and right.
    rect.height = static_cast<int32_t>(clamp_size(drawable_height));
    const int64_t width = clamp_size(trunc_u32(h * kPictureAspect));
    rect.width = static_cast<int32_t>(width);
    rect.y = 0;
    // The float rounding of very large sizes could make width exceed the
    // drawable by a hair; it is then put out of sight like a short drawable.
    rect.x = centre_in(drawable_width, width);
  } else {
    // 16:9 or narrower: full width, bands above and below.
    rect.width = static_cast<int32_t>(clamp_size(drawable_width));
    const int64_t height = clamp_size(trunc_u32(w / kPictureAspect));
    rect.height = static_cast<int32_t>(height);
    rect.x = 0;
    rect.y = centre_in(drawable_height, height);
  }
  return rect;
}

}  // namespace vel
