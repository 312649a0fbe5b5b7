// scene_object_test.cpp: rotating placed objects and their bounding spheres.
#include "scene1/scene_object.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gfx/matrix.h"

namespace vel {
namespace {

constexpr float kQuarter = std::numbers::pi_v<float> / 2.0f;

void expect_vec_near(Vec3 got, Vec3 want) {
  EXPECT_NEAR(got.x, want.x, 1e-6f);
  EXPECT_NEAR(got.y, want.y, 1e-6f);
  EXPECT_NEAR(got.z, want.z, 1e-6f);
}

TEST(RotateObject, ZeroAngleRebuildsScaleAndKeepsPosition) {
  SceneObject object;
  object.scale = {3.0f, 3.0f, 3.0f};
  set_translation(object.transform, {5.0f, 6.0f, 7.0f});
  rotate_object(object, 1, 0.0f);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(object.rotation.m[i], Mat4{}.m[i]) << i;
  EXPECT_EQ(object.transform.at(0, 0), 3.0f);
  EXPECT_EQ(object.transform.at(1, 1), 3.0f);
  EXPECT_EQ(object.transform.at(2, 2), 3.0f);
  EXPECT_EQ(object.transform.at(0, 1), 0.0f);
  EXPECT_EQ(translation_of(object.transform), (Vec3{5.0f, 6.0f, 7.0f}));
  EXPECT_EQ(object.transform.at(3, 3), 1.0f);
}

TEST(RotateObject, NonUniformScaleActsAlongWorldAxes) {
  SceneObject object;
  object.scale = {2.0f, 1.0f, 1.0f};
  rotate_object(object, 2, kQuarter);
  // The object's own x now points along world y and keeps its length; its
  // y axis points along world -x and is the one stretched.
  expect_vec_near(mat4_apply_vector(object.transform, {1.0f, 0.0f, 0.0f}), {0.0f, 1.0f, 0.0f});
  expect_vec_near(mat4_apply_vector(object.transform, {0.0f, 1.0f, 0.0f}), {-2.0f, 0.0f, 0.0f});
}

TEST(RotateObject, NewTurnIsAppliedInTheObjectsOwnFrame) {
  SceneObject object;
  rotate_object(object, 0, 0.5f);
  rotate_object(object, 1, 0.25f);
  const Mat4 expected = mat4_mul(axis_rotation(0, 0.5f), axis_rotation(1, 0.25f));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(object.rotation.m[i], expected.m[i]) << i;
  const Mat4 other_order = mat4_mul(axis_rotation(1, 0.25f), axis_rotation(0, 0.5f));
  EXPECT_NE(object.rotation.at(0, 1), other_order.at(0, 1));
}

TEST(UpdateObjectBounds, CentreAndRadiusInWorldSpace) {
  Mesh mesh;
  mesh.positions = {{-1.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 3.0f, 0.0f}};
  mesh.centre = {0.0f, 1.0f, 0.0f};
  SceneObject object;
  object.scale = {2.0f, 2.0f, 2.0f};
  set_translation(object.transform, {10.0f, 0.0f, -4.0f});
  rotate_object(object, 0, 0.0f);

  update_object_bounds(object, mesh, false);
  EXPECT_EQ(object.bound_center, (Vec3{10.0f, 2.0f, -4.0f}));
  EXPECT_EQ(object.bound_radius, 0.0f);  // left alone without with_radius

  update_object_bounds(object, mesh, true);
  EXPECT_EQ(object.bound_radius, 4.0f);  // the top vertex, 2 units above the centre, scaled

  mesh.positions.clear();
  update_object_bounds(object, mesh, true);
  EXPECT_EQ(object.bound_radius, 0.0f);
}

}  // namespace
}  // namespace vel
