// city_flight.h: the title's camera flight over a city: where the camera is
// at a time, and the one place that moves a CityScene from outside its own
// step.
#pragma once

#include "gfx/framebuffer.h"
#include "gfx/vec.h"
#include "scene1/city_scene.h"

namespace vel {

// A circle around the city's middle, high over the roofs, looking in.
struct CityFlight {
  Vec3 centre;
  float radius = 60.0f;
  float height = 45.0f;
};

struct FlightPose {
  Vec3 eye;
  float yaw = 0.0f;
  float pitch = 0.0f;
};

// The circle that fits the city as built (its blocks' footprint).
CityFlight plan_flight(const CityScene& city);
// Where the camera is `seconds` into the flight.
FlightPose flight_pose(const CityFlight& flight, float seconds);
// Puts the camera at the pose and runs the city's own motion by dt: the
// same world advance and lightning as the city's step, with the eye as the
// player. The flight stays 20 units over the highest roof, beyond the
// reach of every pickup and of the station. The lightning's events are
// the flight's own: the title does not report them.
void fly(CityScene& city, const FlightPose& pose, float dt);

}  // namespace vel
