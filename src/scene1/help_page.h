// help_page.h: the page that tells a new player what to do: the goal and
// the controls, over whatever the picture shows. The played game shows it
// the first time the city is entered, and from the title and the panel.
#pragma once

#include "gfx/framebuffer.h"
#include "gfx/image.h"

namespace vel {

// Darkens the picture and writes the page over it (every row: no
// interlace), ending with "PRESS ANY KEY".
void draw_help_page(const Image& font, Framebuffer& target);

}  // namespace vel
