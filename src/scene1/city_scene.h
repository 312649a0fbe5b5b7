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
#include "scene1/city_rules.h"
#include "scene1/city_style.h"
#include "scene1/device_preview.h"
#include "scene1/hud_message.h"
#include "scene1/player_body.h"
#include "scene1/scene_object.h"
#include "scene_api/asset_slots.h"
#include "scene_api/frame_events.h"
#include "scene_api/scene.h"
#include "scene_api/settings.h"

namespace vel {

// What the scene does when its run time is over. The game writes the
// screenshot, prints the line and exits 0; tests and the headless runner may
// put their own ending here.
using RunEnd = std::function<void(const Framebuffer&)>;
[[noreturn]] void end_run_with_screenshot(const Framebuffer& framebuffer);

// The played game's own art, addressed by play_mesh_slot and
// play_texture_slot (asset_slots.h); empty unless the rules draw the
// pickups.
struct PlayArt {
  std::vector<Mesh> meshes;
  std::vector<Image> textures;
};

// The loaded asset tables, addressed by the slots of asset_slots.h. The
// state file lists the first two only.
struct CityAssets {
  std::vector<Mesh> meshes;
  std::vector<Image> textures;
  PlayArt play;
};

// The city's parameters: its look and the sizes derived from the level.
struct CityLayout {
  CityStyle style = CityStyle::clear_night;
  int32_t level = 1;  // only the play rules' level advance changes it
  int32_t grid_size = 1;
  float block_factor = 1.0f;
  float lane_offset = 0.0f;
  int32_t height_steps = 1;
  int32_t car_count = 0;
  int32_t drone_count = 0;
  int32_t max_chips = 4;
  Vec3 station_position;  // top of the tallest building: the device station
};

// Where a chip or a battery was taken, and the world's seconds since: the
// play rules draw its burst there for a moment.
struct PickupBurst {
  Vec3 position;
  ObjectKind kind = ObjectKind::chip;  // chip or battery
  float age = 0.0f;
};

// Every placed object, list by list. An object's index in its list is
// meaningful (vehicle speed and height, pickup pairing).
struct CityObjects {
  std::vector<SceneObject> statics;  // blocks, terraces, the antenna: drawn and solid
  std::vector<SceneObject> markers;  // grapple hit indicators, appended in play
  std::vector<SceneObject> cars;
  std::vector<SceneObject> drones;
  std::vector<SceneObject> chips;
  std::vector<SceneObject> batteries;
  std::vector<SceneObject> chip_indicators;     // paired with chips by index
  std::vector<SceneObject> battery_indicators;  // paired with batteries by index
  std::vector<SceneObject> fans;                // the fan roofs only
  // Pickups taken in the last moment (not placed objects, nor in the
  // state file): the collection adds them, turn_pickups ages them out.
  std::vector<PickupBurst> pickup_bursts;
};

// The player's body and what the physics and the controls know about it.
struct PlayerState {
  PlayerBody body;
  bool on_ground = false;  // touching a roof at the end of the last step
  bool airborne = false;   // jumped and not yet landed
  float takeoff_time = 0.0f;
  float physics_accumulator = 0.0f;  // raw frame time not yet run as steps
  bool control_enabled = false;      // walking, jumping, the grapple and the look act
};

// The first-person view: where it looks, how far it sees, and how the world
// is lit and drawn.
struct ViewState {
  Camera camera;
  float yaw = 0.0f;
  float pitch = 0.0f;
  float distance = 0.0f;  // far plane, fog and culling distance
  Lighting lighting;
  RenderFlags render_flags{.depth_test = 1, .interlace = 1};
  // What this frame's picture culls and fogs with: distance and fog as the
  // frame began, since the lightning's change shows from the next frame.
  float frame_distance = 0.0f;
  bool frame_fog = true;
};

// What a shot along the view would meet now: the crosshair's look.
enum class AimKind : uint8_t {
  none,          // not asked (the rules do not show it), or a rope is out
  out_of_range,  // nothing within the grapple's range
  facade,        // a surface the rope would hold on
  vehicle,       // a car to hitch or a drone to catch
};

// The grapple's rope and the bursts of drones it caught.
struct GrappleState {
  bool attached = false;
  Vec3 anchor;
  int32_t anchor_car = -1;  // index in the cars the rope rides on, or -1
  Vec3 rope_end;            // where the snap test of the rope ends
  float cooldown = 0.1f;    // seconds until the next shot
  float reload = 0.1f;      // the cooldown a shot starts
  bool snaps = true;        // false once the play rules install the force field
  Vec3 pull_offset;         // from the anchor to where the rope pulls (the rules' standoff)
  // The rope caught a lower roof's edge: it carries the body's weight, so
  // the body comes to rest on that roof, not hanging under it.
  bool edge_caught = false;
  int32_t anchor_static = -1;  // index in the statics of what holds the anchor, or -1
  AimKind aim = AimKind::none;
  float aim_distance = 0.0f;  // how far off the crosshair's facade, car or drone is
  std::vector<DroneBurst> drone_bursts;
};

// Upgrade levels of the three modules, counted from 0.
struct UpgradeLevels {
  int32_t drive = 0;
  int32_t jump = 0;
  int32_t pull = 0;
};

// What the player earns and spends.
struct Economy {
  float energy = 1.0f;
  int32_t chip_count = 0;
  int32_t upgrade_points = 0;
  UpgradeLevels levels;  // what the body uses
  UpgradeLevels drafts;  // the open panel's working copy, committed on resume
};

// Rain drops and the storm's timers (seconds).
struct Weather {
  // x, y screen fractions (y upward), z the drop's weight.
  std::vector<Vec3> rain;
  float lightning_wait = 1.0f;
  float lightning_flash = 0.1f;
  float storm_timer = 1.0f;
  bool flash_lit = false;  // a flash doubles this frame's picture
};

// The system panel and the device menu.
struct MenuState {
  bool panel_open = false;
  bool device_menu_open = false;
  int32_t selection = 0;          // the panel's row or the device menu's device
  bool panel_opened_now = false;  // this frame opened the panel: its picture becomes the background
  bool help_open = false;         // the panel's HELP page is up, until any key
  bool options_asked = false;     // OPTIONS was chosen: the program's menu opens over the panel
};

// What the drawing keeps of earlier frames and reuses: the picture behind
// the open panel and the menus' device pictures with their render target
// (made on first use). Only the drawing writes it; no rule reads it.
struct CityPicture {
  Image panel_background;
  DevicePreviews previews;
};

// The frame's times and mode.
struct FrameClock {
  float start_time = 0.0f;  // the time init was given
  float elapsed = 0.0f;     // seconds since init
  bool paused = true;       // the rules advance by 0 while paused
  uint32_t prev_held = 0;   // last frame's held mask, for pressed edges
};

// The overlays' state: floating messages and the frame-rate readout.
struct HudState {
  std::vector<HudMessage> messages;
  std::string fps_text;  // "LOL" until the first readout update
  int32_t fps_frames = 0;
  float fps_time = 0.0f;
};

// A switch to another scene, asked of the shell.
struct SceneSwitch {
  bool requested = false;
  int32_t target = 0;
};

// What the played game's rules (city_rules.h) keep track of. With the
// fixed run's rules nothing here changes after init.
struct RuleProgress {
  bool station_armed = true;     // the device menu may open at the station
  bool scanner = false;          // the FREQUENCY SCANNER is installed
  int32_t chips_placed = 0;      // the chips this city was built with
  float level_complete = -1.0f;  // elapsed when its last chip was taken, or -1
  PlayerBody start_body;         // the body as init placed it, for a fall
  PlayerBody last_roof_body;     // the body as it last stood on a roof, at rest
  bool stood_on_roof = false;    // last_roof_body holds a roof
  float edge_said = -100.0f;     // elapsed when the edge hint last showed
  // A climb over a roof's edge in progress (the leap off a facade rope
  // caught below it): the roof's height, the way onto it and the physics
  // steps it may still take.
  float climb_top = 0.0f;
  Vec3 climb_heading;
  int32_t climb_steps_left = 0;
  bool leap_airborne = false;  // a leap off a rope has not yet come down over a roof
};

// The whole state of the city. Scene::init builds a complete new record and
// then replaces this one as a whole, keeping only what belongs to whoever
// runs the scene (keep_runner_choices in scene_init.cpp).
struct CityScene final : Scene {
  void init(const Settings& settings, float time) override;
  FrameResult step(const InputState& input, float dt, float time, const Settings& settings,
                   FrameEvents& events) override;
  void draw(Framebuffer& framebuffer) override;
  void end_frame(const Framebuffer& framebuffer, float dt, float time, const Settings& settings,
                 FrameEvents& events) override;
  void listen(Soundscape& heard) const override;

