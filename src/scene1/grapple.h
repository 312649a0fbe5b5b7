// grapple.h: the grapple: firing along the view, the rope's pull and snap,
// captured-drone bursts, the cooldown, and drawing the rope and bursts.
#pragma once

#include <cstdint>
#include <limits>

#include "gfx/framebuffer.h"
#include "gfx/vec.h"
#include "scene1/city_scene.h"

namespace vel {

// Each reports its outcome in scene.events (shot_fired and the grapple_*
// kinds).
// Pressed fire: releases an attached rope, else casts the ray from the
// player along `forward` (unit length) at the drones, the cars and the solid
// statics, and charges the shot. Does nothing unless the cooldown is 0.
void grapple_fire(CityScene& scene, Vec3 forward);
// Lets go of the rope (free, no reload), with the DISENGAGED message.
void grapple_release(CityScene& scene);
// One physics step of the rope, only while attached: the anchor follows its
// car, the spring pulls the body, and a building floor across the rope snaps
// it (a message born at `elapsed`, energy charged) unless `snaps` is off.
void grapple_pull(GrappleState& grapple, PlayerBody& body, const CityObjects& objects,
                  Economy& economy, std::vector<HudMessage>& messages, float elapsed,
                  FrameEvents& events, const CityRules& rules);
// What a shot along `forward` (unit length) would meet now, without
// shooting: the crosshair's look, and in `distance` how far off its target
// is (0 when out of range or while a rope is out, when the look is none).
AimKind grapple_aim(const CityScene& scene, Vec3 forward, float& distance);
// How far a ray from `origin` along `direction` (unit length) runs before
// it meets a solid static; the largest float when it meets none.
float distance_to_statics(const CityScene& scene, Vec3 origin, Vec3 direction);
// The same ray's distance and the index in the statics of what it meets
// (-1, and the largest float, for nothing).
struct StaticHit {
  float distance = std::numeric_limits<float>::max();
  int32_t index = -1;
};
StaticHit nearest_static(const CityScene& scene, Vec3 origin, Vec3 direction);
// Ages the bursts and drops those past their last frame.
void drone_bursts_update(std::vector<DroneBurst>& bursts, float step_dt);
void grapple_cooldown_update(GrappleState& grapple, float step_dt);
// The rope (while attached) and the drone bursts, over the city picture.
void draw_grapple_effects(const GrappleState& grapple, const std::vector<SceneObject>& cars,
                          const ViewState& view, const RenderFlags& flags, Framebuffer& target);

}  // namespace vel
