// matrix_test.cpp: the matrix product, matrix-times-point and the axis
// rotations.
#include "gfx/matrix.h"

#include <gtest/gtest.h>

#include <numbers>

namespace vel {
namespace {

Mat4 from_rows(std::initializer_list<float> values) {
  Mat4 m;
  int i = 0;
  for (float v : values) m.m[i++] = v;
  return m;
}

void expect_near(const Mat4& actual, const Mat4& expected, float tolerance) {
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

TEST(Mat4Mul, MatchesHandComputedProductsInBothOrders) {
  const Mat4 a = from_rows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  const Mat4 b = from_rows({2, 0, 1, 0, 0, 1, 0, 3, 1, 0, 0, 1, 0, 2, 1, 0});
  expect_near(mat4_mul(a, b),
              from_rows({5, 10, 5, 9, 17, 22, 13, 25, 29, 34, 21, 41, 41, 46, 29, 57}), 0.0f);
  expect_near(mat4_mul(b, a),
              from_rows({11, 14, 17, 20, 44, 48, 52, 56, 14, 16, 18, 20, 19, 22, 25, 28}), 0.0f);
  expect_near(mat4_mul(a, mat4_identity()), a, 0.0f);
  expect_near(mat4_mul(mat4_identity(), a), a, 0.0f);
}

TEST(Mat4Mul, RightOperandIsAppliedFirst) {
  Mat4 shear = mat4_identity();
  shear.at(0, 1) = 2.0f;  // x += 2y
  Mat4 move = mat4_identity();
  set_translation(move, {3.0f, 4.0f, 5.0f});
  // Shear after the move shears the translation too: x = 3 + 2*4.
  EXPECT_EQ(translation_of(mat4_mul(shear, move)), (Vec3{11.0f, 4.0f, 5.0f}));
  EXPECT_EQ(translation_of(mat4_mul(move, shear)), (Vec3{3.0f, 4.0f, 5.0f}));
}

TEST(Mat4Mul, SumsTermsLeftToRight) {
  // (1e8 + 1) - 1e8 is 0 in float, while 1e8 - 1e8 + 1 would be 1: a
  // reordered sum would change pictures.
  Mat4 a = mat4_identity();
  a.at(0, 0) = 1e8f;
  a.at(0, 1) = 1.0f;
  a.at(0, 2) = -1e8f;
  Mat4 b;  // rows 0..2 of column 0 all 1
  b.at(1, 0) = 1.0f;
  b.at(2, 0) = 1.0f;
  EXPECT_EQ(mat4_mul(a, b).at(0, 0), 0.0f);
}

TEST(Mat4Apply, TransformsPointsWithTranslationAndVectorsWithout) {
  Mat4 m = from_rows({0, -1, 0, 10, 1, 0, 0, 20, 0, 0, 2, 30, 0, 0, 0, 1});
  EXPECT_EQ(mat4_apply_point(m, {1.0f, 2.0f, 3.0f}), (Vec3{8.0f, 21.0f, 36.0f}));
  EXPECT_EQ(mat4_apply_vector(m, {1.0f, 2.0f, 3.0f}), (Vec3{-2.0f, 1.0f, 6.0f}));
  m.at(3, 2) = -1.0f;  // a projection row: w = -z
  EXPECT_EQ(mat4_apply(m, {1.0f, 2.0f, 3.0f}).w, -2.0f);
}

TEST(AxisRotation, QuarterTurnsFollowTheRightHandRule) {
  const float quarter = std::numbers::pi_v<float> / 2.0f;
  const float eps = 1e-6f;
  auto expect_vec = [&](Vec3 got, Vec3 want) {
    EXPECT_NEAR(got.x, want.x, eps);
    EXPECT_NEAR(got.y, want.y, eps);
    EXPECT_NEAR(got.z, want.z, eps);
  };
  expect_vec(mat4_apply_vector(axis_rotation(0, quarter), {0, 1, 0}), {0, 0, 1});  // y -> z
  expect_vec(mat4_apply_vector(axis_rotation(1, quarter), {0, 0, 1}), {1, 0, 0});  // z -> x
  expect_vec(mat4_apply_vector(axis_rotation(2, quarter), {1, 0, 0}), {0, 1, 0});  // x -> y
  // Any axis number above 1 means z.
  expect_near(axis_rotation(200, 0.7f), axis_rotation(2, 0.7f), 0.0f);
  const Mat4 r = axis_rotation(1, 0.3f);
  EXPECT_EQ(r.at(3, 3), 1.0f);
  EXPECT_EQ(translation_of(r), (Vec3{}));
}

}  // namespace
}  // namespace vel
