// city_builder.h: the procedural city: stacked blocks on a jittered quarter
// disc, roof terraces and fittings, chips and batteries, the antenna.
#pragma once

#include <string_view>

#include "gfx/vec.h"
#include "scene1/city_scene.h"
#include "scene1/scene_object.h"

namespace vel {

// Slots and look chosen by the scene's style (0..3; anything else is read as
// style 0).
struct StyleLook {
  uint64_t floor_texture = 3;
  uint64_t base_texture = 9;
  uint64_t terrace_texture = 6;
  uint64_t car_mesh = 3;
  uint64_t car_texture = 15;
  uint64_t distant_floor_texture = 16;
  float view_distance = 150.0f;
  Rgb fog_colour;
  bool rain = false;
};
StyleLook style_look(uint8_t style);

// upper 3x3 of transform <- scale[row] * rotation[row]; column 3 untouched.
void compose_transform(SceneObject& object);

// An object at `position` with identity rotation, the given scale, and its
// transform built from them.
SceneObject make_object(std::string_view name, uint64_t mesh, uint64_t texture, Vec3 position,
                        Vec3 scale, bool solid);

// Builds the city into `scene` from its city parameters, style and generator
// (already seeded), sets station_position and returns the player's start:
// ground level, 15 units in front (-z) of the lowest building.
Vec3 build_city(CityScene& scene);

}  // namespace vel
