// hand_scene.h: objects placed in code for the rule tests (the grapple, the
// pickups), with their bounds, without reading any asset.
#pragma once

#include <string>
#include <utility>

#include "gfx/vec.h"
#include "scene1/city_scene.h"
#include "scene1/scene_object.h"

namespace vel::test {

// An object of `kind` and mesh slot `mesh` at `position`, with its bounds
// from the mesh.
inline SceneObject placed(const CityScene& scene, ObjectKind kind, std::string name, uint64_t mesh,
                          Vec3 position, bool solid = true) {
  SceneObject object;
  object.kind = kind;
  object.name = std::move(name);
  object.mesh = mesh;
  set_translation(object.transform, position);
  object.solid = solid;
  update_object_bounds(object, scene.assets.meshes[mesh], true);
  return object;
}

// A flying object (drone or car) known only by its bound sphere.
inline SceneObject flyer(std::string name, Vec3 centre, float radius) {
  SceneObject object;
  object.name = std::move(name);
  set_translation(object.transform, centre);
  object.bound_center = centre;
  object.bound_radius = radius;
  return object;
}

}  // namespace vel::test
