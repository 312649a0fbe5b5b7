// grapple.h: the grapple: firing along the view, the rope's pull and snap,
// captured-drone bursts, the cooldown, and drawing the rope and bursts.
#pragma once

#include "gfx/framebuffer.h"
#include "gfx/vec.h"
#include "scene1/city_scene.h"

namespace vel {

// Pressed fire: releases an attached rope, else casts the ray from the
// player along `forward` (unit length). Does nothing unless the cooldown is 0.
void grapple_fire(CityScene& scene, Vec3 forward);
// One physics step of pull and snap test; only while attached.
void grapple_pull(CityScene& scene);
void drone_bursts_update(CityScene& scene, float step_dt);
void grapple_cooldown_update(CityScene& scene, float step_dt);
// The rope (while attached) and the drone bursts, over the city picture.
void draw_grapple_effects(const CityScene& scene, Framebuffer& target);

}  // namespace vel
