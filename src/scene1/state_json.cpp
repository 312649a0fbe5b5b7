// state_json.cpp: the city scene's state as JSON for the headless runner.
#include "scene1/state_json.h"

#include <array>
#include <optional>
#include <span>

#include "base/atomic_file.h"

namespace vel {

namespace {

using nlohmann::json;

// A float widened to double is exact; nlohmann writes doubles with enough
// digits to read back the same double.
json number(float value) {
  return static_cast<double>(value);
}
json vec(Vec2 v) {
  return json::array({number(v.x), number(v.y)});
}
json vec(Vec3 v) {
  return json::array({number(v.x), number(v.y), number(v.z)});
}
json colour(Colour c) {
  return json::array({number(c.r), number(c.g), number(c.b), number(c.a)});
}

json object_json(const SceneObject& object) {
  return {{"name", object.name},
          {"mesh", object.mesh},
          {"texture", object.texture},
          {"position", vec(translation_of(object.transform))},
          {"bound_center", vec(object.bound_center)},
          {"bound_radius", number(object.bound_radius)},
          {"visible", object.visible},
          {"solid", object.solid}};
}

json list_json(const std::vector<SceneObject>& list) {
  json out = json::array();
  for (const SceneObject& object : list) out.push_back(object_json(object));
  return out;
}

json settings_json(const Settings& settings) {
  return {{"controls", settings.controls},
          {"music_volume", number(settings.music_volume)},
          {"sfx_volume", number(settings.sfx_volume)},
          {"show_fps", settings.show_fps},
          {"load_status", settings.load_status},
          {"fullscreen", settings.fullscreen},
          {"vsync", settings.vsync},
          {"interlaced", settings.interlaced}};
}

}  // namespace

nlohmann::json scene_state_json(const CityScene& scene, uint64_t frame, float time) {
  json state;
  state["frame"] = frame;
  state["time"] = number(time);
  state["elapsed"] = number(scene.clock.elapsed);
  state["rng_state"] = scene.rng_state;
  state["style"] = static_cast<uint8_t>(scene.city.style);
  state["level"] = scene.city.level;
  state["view_distance"] = number(scene.view.distance);
  state["yaw"] = number(scene.view.yaw);
  state["pitch"] = number(scene.view.pitch);
  state["paused"] = scene.clock.paused;
  state["control_enabled"] = scene.player.control_enabled;
  state["panel_open"] = scene.menus.panel_open;
  state["device_menu_open"] = scene.menus.device_menu_open;
  state["menu_selection"] = scene.menus.selection;
  state["on_ground"] = scene.player.on_ground;
  state["airborne"] = scene.player.airborne;
  state["energy"] = number(scene.economy.energy);
  state["chip_count"] = scene.economy.chip_count;
  state["upgrade_points"] = scene.economy.upgrade_points;
  state["drive_level"] = scene.economy.levels.drive;
  state["jump_level"] = scene.economy.levels.jump;
  state["pull_level"] = scene.economy.levels.pull;
  state["grapple_attached"] = scene.grapple.attached;
  state["anchor_car"] = scene.grapple.anchor_car;
  state["grapple_cooldown"] = number(scene.grapple.cooldown);
  state["station_position"] = vec(scene.city.station_position);
  state["lightning_wait"] = number(scene.weather.lightning_wait);
  state["lightning_flash"] = number(scene.weather.lightning_flash);
  state["storm_timer"] = number(scene.weather.storm_timer);
  state["fog_enabled"] = scene.view.lighting.fog_enabled;
  state["fps_text"] = scene.hud.fps_text;
  state["settings"] = settings_json(scene.settings_copy);
  state["player"] = {{"position", vec(scene.player.body.position)},
                     {"velocity", vec(scene.player.body.velocity)}};
  state["statics"] = list_json(scene.objects.statics);
  state["fans"] = list_json(scene.objects.fans);
  state["cars"] = list_json(scene.objects.cars);
  state["drones"] = list_json(scene.objects.drones);
  state["chips"] = list_json(scene.objects.chips);
  state["chip_indicators"] = list_json(scene.objects.chip_indicators);
  state["batteries"] = list_json(scene.objects.batteries);
  state["battery_indicators"] = list_json(scene.objects.battery_indicators);
  state["markers"] = list_json(scene.objects.markers);
  // Only a run with other rules than the fixed run's has these: the fixed
  // run's file stays as it was.
  if (scene.rules != kFixedRunRules) {
    state["play_rules"] = {{"chips_placed", scene.progress.chips_placed},
                           {"station_armed", scene.progress.station_armed},
                           {"level_complete", number(scene.progress.level_complete)},
                           {"grapple_snaps", scene.grapple.snaps},
                           {"rope_anchor", vec(scene.grapple.anchor)},
                           {"rope_pull_offset", vec(scene.grapple.pull_offset)},
                           {"climb_top", number(scene.progress.climb_top)},
                           {"climb_steps_left", scene.progress.climb_steps_left}};
  }

  json bursts = json::array();
  for (const DroneBurst& burst : scene.grapple.drone_bursts) {
    bursts.push_back({{"position", vec(burst.position)},
                      {"frame", burst.frame},
                      {"timer", number(burst.timer)}});
  }
  state["drone_bursts"] = bursts;

  json rain = json::array();
  for (const Vec3& drop : scene.weather.rain) rain.push_back(vec(drop));
  state["rain"] = rain;

  json messages = json::array();
  for (const HudMessage& message : scene.hud.messages) {
    messages.push_back({{"text", message.text},
                        {"colour", colour(message.colour)},
                        {"position", vec(message.position)},
                        {"born", number(message.born)},
                        {"rising", message.rising}});
  }
  state["messages"] = messages;

  json textures = json::array();
  for (const Image& image : scene.assets.textures) textures.push_back(image.path);
  state["textures"] = textures;
  json meshes = json::array();
  for (const Mesh& mesh : scene.assets.meshes) meshes.push_back(mesh.path);
  state["meshes"] = meshes;
  return state;
}

std::string write_text_file(const std::string& path, const std::string& text) {
  // All or nothing, like the screenshot: a full disk keeps the previous
  // state file rather than leaving half of a JSON document.
  const std::array<std::span<const uint8_t>, 1> pieces{
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size())};
  if (const std::optional<FileWriteFailure> failure = write_whole_file(path, pieces)) {
    return path + ": " + failure->reason;
  }
  return {};
}

}  // namespace vel
