// city_sound.cpp: what the city reports to the sound after a frame: the
// rain's facts, the panel's cover, the player's motion and rope, and the
// nearest cars and drones around the player, nearest first, each with
// its id and velocity.
#include <cstddef>

#include "gfx/matrix.h"
#include "scene1/city_scene.h"
#include "scene1/player.h"
#include "scene1/traffic.h"

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

// Drones are told from cars by their ids' top bit.
constexpr uint32_t kDroneIds = 0x80000000u;

// `moving`: the world advances this frame, so each vehicle flies along its
// heading (column 2 of its transform) at its list's speed.
void gather(std::array<HeardVehicle, kHeardVehicles>& nearest,
            const std::vector<SceneObject>& vehicles, Vec3 listener, bool drone, bool moving) {
  for (size_t i = 0; i < vehicles.size(); ++i) {
    HeardVehicle heard;
    const Mat4& t = vehicles[i].transform;
    heard.offset = translation_of(t) - listener;
    heard.distance = length(heard.offset);
    heard.drone = drone;
    heard.index = i;
    heard.id = static_cast<uint32_t>(i) | (drone ? kDroneIds : 0u);
    if (!(heard.distance < kHearingRange)) continue;
    if (moving) {
      const Vec3 forward{t.at(0, 2), t.at(1, 2), t.at(2, 2)};
      const float speed = drone ? drone_speed(i) : car_speed(i);
      heard.velocity = forward * (speed / length(forward));
    }
    consider(nearest, heard);
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
  // Under a menu nothing moves: no wind, no Doppler.
  const bool menu = scene.menus.panel_open || scene.menus.device_menu_open;
  if (!menu) heard.listener_velocity = scene.player.body.velocity;
  heard.rope_attached = scene.grapple.attached;
  const bool moving = !menu && !scene.clock.paused;
  const Vec3 listener = scene.player.body.position;
  gather(heard.nearest, scene.objects.cars, listener, false, moving);
  gather(heard.nearest, scene.objects.drones, listener, true, moving);
}

}  // namespace vel
