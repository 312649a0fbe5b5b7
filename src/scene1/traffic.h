// traffic.h: the flying cars and drones (creation and movement) and the
// spinning fans.
#pragma once

#include "scene1/city_scene.h"

namespace vel {

// Appends car_count cars, then drone_count drones, four generator draws
// each, after the city has been built.
void create_traffic(const CityLayout& city, const std::vector<Mesh>& meshes, int32_t& rng_state,
                    CityObjects& objects);
// Moves every car, then every drone, along its own forward axis by its
// speed times step_dt, wrapping at the city's edges.
void traffic_step(CityObjects& objects, const CityLayout& city, const std::vector<Mesh>& meshes,
                  float step_dt);
// Turns every fan about y by step_dt radians.
void spin_fans(std::vector<SceneObject>& fans, float step_dt);

// Speeds in units per second by list index.
inline float car_speed(size_t index) {
  return 10.0f + 0.2f * static_cast<float>(index);
}
inline float drone_speed(size_t index) {
  return 10.0f + 0.005f * static_cast<float>(index);
}

}  // namespace vel
