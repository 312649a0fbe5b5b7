// camera.h: the camera record the mesh drawer reads, the perspective
// projection and the view matrix built from yaw and pitch.
//
// Right-handed, y up; the eye looks down -z; clip w = -z_eye.
#pragma once

#include "gfx/vec.h"

namespace vel {

struct Quaternion {
  float w = 1.0f;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

struct Camera {
  Mat4 view;
  Mat4 projection;
  Mat4 view_projection;    // always projection * view
  Quaternion orientation;  // stored before normalisation
  Vec3 eye;
};

inline constexpr float kPitchLimit = 1.5533427f;  // 89 degrees
inline constexpr float kProjectionScaleX = 1.4281484f;
inline constexpr float kProjectionScaleY = 2.5389307f;  // 43 degree vertical field

// OpenGL-style perspective with the fixed x and y scales above.
Mat4 perspective(float near_plane, float far_plane);

// The first-person view: clamps pitch (written back), stores the
// un-normalised quaternion in camera.orientation, sets camera.view = R * T(-eye)
// and camera.view_projection = projection * view.
void camera_look(Camera& camera, float yaw, float& pitch, Vec3 eye);

// Rotation matrix of a quaternion (normalised first).
Mat4 quaternion_matrix(Quaternion q);

}  // namespace vel
