// title_text.h: lettering larger than the HUD's: the same 8-column font
// image drawn with each glyph pixel as a square block.
#pragma once

#include <cstdint>
#include <string_view>

#include "gfx/framebuffer.h"
#include "gfx/image.h"
#include "gfx/vec.h"

namespace vel {

// Text centred on centre_x with its glyphs' middle row at y (y upward),
// every font pixel drawn as a block of block x block target pixels. Font
// pixels of alpha 0.5 or less are left out; the rest take the colour.
// Clipped at the picture's edges.
void draw_large_text(const Image& font, std::string_view text, int32_t centre_x, int32_t y,
                     int32_t block, Colour colour, Framebuffer& target);

}  // namespace vel
