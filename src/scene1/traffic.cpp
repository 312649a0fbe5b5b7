// traffic.cpp: the flying cars and drones: creation and movement; and the
// spinning fans.
//
// A vehicle stores nothing but its object: its heading is column 2 of its
// transform (the image of +z), its position column 3, and its index in its
// list sets its height and speed.
#include "scene1/traffic.h"

#include <string>

#include "base/rng.h"
#include "base/saturate.h"
#include "gfx/matrix.h"
#include "scene1/city_builder.h"

namespace vel {

namespace {

constexpr float kHeadingPlusZ = 0.0f;
constexpr float kHeadingMinusZ = 3.141592f;
constexpr float kHeadingMinusX = 4.712388f;  // every vehicle along x runs towards -x
constexpr float kLaneInset = 7.5f;           // half a block past the lane offset
constexpr float kWrapMargin = 100.0f;        // vehicles leave this far past the city

struct TrafficGrid {
  float pitch = 0.0f;   // cell pitch
  float extent = 0.0f;  // n * pitch, the city's width
  float span = 0.0f;    // height span of the stack of lanes
};

TrafficGrid traffic_grid(const CityLayout& city) {
  TrafficGrid grid;
  grid.pitch = 15.0f * city.block_factor;
  grid.extent = static_cast<float>(city.grid_size) * grid.pitch;
  grid.span = 15.0f * static_cast<float>(city.height_steps) - 15.0f;
  return grid;
}

// What one kind of vehicle is made of.
struct VehicleMaker {
  ObjectKind kind;
  const char* prefix;  // the name is the prefix and the index in its list
  uint64_t mesh;
  uint64_t texture;
};

void create_vehicles(const CityLayout& city, const std::vector<Mesh>& meshes, int32_t& rng_state,
                     std::vector<SceneObject>& list, int32_t count, const VehicleMaker& maker) {
  const TrafficGrid grid = traffic_grid(city);
  if (count > 0) list.reserve(list.size() + static_cast<size_t>(count));
  for (int32_t k = 0; k < count; ++k) {
    const int32_t r1 = rng_next(rng_state);
    const int32_t r2 = rng_next(rng_state);
    const int32_t r3 = rng_next(rng_state);
    const int32_t r4 = rng_next(rng_state);
    // Lane L in 0..n (n only when u is exactly 1), 12.5 past the centre line
    // of building column or row L.
    const int32_t lane = trunc_i32(rng_unit(r3) * static_cast<float>(city.grid_size));
    const float across = static_cast<float>(lane) * grid.pitch + city.lane_offset + kLaneInset;
    const float along = rng_unit(r4) * grid.extent;
    // The first vehicle flies highest; heights step down evenly.
    const float height =
        grid.span * static_cast<float>(count - k) / static_cast<float>(count) + 15.0f;

    Vec3 position;
    float heading = kHeadingMinusX;
    if (rng_unit(r1) > 0.5f) {
      position = {across, height, along};
      heading = rng_unit(r2) > 0.5f ? kHeadingPlusZ : kHeadingMinusZ;
    } else {
      position = {along, height, across};
    }

    SceneObject vehicle = make_object(maker.kind, maker.prefix + std::to_string(k), maker.mesh,
                                      maker.texture, position, {1.0f, 1.0f, 1.0f});
    vehicle.rotation = axis_rotation(1, heading);
    compose_transform(vehicle);
    update_object_bounds(vehicle, meshes[maker.mesh], true);
    list.push_back(std::move(vehicle));
  }
}

void move_vehicles(std::vector<SceneObject>& list, const std::vector<Mesh>& meshes, float extent,
                   float step_dt, float (*speed)(size_t)) {
  for (size_t k = 0; k < list.size(); ++k) {
    SceneObject& vehicle = list[k];
    Mat4& t = vehicle.transform;
    const Vec3 forward{t.at(0, 2), t.at(1, 2), t.at(2, 2)};
    const Vec3 direction = forward / length(forward);
    const float distance_moved = speed(k) * step_dt;
    Vec3 p = translation_of(t) + direction * distance_moved;
    // Each test sees the result of the one before; the height never wraps.
    if (p.x > extent + kWrapMargin) p.x -= extent + 2.0f * kWrapMargin;
    if (p.x < -kWrapMargin) p.x += extent + 2.0f * kWrapMargin;
    if (p.z > extent + kWrapMargin) p.z -= extent + 2.0f * kWrapMargin;
    if (p.z < -kWrapMargin) p.z += extent + 2.0f * kWrapMargin;
    set_translation(t, p);
    // The centre follows the vehicle; the radius cannot change.
    update_object_bounds(vehicle, meshes[vehicle.mesh], false);
  }
}

}  // namespace

void create_traffic(const CityLayout& city, const std::vector<Mesh>& meshes, int32_t& rng_state,
                    CityObjects& objects) {
  const StyleLook look = style_look(city.style);
  create_vehicles(city, meshes, rng_state, objects.cars, city.car_count,
                  {ObjectKind::car, "flying car ", look.car_mesh, look.car_texture});
  create_vehicles(city, meshes, rng_state, objects.drones, city.drone_count,
                  {ObjectKind::drone, "drone ", mesh_slot::kDrone, texture_slot::kDrone});
}

void traffic_step(CityObjects& objects, const CityLayout& city, const std::vector<Mesh>& meshes,
                  float step_dt) {
  const float extent = traffic_grid(city).extent;
  move_vehicles(objects.cars, meshes, extent, step_dt, car_speed);
  move_vehicles(objects.drones, meshes, extent, step_dt, drone_speed);
}

void spin_fans(std::vector<SceneObject>& fans, float step_dt) {
  for (SceneObject& fan : fans) rotate_object(fan, 1, step_dt);
}

}  // namespace vel
