// camera.cpp: the perspective projection and the first-person view matrix
// built from yaw, pitch and the eye position.
#include "gfx/camera.h"

#include <algorithm>
#include <cmath>

#include "gfx/matrix.h"

namespace vel {

// Right-handed, eye looking down -z, clip w = -z_eye: after the divide by w,
// z runs from -1 at the near plane to 1 at the far plane.
Mat4 perspective(float near_plane, float far_plane) {
  const float n = near_plane;
  const float f = far_plane;
  Mat4 p;
  p.at(0, 0) = kProjectionScaleX;
  p.at(1, 1) = kProjectionScaleY;
  p.at(2, 2) = -(f + n) / (f - n);
  p.at(2, 3) = -2.0f * f * n / (f - n);
  p.at(3, 2) = -1.0f;
  p.at(3, 3) = 0.0f;
  return p;
}

Mat4 quaternion_matrix(Quaternion q) {
  const float len = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
  const float w = q.w / len;
  const float x = q.x / len;
  const float y = q.y / len;
  const float z = q.z / len;
  Mat4 r;
  r.at(0, 0) = 1.0f - 2.0f * (y * y + z * z);
  r.at(0, 1) = 2.0f * (x * y - w * z);
  r.at(0, 2) = 2.0f * (x * z + w * y);
  r.at(1, 0) = 2.0f * (x * y + w * z);
  r.at(1, 1) = 1.0f - 2.0f * (x * x + z * z);
  r.at(1, 2) = 2.0f * (y * z - w * x);
  r.at(2, 0) = 2.0f * (x * z - w * y);
  r.at(2, 1) = 2.0f * (y * z + w * x);
  r.at(2, 2) = 1.0f - 2.0f * (x * x + y * y);
  return r;
}

// The quaternion is the turn about x by pitch composed after the turn about
// y by yaw, so R = R(x, pitch) * R(y, yaw): yaw 0, pitch 0 looks down -z
// with +y up. The pitch stops 1 degree short of straight up or down, where
// yaw would lose its meaning.
void camera_look(Camera& camera, float yaw, float& pitch, Vec3 eye) {
  pitch = std::clamp(pitch, -kPitchLimit, kPitchLimit);
  const float c1 = std::cos(yaw / 2.0f);
  const float s1 = std::sin(yaw / 2.0f);
  const float c2 = std::cos(pitch / 2.0f);
  const float s2 = std::sin(pitch / 2.0f);
  camera.orientation = {c1 * c2, c1 * s2, s1 * c2, s1 * s2};
  camera.eye = eye;

  const Mat4 rotation = quaternion_matrix(camera.orientation);
  Mat4 to_eye;
  set_translation(to_eye, -eye);
  camera.view = mat4_mul(rotation, to_eye);
  camera.view_projection = mat4_mul(camera.projection, camera.view);
}

}  // namespace vel
