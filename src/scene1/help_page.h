// help_page.h: the page that tells a new player what to do: the goal and
// the controls, over whatever the picture shows. The played game shows it
// the first time the city is entered, and from the title and the panel.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/framebuffer.h"
#include "gfx/image.h"
#include "scene_api/settings.h"

namespace vel {

// Darkens the picture and writes the page over it (every row: no
// interlace), ending with "PRESS ANY KEY". The keys named are `controls`,
// the player's own bindings.
void draw_help_page(const Image& font, const std::array<int32_t, kControlSlotCount>& controls,
                    Framebuffer& target);

}  // namespace vel
