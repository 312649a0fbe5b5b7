// camera_test.cpp: the perspective projection and the first-person view.
#include "gfx/camera.h"

#include <gtest/gtest.h>

#include <numbers>

#include "gfx/matrix.h"

namespace vel {
namespace {

Vec3 to_ndc(const Mat4& m, Vec3 p) {
  const Vec4 clip = mat4_apply(m, p);
  return {clip.x / clip.w, clip.y / clip.w, clip.z / clip.w};
}

TEST(Perspective, HoldsTheFixedScalesAndTheDepthTerms) {
  const Mat4 p = perspective(0.01f, 90.0f);
  EXPECT_EQ(p.at(0, 0), 1.4281484f);
  EXPECT_EQ(p.at(1, 1), 2.5389307f);
  EXPECT_NEAR(p.at(2, 2), -90.01 / 89.99, 1e-6);
  EXPECT_NEAR(p.at(2, 3), -1.8 / 89.99, 1e-7);
  EXPECT_EQ(p.at(3, 2), -1.0f);
  EXPECT_EQ(p.at(3, 3), 0.0f);
  EXPECT_EQ(p.at(2, 0), 0.0f);
  EXPECT_EQ(p.at(2, 1), 0.0f);

  // Near and far planes land on -1 and 1; x grows to the right, y upward.
  EXPECT_NEAR(to_ndc(p, {0.0f, 0.0f, -0.01f}).z, -1.0f, 1e-4f);
  EXPECT_NEAR(to_ndc(p, {0.0f, 0.0f, -90.0f}).z, 1.0f, 1e-4f);
  EXPECT_GT(to_ndc(p, {1.0f, 1.0f, -5.0f}).x, 0.0f);
  EXPECT_GT(to_ndc(p, {1.0f, 1.0f, -5.0f}).y, 0.0f);
}

TEST(CameraLook, LevelCameraLooksDownNegativeZ) {
  Camera camera;
  camera.projection = perspective(0.01f, 90.0f);
  float pitch = 0.0f;
  const Vec3 eye{3.0f, 4.0f, 5.0f};
  camera_look(camera, 0.0f, pitch, eye);
  EXPECT_EQ(camera.eye, eye);
  const Vec3 centre = to_ndc(camera.view_projection, eye + Vec3{0.0f, 0.0f, -5.0f});
  EXPECT_EQ(centre.x, 0.0f);
  EXPECT_EQ(centre.y, 0.0f);
  EXPECT_GT(centre.z, -1.0f);
  EXPECT_LT(centre.z, 1.0f);
  // +y is up on screen.
  EXPECT_GT(to_ndc(camera.view_projection, eye + Vec3{0.0f, 1.0f, -5.0f}).y, 0.0f);
}

TEST(CameraLook, ViewIsPitchAfterYawThenTranslation) {
  Camera camera;
  camera.projection = perspective(0.01f, 150.0f);
  float pitch = -0.4f;
  const float yaw = 2.4347337f;
  const Vec3 eye{-7.0f, 12.0f, 30.0f};
  camera_look(camera, yaw, pitch, eye);

  Mat4 to_eye;
  set_translation(to_eye, -eye);
  const Mat4 expected = mat4_mul(mat4_mul(axis_rotation(0, pitch), axis_rotation(1, yaw)), to_eye);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(camera.view.m[i], expected.m[i], 1e-5f) << i;

  const Mat4 vp = mat4_mul(camera.projection, camera.view);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(camera.view_projection.m[i], vp.m[i]) << i;

  // Stored before normalisation: exactly the half-angle products.
  const float c1 = std::cos(yaw / 2.0f), s1 = std::sin(yaw / 2.0f);
  const float c2 = std::cos(pitch / 2.0f), s2 = std::sin(pitch / 2.0f);
  EXPECT_EQ(camera.orientation.w, c1 * c2);
  EXPECT_EQ(camera.orientation.x, c1 * s2);
  EXPECT_EQ(camera.orientation.y, s1 * c2);
  EXPECT_EQ(camera.orientation.z, s1 * s2);
}

TEST(CameraLook, PitchIsClampedAndWrittenBack) {
  Camera camera;
  float pitch = 2.0f;
  camera_look(camera, 0.0f, pitch, {});
  EXPECT_EQ(pitch, kPitchLimit);
  pitch = -std::numbers::pi_v<float>;
  camera_look(camera, 0.0f, pitch, {});
  EXPECT_EQ(pitch, -kPitchLimit);
  pitch = 0.25f;
  camera_look(camera, 0.0f, pitch, {});
  EXPECT_EQ(pitch, 0.25f);
}

TEST(QuaternionMatrix, NormalisesFirst) {
  const Mat4 r = quaternion_matrix({2.0f, 0.0f, 0.0f, 0.0f});
  for (int i = 0; i < 16; ++i) EXPECT_EQ(r.m[i], Mat4{}.m[i]) << i;
  // A half turn about y, given at twice unit length.
  const Mat4 half = quaternion_matrix({0.0f, 0.0f, 2.0f, 0.0f});
  EXPECT_EQ(half.at(0, 0), -1.0f);
  EXPECT_EQ(half.at(2, 2), -1.0f);
  EXPECT_EQ(half.at(1, 1), 1.0f);
}

}  // namespace
}  // namespace vel
