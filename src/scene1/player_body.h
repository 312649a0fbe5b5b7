// player_body.h: the player's rigid body (a sphere of radius 1, y up),
// integrated in fixed steps of 0.01 s.
#pragma once

#include "gfx/camera.h"
#include "gfx/vec.h"

namespace vel {

inline constexpr float kPhysicsStep = 0.01f;
// The most steps one frame runs (a quarter second of them).
inline constexpr int32_t kMaxPhysicsStepsPerFrame = 25;
inline constexpr float kGroundDamping = 20.01f;

struct PlayerBody {
  Vec3 position;
  Vec3 velocity;
  Vec3 force;
  Vec3 torque;
  float mass = 1.0f;
  float gravity_scale = 1.0f;
  Vec3 damping;  // (20.01, 20.01, 20.01) on the ground, 0 in the air
  Quaternion orientation;
  Vec3 angular_velocity;
  // Inverse inertia, row-major 3x3 (identity: a unit sphere-ish body).
  float inverse_inertia[9] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
  Vec3 angular_damping;
};

}  // namespace vel
