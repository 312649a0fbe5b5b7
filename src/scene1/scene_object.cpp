// scene_object.cpp: what each kind of placed object is to the rules, and
// keeping an object's model matrix and bounding sphere in step with its
// rotation, scale and mesh.
#include "scene1/scene_object.h"

#include <cmath>

#include "gfx/matrix.h"

namespace vel {

bool is_solid_kind(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::base_block:
    case ObjectKind::floor_block:
    case ObjectKind::terrace:
    case ObjectKind::car:
    case ObjectKind::drone:
      return true;
    default:
      return false;
  }
}

bool is_roof(ObjectKind kind) {
  return kind == ObjectKind::terrace || kind == ObjectKind::grid_terrace;
}

// The scale is applied after the rotation along the world axes: row i of
// the 3x3 is scaled by scale[i]. Column 3, the position, is kept.
void compose_transform(SceneObject& object) {
  const float scale[3] = {object.scale.x, object.scale.y, object.scale.z};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      object.transform.at(row, column) = scale[row] * object.rotation.at(row, column);
    }
  }
}

// The new turn is applied in the object's own frame (right-multiplied).
void rotate_object(SceneObject& object, uint8_t axis, float angle) {
  object.rotation = mat4_mul(object.rotation, axis_rotation(axis, angle));
  compose_transform(object);
}

void update_object_bounds(SceneObject& object, const Mesh& mesh, bool with_radius) {
  object.bound_center = mat4_apply_point(object.transform, mesh.centre);
  if (!with_radius) return;
  float max_d2 = 0.0f;  // a mesh without positions gets radius 0
  for (const Vec3& p : mesh.positions) {
    const float d2 = length_squared(mat4_apply_point(object.transform, p) - object.bound_center);
    if (d2 > max_d2) max_d2 = d2;
  }
  object.bound_radius = std::sqrt(max_d2);
}

}  // namespace vel
