// city_style.cpp: the table of the city's four looks.
#include "scene1/city_style.h"

namespace vel {

StyleLook style_look(CityStyle style) {
  StyleLook look;
  switch (style) {
    case CityStyle::grey_rain:
      look.floor_texture = texture_slot::kGreyRainFloor;
      look.base_texture = texture_slot::kGreyRainBase;
      look.terrace_texture = texture_slot::kGreyRainTerrace;
      look.car_mesh = mesh_slot::kGreyRainCar;
      look.car_texture = texture_slot::kGreyRainCar;
      look.distant_floor_texture = texture_slot::kGreyRainDistantFloor;
      look.view_distance = 80.0f;
      look.fog_colour = {0.5f, 0.5f, 0.5f};
      look.rain = true;
      break;
    case CityStyle::storm:
      look.view_distance = 90.0f;
      look.fog_colour = {0.0f, 0.0f, 0.0f};
      look.rain = true;
      break;
    case CityStyle::fan_roofs:
      look.floor_texture = texture_slot::kFanRoofsFloor;
      look.base_texture = texture_slot::kFanRoofsBase;
      look.view_distance = 110.0f;
      look.fog_colour = {0.05f, 0.33f, 0.03f};
      break;
    case CityStyle::clear_night:
    default:
      look.fog_colour = {0.05f, 0.03f, 0.03f};
      break;
  }
  return look;
}

}  // namespace vel
