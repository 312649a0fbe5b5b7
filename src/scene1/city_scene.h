// city_scene.h: the one concrete Scene: the record that owns everything the
// city keeps between frames, and its two operations.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/camera.h"
#include "gfx/framebuffer.h"
#include "gfx/image.h"
#include "gfx/lighting.h"
#include "gfx/mesh.h"
#include "gfx/raster.h"
#include "scene1/asset_slots.h"
#include "scene1/city_style.h"
#include "scene1/device_preview.h"
#include "scene1/hud_message.h"
#include "scene1/player_body.h"
#include "scene1/scene_object.h"
#include "scene_api/scene.h"
#include "scene_api/settings.h"

namespace vel {

// What the scene does when its run time is over. The game writes the
// screenshot, prints the line and exits 0; tests and the headless runner may
// put their own ending here.
using RunEnd = std::function<void(const Framebuffer&)>;
[[noreturn]] void end_run_with_screenshot(const Framebuffer& framebuffer);

// The whole state of the city. Scene::init builds a complete new record and
// then replaces this one as a whole (keeping only run_end).
struct CityScene final : Scene {
  void init(const Settings& settings, float time) override;
  FrameResult update(const InputState& input, Framebuffer& framebuffer, float dt, float time,
                     const Settings& settings) override;

  RunEnd run_end = end_run_with_screenshot;

  // Object lists; an object's index in its list is meaningful (vehicle
  // speed and height, pickup pairing).
  std::vector<SceneObject> statics;  // blocks, terraces, the antenna: drawn and solid
  std::vector<SceneObject> markers;  // grapple hit indicators, appended in play
  std::vector<SceneObject> cars;
  std::vector<SceneObject> drones;
  std::vector<SceneObject> chips;
  std::vector<SceneObject> batteries;
  std::vector<SceneObject> chip_indicators;     // paired with chips by index
  std::vector<SceneObject> battery_indicators;  // paired with batteries by index
  std::vector<SceneObject> fans;                // style 3 only
  std::vector<DroneBurst> drone_bursts;
  std::string fps_text;  // "LOL" until the first readout update
  // Asset tables, addressed by slot number (23 meshes, 49 textures).
  std::vector<Mesh> meshes;
  std::vector<Image> textures;
  std::vector<HudMessage> messages;
  Image panel_background;  // the picture behind the open panel
  // The menus' device pictures and their render target, made on first use.
  DevicePreviews previews;
  // Rain drops: x, y screen fractions (y upward), z the drop's weight.
  std::vector<Vec3> rain;
  // Scene switch asked of the shell.
  int32_t switch_requested = 0;
  int32_t switch_target = 0;
  Settings settings_copy;  // refreshed every frame
  Lighting lighting;
  // City parameters, derived from the level.
  int32_t grid_size = 1;
  float block_factor = 1.0f;
  float lane_offset = 0.0f;
  int32_t height_steps = 1;
  int32_t car_count = 0;
  int32_t drone_count = 0;
  // Weather timers (seconds), style 2.
  float lightning_wait = 1.0f;
  float lightning_flash = 0.1f;
  float storm_timer = 1.0f;
  // Player and camera.
  uint32_t prev_held = 0;
  float yaw = 0.0f;
  float pitch = 0.0f;
  int32_t fps_frames = 0;
  float fps_time = 0.0f;
  float physics_accumulator = 0.0f;
  PlayerBody player;
  uint8_t airborne = 0;
  float takeoff_time = 0.0f;
  Camera camera;
  float view_distance = 0.0f;  // far plane, fog and culling distance
  // Times (seconds).
  int32_t menu_selection = 0;
  float start_time = 0.0f;
  float elapsed = 0.0f;
  int32_t rng_state = 1799;  // the one generator; init seeds it
  // Grapple.
  Vec3 grapple_anchor;
  int32_t anchor_car = -1;
  Vec3 rope_end;
  float grapple_cooldown = 0.1f;
  float grapple_reload = 0.1f;
  Vec3 station_position;  // top of the tallest building: the device station
  // Economy and progress.
  int32_t jump_level = 0;
  int32_t pull_level = 0;
  int32_t drive_level = 0;
  int32_t jump_draft = 0;
  int32_t pull_draft = 0;
  int32_t drive_draft = 0;
  int32_t upgrade_points = 0;
  int32_t chip_count = 0;
  int32_t max_chips = 4;
  int32_t level = 1;
  float energy = 1.0f;
  // Flags.
  uint8_t paused = 1;
  uint8_t panel_open = 0;
  uint8_t device_menu_open = 0;
  uint8_t control_enabled = 0;
  uint8_t grapple_attached = 0;
  uint8_t on_ground = 0;
  RenderFlags render_flags{1, 1, 0, 1, 0};
  // Which rasteriser draws the world; the reference serves tests and the
  // benchmark. init resets it to fast like every other field, so set it
  // after init.
  RasterPath raster_path = RasterPath::fast;
  CityStyle style = CityStyle::clear_night;
};

}  // namespace vel
