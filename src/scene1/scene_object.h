// scene_object.h: the placed, drawable object every scene list holds by
// value, and the two operations that keep its matrix and bounds in step.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/mesh.h"
#include "gfx/vec.h"

namespace vel {

struct SceneObject {
  std::string name;
  uint64_t mesh = 0;     // slot in CityScene::meshes
  uint64_t texture = 0;  // slot in CityScene::textures
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

// rotation <- rotation * R(axis, angle); then the upper 3x3 of transform is
// rebuilt as row i = scale[i] * rotation row i. Column 3 is left alone.
void rotate_object(SceneObject& object, uint8_t axis, float angle);
// bound_center from the mesh centre; with_radius also recomputes the radius.
void update_object_bounds(SceneObject& object, const Mesh& mesh, bool with_radius);

}  // namespace vel
