// status_hud.h: the player's energy gauge and counters drawn over the
// city's picture by the play program.
#pragma once

#include "gfx/framebuffer.h"
#include "play/player_status.h"

namespace vel {

// Bottom left: "ENERGY" and a gauge; bottom right: chips and upgrade
// points, and the level when it is given. Nothing when status.shown is false or there is no font.
// Draws every row (no interlace), so the last frame's overlay never lingers in the rows the city
// skipped. No allocation.
void draw_status_hud(const PlayerStatus& status, Framebuffer& target);

}  // namespace vel
