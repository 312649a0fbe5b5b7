// crosshair.h: the corner brackets of the aiming reticle.
#pragma once

#include "canvas.h"

namespace vel {

enum class ReticleCorner { top_right, bottom_right, bottom_left };

// 16 x 16, 32-bit: an L-shaped cyan-white bracket hugging the named corner,
// fully transparent elsewhere.
Canvas paint_crosshair_corner(ReticleCorner corner);

}  // namespace vel