  // Chosen by whoever runs the scene; init keeps them.
  RunEnd run_end = end_run_with_screenshot;
  CityRules rules = kFixedRunRules;
  // Loaded once by the program and copied by init instead of reading the
  // files again; null: init reads the asset files.
  const CityAssets* asset_source = nullptr;
  // Which rasteriser draws the world; the reference serves tests and the
  // benchmark. init resets it to fast like every other field, so set it
  // after init.
  RasterPath raster_path = RasterPath::fast;

  CityAssets assets;
  CityLayout city;
  CityObjects objects;
  PlayerState player;
  ViewState view;
  GrappleState grapple;
  Economy economy;
  Weather weather;
  MenuState menus;
  FrameClock clock;
  HudState hud;
  SceneSwitch switch_request;
  RuleProgress progress;
  Settings settings_copy;    // refreshed every frame
  int32_t rng_state = 1799;  // the one generator; init seeds it
  FrameEvents events;        // what this frame's step did
  CityPicture picture;
};

// The world's own motion on step_dt (0 while paused), in its fixed order of
// generator draws: traffic, pickups, fans, rain, bursts, cooldown, messages,
// the station. The title's flight runs the same.
void advance_world(CityScene& scene, Vec2 look, float step_dt);
// The frame's picture from the state: the city, or the panel over its
// background. Writes the framebuffer and the picture memory only.
void draw_city_frame(const CityScene& scene, CityPicture& picture, Framebuffer& target);
// What the city sounds like to its player (city_sound.cpp).
void listen_to_city(const CityScene& scene, Soundscape& heard);

}  // namespace vel
