// pickup_draw.h: the played game's pickups as the player sees them: chips
// and batteries turning and bobbing, a beam of light over each that shows
// above the roofs from across the city, and the burst a taken one leaves.
#pragma once

#include "gfx/framebuffer.h"
#include "scene1/city_scene.h"

namespace vel {

// Draws the pickups with the play art (CityAssets::play), unlit and
// unfogged like lights of their own: the items within the frame's view
// distance, every beam within reach of the city, then the bursts. Nothing
// while the player is below ground (the city is not drawn then) or when
// the play art is not loaded. Reads the scene only: the bob follows
// clock.elapsed, the turn the items' own transforms.
void draw_pickups(const CityScene& scene, const RenderFlags& flags, Framebuffer& target);

}  // namespace vel
