// city_sound.cpp: what the city reports to the sound after a frame: the
// rain's facts, the panel's cover, and the nearest cars and drones around
// the player, nearest first.
#include <cstddef>

#include "gfx/matrix.h"
#include "scene1/city_scene.h"
#include "scene1/player.h"

namespace vel {

namespace {

// Keeps the nearest kHeardVehicles, nearest first; a tie keeps the one
// found first.
void consider(std::array<HeardVehicle, kHeardVehicles>& nearest, const HeardVehicle& candidate) {
  if (candidate.distance >= nearest.back().distance) return;
  size_t i = kHeardVehicles - 1;
  while (i > 0 && nearest[i - 1].distance > candidate.distance) {
    nearest[i] = nearest[i - 1];
    --i;
  }
  nearest[i] = candidate;
}

void gather(std::array<HeardVehicle, kHeardVehicles>& nearest,
            const std::vector<SceneObject>& vehicles, Vec3 listener, bool drone) {
  for (size_t i = 0; i < vehicles.size(); ++i) {
    HeardVehicle heard;
    heard.offset = translation_of(vehicles[i].transform) - listener;
    heard.distance = length(heard.offset);
    heard.drone = drone;
    heard.index = i;
    if (heard.distance < kHearingRange) consider(nearest, heard);
  }
}

}  // namespace

void listen_to_city(const CityScene& scene, Soundscape& heard) {
  heard = Soundscape{};
  heard.city = true;
  heard.rain_drops = scene.weather.rain.size();
  heard.storm = scene.city.style == CityStyle::storm;
  heard.storm_timer = scene.weather.storm_timer;
  heard.flash = !scene.view.lighting.fog_enabled;
  heard.covered = scene.menus.panel_open;
  heard.listener_right = camera_axes(scene.view.camera).right;
  const Vec3 listener = scene.player.body.position;
  gather(heard.nearest, scene.objects.cars, listener, false);
  gather(heard.nearest, scene.objects.drones, listener, true);
}

}  // namespace vel
