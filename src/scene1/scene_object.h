// scene_object.h: the placed, drawable object every scene list holds by
// value, its kind, and the two operations that keep its matrix and bounds in
// step.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/mesh.h"
#include "gfx/vec.h"

namespace vel {

// What an object is, set when it is made; the rules that single out a kind
// (roofs to stand on, floors that cut the rope or go distant) read this.
enum class ObjectKind : uint8_t {
  other,  // placed by hand; no rule singles it out
  base_block,
  floor_block,
  terrace,
  grid_terrace,
  fan_container,
  fan,
  antenna,
  car,
  drone,
  chip,
  chip_indicator,
  battery,
  battery_indicator,
  hit_marker,
};

// Blocks, terraces and vehicles are solid: the body collides with them and
// the grapple can hit them. Fittings, pickups, the antenna and markers are
// not.
bool is_solid_kind(ObjectKind kind);
// Roofs the body can stand on: the terraces and the grid terraces over them.
bool is_roof(ObjectKind kind);

struct SceneObject {
  ObjectKind kind = ObjectKind::other;
  std::string name;      // written to the state file
  uint64_t mesh = 0;     // slot in the scene's meshes (asset_slots.h)
  uint64_t texture = 0;  // slot in the scene's textures (asset_slots.h)
  Mat4 rotation;         // accumulated rotation
  Mat4 transform;        // scaled rotation, position in column 3
  Vec2 uv_offset{0.0f, 0.0f};
  Vec2 uv_scale{1.0f, 1.0f};
  Vec3 scale{1.0f, 1.0f, 1.0f};
  Vec3 bound_center;
  float bound_radius = 0.0f;
  bool visible = true;
  bool solid = false;
};

// upper 3x3 of transform <- scale[row] * rotation[row]; column 3 untouched.
void compose_transform(SceneObject& object);
// rotation <- rotation * R(axis, angle); then the upper 3x3 of transform is
// rebuilt by compose_transform.
void rotate_object(SceneObject& object, uint8_t axis, float angle);
// bound_center from the mesh centre; with_radius also recomputes the radius.
void update_object_bounds(SceneObject& object, const Mesh& mesh, bool with_radius);

}  // namespace vel
