// traffic_test.cpp: the cars and drones of the standard city: where they
// start, which way they fly, how they move and wrap, and the fans' spin.
#include "scene1/traffic.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gfx/matrix.h"
#include "scene1/city_builder.h"
#include "support/city_fixture.h"

namespace vel {
namespace {

Vec3 heading_of(const SceneObject& vehicle) {
  const Mat4& t = vehicle.transform;
  return {t.at(0, 2), t.at(1, 2), t.at(2, 2)};
}

void expect_near(Vec3 actual, Vec3 expected, float tolerance = 1e-3f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class TrafficTest : public ::testing::Test {
 protected:
  void SetUp() override { test::build_stand_in_scene(scene); }
  CityScene scene;
};

TEST_F(TrafficTest, StandardSeedStartsTheKnownVehicles) {
  ASSERT_EQ(scene.objects.cars.size(), 18u);
  ASSERT_EQ(scene.objects.drones.size(), 50u);
  // After the city, 68 vehicles and 100 rain drops.
  EXPECT_EQ(scene.rng_state, -1154326993);

  expect_near(translation_of(scene.objects.cars[0].transform), {138.5f, 30.0f, 165.4409f});
  expect_near(heading_of(scene.objects.cars[0]), {0.0f, 0.0f, 1.0f}, 1e-6f);
  expect_near(translation_of(scene.objects.cars[1].transform), {97.8353f, 29.1667f, 12.5f});
  expect_near(heading_of(scene.objects.cars[1]), {-1.0f, 0.0f, 0.0f}, 1e-6f);
  expect_near(translation_of(scene.objects.drones[0].transform), {18.0536f, 30.0f, 138.5f});
  expect_near(heading_of(scene.objects.drones[0]), {-1.0f, 0.0f, 0.0f}, 1e-6f);

  EXPECT_EQ(scene.objects.cars[0].name, "flying car 0");
  EXPECT_EQ(scene.objects.drones[49].name, "drone 49");
  EXPECT_EQ(scene.objects.cars[0].mesh, 3u);
  EXPECT_EQ(scene.objects.cars[0].texture, 15u);
  EXPECT_EQ(scene.objects.drones[0].mesh, 10u);
  EXPECT_EQ(scene.objects.drones[0].texture, 19u);
  EXPECT_TRUE(scene.objects.cars[5].solid);
  EXPECT_GT(scene.objects.drones[5].bound_radius, 0.0f);
}

TEST_F(TrafficTest, VehiclesAlongXAllRunTowardsMinusX) {
  const auto along_x = [](const std::vector<SceneObject>& list) {
    size_t count = 0;
    for (const SceneObject& vehicle : list) {
      const Vec3 h = heading_of(vehicle);
      if (std::abs(h.x) > 0.5f) {
        ++count;
        EXPECT_LT(h.x, -0.999f) << vehicle.name;
      } else {
        EXPECT_NEAR(std::abs(h.z), 1.0f, 1e-6f) << vehicle.name;
      }
    }
    return count;
  };
  EXPECT_EQ(along_x(scene.objects.cars), 8u);
  EXPECT_EQ(along_x(scene.objects.drones), 30u);
}

TEST_F(TrafficTest, HeightsStepDownFromThirtyByIndex) {
  EXPECT_EQ(translation_of(scene.objects.cars[0].transform).y, 30.0f);
  EXPECT_NEAR(translation_of(scene.objects.cars[17].transform).y, 15.0f + 15.0f / 18.0f, 1e-5f);
  for (size_t k = 1; k < scene.objects.drones.size(); ++k) {
    EXPECT_LT(translation_of(scene.objects.drones[k].transform).y,
              translation_of(scene.objects.drones[k - 1].transform).y);
  }
  EXPECT_FLOAT_EQ(car_speed(17), 13.4f);
  EXPECT_EQ(car_speed(0), 10.0f);
  EXPECT_FLOAT_EQ(drone_speed(10), 10.05f);
}

TEST_F(TrafficTest, StepMovesEachVehicleBySpeedAlongItsHeadingAndBoundsFollow) {
  const Vec3 car_before = translation_of(scene.objects.cars[17].transform);
  const float radius_before = scene.objects.cars[17].bound_radius;
  const Vec3 drone_before = translation_of(scene.objects.drones[0].transform);
  traffic_step(scene.objects, scene.city, scene.assets.meshes, 0.5f);
  const Vec3 car_after = translation_of(scene.objects.cars[17].transform);
  const Vec3 moved = car_after - car_before;
  EXPECT_NEAR(length(moved), 13.4f * 0.5f, 1e-4f);
  EXPECT_EQ(car_after.y, car_before.y);
  EXPECT_NEAR(translation_of(scene.objects.drones[0].transform).x, drone_before.x - 5.0f, 1e-4f);
  EXPECT_EQ(scene.objects.cars[17].bound_radius, radius_before);
  // The stand-in mesh's centre sits 7.5 above the object's origin.
  expect_near(scene.objects.cars[17].bound_center, car_after + Vec3{0.0f, 7.5f, 0.0f}, 1e-4f);
}

TEST_F(TrafficTest, PausedStepLeavesEverythingInPlace) {
  const CityScene before = scene;
  traffic_step(scene.objects, scene.city, scene.assets.meshes, 0.0f);
  for (size_t k = 0; k < scene.objects.cars.size(); ++k) {
    EXPECT_EQ(translation_of(scene.objects.cars[k].transform),
              translation_of(before.objects.cars[k].transform));
    EXPECT_EQ(scene.objects.cars[k].bound_center, before.objects.cars[k].bound_center);
  }
}

TEST_F(TrafficTest, VehiclesWrapAroundTheCity) {
  const float extent = 6.0f * (15.0f * scene.city.block_factor);  // E = 189 at level 1
  // Car 0 (speed 10) turned to run along -z, one unit short of the edge.
  SceneObject& car = scene.objects.cars[0];
  car.rotation = axis_rotation(1, 3.141592f);
  compose_transform(car);
  set_translation(car.transform, {50.0f, 30.0f, -99.5f});
  traffic_step(scene.objects, scene.city, scene.assets.meshes,
               0.1f);  // speed 10: to z = -100.5, wrapped in the same frame
  EXPECT_NEAR(translation_of(car.transform).z, extent + 99.5f, 1e-3f);
  EXPECT_EQ(translation_of(car.transform).y, 30.0f);

  // Exactly at E + 100 nothing wraps; past it, the vehicle re-enters at -100.
  SceneObject& drone = scene.objects.drones[0];  // runs along -x
  set_translation(drone.transform, {extent + 100.0f, 20.0f, 10.0f});
  traffic_step(scene.objects, scene.city, scene.assets.meshes, 0.0f);
  EXPECT_EQ(translation_of(drone.transform).x, extent + 100.0f);
  drone.rotation = axis_rotation(1, 3.141592f / 2.0f);  // now along +x
  compose_transform(drone);
  traffic_step(scene.objects, scene.city, scene.assets.meshes, 0.1f);
  EXPECT_NEAR(translation_of(drone.transform).x, -100.0f + 1.0f, 1e-3f);
}

TEST(Fans, SpinAboutYOneRadianPerSecond) {
  CityScene scene;
  scene.assets.meshes = test::stand_in_meshes();
  scene.objects.fans.push_back(
      make_object(ObjectKind::fan, "fan0-0", 15, 40, {1.0f, 2.0f, 3.0f}, {7.5f, 1.0f, 7.5f}));
  spin_fans(scene.objects.fans, 0.25f);
  spin_fans(scene.objects.fans, 0.25f);
  const Mat4& t = scene.objects.fans[0].transform;
  EXPECT_NEAR(t.at(0, 0), 7.5f * std::cos(0.5f), 1e-5f);
  EXPECT_NEAR(t.at(0, 2), 7.5f * std::sin(0.5f), 1e-5f);
  EXPECT_EQ(translation_of(t), (Vec3{1.0f, 2.0f, 3.0f}));
}

}  // namespace
}  // namespace vel
