// pickups.h: chips and batteries: turning them, collecting them near the
// player, and what they add to the chip count and the energy.
#pragma once

#include "scene1/city_scene.h"

namespace vel {

void turn_pickups(CityScene& scene, float step_dt);
void collect_chips(CityScene& scene);
void turn_batteries(CityScene& scene, float step_dt);
void collect_batteries(CityScene& scene);

}  // namespace vel
