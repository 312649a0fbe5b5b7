// player.h: the player's actions (jump, air brake, walking, vertical moves),
// the fixed-step physics with collision, and the first-person camera.
#pragma once

#include <cstdint>

#include "gfx/camera.h"
#include "gfx/vec.h"
#include "scene1/city_scene.h"
#include "scene_api/control_bits.h"

namespace vel {

inline constexpr float kGravity = 9.81f;
inline constexpr float kPlayerRadius = 1.0f;

struct CameraAxes {
  Vec3 forward;  // unit length; the grapple ray runs along it
  Vec3 right;
};

// The world-space view axes of the orientation the camera was last given.
CameraAxes camera_axes(const Camera& camera);

// Pressed jump: a jump impulse on the ground (costs 0.1 energy), an air
// brake in the air.
void player_jump(PlayerState& player, Economy& economy, float elapsed);
// Held walking bits: a horizontal force growing with the drive level, only
// on the ground.
void player_drive(PlayerState& player, int32_t drive_level, uint32_t held, const CameraAxes& axes);
// Held vertical bits: moves the position directly along the view's height.
void player_vertical(PlayerBody& body, uint32_t held, Vec3 forward, float dt);
// Off a rope: a jump's push up and 0.4 of it along the view's heading, the
// swing's sideways motion halved and any fall stopped.
void player_leap(PlayerState& player, Economy& economy, Vec3 forward, float elapsed);
// In the air, `share` of the walking thrust from the walk keys: a little
// steering on a jump or a rope.
void player_steer_in_air(PlayerState& player, float share, uint32_t held, const CameraAxes& axes);
// On a rope, the two vertical keys move the body along it, 10 units a
// second towards or away from the anchor; reeling in stops at the point
// the rope pulls to (at least kReelShortest from the anchor).
inline constexpr float kReelShortest = 1.0f;
void player_reel(PlayerBody& body, uint32_t held, const GrappleState& grapple, float dt);
// Accumulates dt and runs every whole 0.01 s step: collision, gravity or
// ground damping, the rope's pull, integration.
void physics_steps(CityScene& scene, float dt);
// One 0.01 s step (physics_steps without the accumulator).
void physics_step(CityScene& scene);
// Eye to the body, look turns yaw and pitch (with control), view matrix.
void camera_update(ViewState& view, const PlayerState& player, Vec2 look, float dt);

}  // namespace vel
