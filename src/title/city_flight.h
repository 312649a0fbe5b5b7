// city_flight.h: the title's camera flight over a city: where the camera is
// at a time, and the one place that moves, animates and draws a CityScene
// from outside its own frame update.
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
// Puts the camera at the pose, runs the city's moving parts (traffic,
// pickups, fans, rain, weather) by dt, and draws the world into target.
// The player's rules never run: nothing is collected, nothing opens.
void fly_and_draw(CityScene& city, const FlightPose& pose, float dt, Framebuffer& target);

}  // namespace vel
