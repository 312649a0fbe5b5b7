// city_flight.cpp: the title's flight over the city and the city's moving
// parts run without its player; the only title code that reads the city's
// fields.
#include "title/city_flight.h"

#include <algorithm>
#include <cmath>

#include "gfx/camera.h"
#include "scene1/world_draw.h"

namespace vel {

namespace {

constexpr float kTurnRate = 0.06f;     // radians per second: a slow circle
constexpr float kPitchDown = 0.35f;    // positive pitch looks down
constexpr float kBob = 3.0f;           // height swing, units
constexpr float kBobRate = 0.23f;      // radians per second
constexpr float kRadiusShare = 0.45f;  // of the city's width

}  // namespace

CityFlight plan_flight(const CityScene& city) {
  CityFlight flight;
  if (city.objects.statics.empty()) return flight;
  Vec3 low = translation_of(city.objects.statics.front().transform);
  Vec3 high = low;
  for (const SceneObject& object : city.objects.statics) {
    const Vec3 p = translation_of(object.transform);
    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
  }
  flight.centre = {0.5f * (low.x + high.x), 0.0f, 0.5f * (low.z + high.z)};
  flight.radius = kRadiusShare * std::max(high.x - low.x, high.z - low.z);
  flight.height = high.y + 20.0f;
  return flight;
}

FlightPose flight_pose(const CityFlight& flight, float seconds) {
  const float angle = kTurnRate * seconds;
  FlightPose pose;
  pose.eye = {flight.centre.x + flight.radius * std::sin(angle),
              flight.height + kBob * std::sin(kBobRate * seconds),
              flight.centre.z + flight.radius * std::cos(angle)};
  // Yaw y looks along (sin y, 0, -cos y): -angle faces the centre.
  pose.yaw = -angle;
  pose.pitch = kPitchDown;
  return pose;
}

void fly(CityScene& city, const FlightPose& pose, float dt) {
  // The sky, culling and rain read the body's place and motion as the eye's.
  city.player.body.position = pose.eye;
  city.player.body.velocity = {0.0f, 0.0f, 0.0f};
  city.view.yaw = pose.yaw;
  city.view.pitch = pose.pitch;
  camera_look(city.view.camera, city.view.yaw, city.view.pitch, pose.eye);
  city.events.clear();
  advance_world(city, {0.0f, 0.0f}, dt);
  advance_lightning(city, dt, city.events);
}

}  // namespace vel
