// city_builder.h: the procedural city: stacked blocks on a jittered quarter
// disc, roof terraces and fittings, chips and batteries, the antenna.
#pragma once

#include <string_view>

#include "gfx/vec.h"
#include "scene1/city_scene.h"
#include "scene1/city_style.h"
#include "scene1/scene_object.h"

namespace vel {

// An object of `kind` at `position` with identity rotation, the given
// scale, and its transform built from them; solid as its kind is.
SceneObject make_object(ObjectKind kind, std::string_view name, uint64_t mesh, uint64_t texture,
                        Vec3 position, Vec3 scale);

// Builds the city's objects from its parameters, style and generator
// (already seeded), sets station_position and returns the player's start:
// ground level, 15 units in front (-z) of the lowest building.
Vec3 build_city(CityLayout& city, const std::vector<Mesh>& meshes, int32_t& rng_state,
                CityObjects& objects);

}  // namespace vel
