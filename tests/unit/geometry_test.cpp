// geometry_test.cpp: ray-triangle picking and sphere-triangle contact.
#include "gfx/geometry.h"

#include <gtest/gtest.h>

namespace vel {
namespace {

// Counter-clockwise seen from +z, so the front face looks up the z axis.
constexpr Vec3 kA{0.0f, 0.0f, 0.0f};
constexpr Vec3 kB{1.0f, 0.0f, 0.0f};
constexpr Vec3 kC{0.0f, 1.0f, 0.0f};
constexpr Vec3 kNormal{0.0f, 0.0f, 1.0f};
constexpr Vec3 kDown{0.0f, 0.0f, -1.0f};

RayHit shoot(Vec3 origin, Vec3 direction) {
  return ray_triangle_hit(origin, direction, kA, kB, kC, kNormal);
}

TEST(RayTriangleHit, FrontFaceHitGivesPointAndDistance) {
  const RayHit hit = shoot({0.25f, 0.25f, 2.0f}, kDown);
  ASSERT_EQ(hit.hit, 1u);
  EXPECT_EQ(hit.t, 2.0f);
  EXPECT_EQ(hit.point, (Vec3{0.25f, 0.25f, 0.0f}));
  // A longer direction gives a proportionally smaller t.
  EXPECT_EQ(shoot({0.25f, 0.25f, 2.0f}, {0.0f, 0.0f, -4.0f}).t, 0.5f);
}

TEST(RayTriangleHit, ParallelBackFacingAndBehindRaysMiss) {
  EXPECT_EQ(shoot({0.25f, 0.25f, 1.0f}, {1.0f, 0.0f, 0.0f}).hit, 0u);    // parallel
  EXPECT_EQ(shoot({0.25f, 0.25f, -1.0f}, {0.0f, 0.0f, 1.0f}).hit, 0u);   // along the normal
  EXPECT_EQ(shoot({0.25f, 0.25f, -1.0f}, kDown).hit, 0u);                // origin behind
  EXPECT_EQ(shoot({0.25f, 0.25f, 1.0f}, {1.0f, 0.0f, -1e-6f}).hit, 0u);  // grazing
}

TEST(RayTriangleHit, OriginOnThePlaneHitsAtZero) {
  const RayHit hit = shoot({0.25f, 0.25f, 0.0f}, kDown);
  ASSERT_EQ(hit.hit, 1u);
  EXPECT_EQ(hit.t, 0.0f);
}

TEST(RayTriangleHit, EdgesCountAndOutsideMisses) {
  EXPECT_EQ(shoot({0.0f, 0.5f, 1.0f}, kDown).hit, 1u);   // edge ac: beta = 0
  EXPECT_EQ(shoot({0.5f, 0.0f, 1.0f}, kDown).hit, 1u);   // edge ab: gamma = 0
  EXPECT_EQ(shoot({0.5f, 0.5f, 1.0f}, kDown).hit, 1u);   // edge bc: beta + gamma = 1
  EXPECT_EQ(shoot({0.0f, 0.0f, 1.0f}, kDown).hit, 1u);   // corner
  EXPECT_EQ(shoot({0.6f, 0.6f, 1.0f}, kDown).hit, 0u);   // past bc
  EXPECT_EQ(shoot({-0.1f, 0.5f, 1.0f}, kDown).hit, 0u);  // past ac, near a
  EXPECT_EQ(shoot({5.0f, 5.0f, 1.0f}, kDown).hit, 0u);   // far: early reject
}

TEST(RayTriangleHit, DegenerateTriangleNeverHits) {
  const Vec3 b{2.0f, 0.0f, 0.0f};
  EXPECT_EQ(ray_triangle_hit({1.0f, 0.0f, 1.0f}, kDown, kA, kB, b, kNormal).hit, 0u);
  EXPECT_EQ(ray_triangle_hit({0.0f, 0.0f, 1.0f}, kDown, kA, kA, kA, kNormal).hit, 0u);
}

TEST(SphereTriangleContact, ClosestPointInEachRegion) {
  const Vec3 a{0.0f, 0.0f, 0.0f}, b{4.0f, 0.0f, 0.0f}, c{0.0f, 4.0f, 0.0f};
  struct Case {
    Vec3 centre;
    Vec3 closest;
  };
  const Case cases[] = {
      {{-1.0f, -1.0f, 1.0f}, a},                  // corner a
      {{5.0f, -1.0f, 0.0f}, b},                   // corner b
      {{2.0f, -1.0f, 0.0f}, {2.0f, 0.0f, 0.0f}},  // edge ab
      {{-1.0f, 5.0f, 0.0f}, c},                   // corner c
      {{-1.0f, 2.0f, 0.0f}, {0.0f, 2.0f, 0.0f}},  // edge ac
      {{3.0f, 3.0f, 0.0f}, {2.0f, 2.0f, 0.0f}},   // edge bc
      {{1.0f, 1.0f, 3.0f}, {1.0f, 1.0f, 0.0f}},   // face
  };
  for (const Case& k : cases) {
    const Contact contact = sphere_triangle_contact(k.centre, a, b, c, 100.0f);
    EXPECT_TRUE(contact.touching);
    EXPECT_EQ(contact.closest, k.closest)
        << "centre " << k.centre.x << ", " << k.centre.y << ", " << k.centre.z;
  }
}

TEST(SphereTriangleContact, TouchingIncludesExactlyTheRadius) {
  const Vec3 a{0.0f, 0.0f, 0.0f}, b{4.0f, 0.0f, 0.0f}, c{0.0f, 4.0f, 0.0f};
  const Vec3 centre{1.0f, 1.0f, 2.0f};
  EXPECT_TRUE(sphere_triangle_contact(centre, a, b, c, 2.0f).touching);
  EXPECT_FALSE(sphere_triangle_contact(centre, a, b, c, 1.99f).touching);
  // Below the face counts the same as above: the query is two-sided.
  EXPECT_TRUE(sphere_triangle_contact({1.0f, 1.0f, -2.0f}, a, b, c, 2.0f).touching);
}

}  // namespace
}  // namespace vel
