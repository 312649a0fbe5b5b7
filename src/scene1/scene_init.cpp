// scene_init.cpp: Scene::init of the city: the asset manifest, the city
// parameters, the city and its traffic, camera, rain, lighting and the
// player's start, built on a fresh record that then replaces the old one.
#include "scene1/scene_init.h"

#include <array>
#include <string_view>
#include <utility>

#include "base/asset_root.h"
#include "base/rng.h"
#include "gfx/camera.h"
#include "gfx/obj_reader.h"
#include "gfx/tga_reader.h"
#include "scene1/city_builder.h"
#include "scene1/city_scene.h"
#include "scene1/traffic.h"

namespace vel {

namespace {

constexpr const char* kPlaceholderTexture = "assets/crosshair2_tl.tga";
constexpr const char* kPlaceholderMesh = "assets/quad.obj";

constexpr size_t kRainDrops = 100;
constexpr float kNearPlane = 0.01f;
constexpr float kStartPitch = -0.4f;
constexpr float kStartYaw = 2.4347337f;             // towards the city from the start
constexpr Vec3 kStartVelocity{1.25f, 25.0f, 4.5f};  // the player starts rising

// Room for what play appends, so the frame loop does not allocate.
constexpr size_t kMarkerRoom = 64;
constexpr size_t kBurstRoom = 64;
constexpr size_t kMessageRoom = 64;

// Every slot the game names, with its file; slots reserved for art that is
// not finished load the placeholder under their name, and unnamed slots
// load it too.
std::array<const char*, kTextureSlots> texture_manifest() {
  namespace slot = texture_slot;
  std::array<const char*, kTextureSlots> paths;
  paths.fill(kPlaceholderTexture);
  paths[slot::kSmallFont] = kPlaceholderTexture;
  paths[slot::kTitleFont] = kPlaceholderTexture;
  paths[slot::kFloor] = "assets/building_3.tga";
  paths[slot::kAntenna] = "assets/antenna.tga";
  paths[slot::kStationTerrace] = "assets/terrace_2.tga";
  paths[slot::kTerrace] = "assets/terrace.tga";
  paths[slot::kBase] = "assets/building_3_base.tga";
  paths[slot::kCrosshairTopRight] = "assets/crosshair2_tr.tga";
  paths[slot::kCrosshairBottomRight] = "assets/crosshair2_br.tga";
  paths[slot::kCrosshairBottomLeft] = "assets/crosshair2_bl.tga";
  paths[slot::kCar] = "assets/car1/tex.tga";
  paths[slot::kDistantFloor] = "assets/building_3_32.tga";
  paths[slot::kDrone] = "assets/drone/drone.tga";
  paths[slot::kSocket] = kPlaceholderTexture;
  paths[slot::kChip] = kPlaceholderTexture;
  paths[slot::kChipIndicator] = kPlaceholderTexture;
  paths[slot::kGreyRainFloor] = kPlaceholderTexture;
  paths[slot::kGreyRainTerrace] = kPlaceholderTexture;
  paths[slot::kGreyRainBase] = kPlaceholderTexture;
  paths[slot::kGreyRainDistantFloor] = kPlaceholderTexture;
  paths[slot::kFanRoofsFloor] = kPlaceholderTexture;
  paths[slot::kGridTerrace] = kPlaceholderTexture;
  paths[slot::kFan] = kPlaceholderTexture;
  paths[slot::kFanRoofsBase] = kPlaceholderTexture;
  paths[slot::kMagneticGrapple] = kPlaceholderTexture;
  paths[slot::kForceFieldGrapple] = kPlaceholderTexture;
  paths[slot::kFrequencyScanner] = kPlaceholderTexture;
  paths[slot::kGreyRainCar] = kPlaceholderTexture;
  paths[slot::kBattery] = kPlaceholderTexture;
  paths[slot::kBatteryIndicator] = kPlaceholderTexture;
  paths[slot::kCore] = kPlaceholderTexture;
  return paths;
}

std::array<const char*, kMeshSlots> mesh_manifest() {
  namespace slot = mesh_slot;
  std::array<const char*, kMeshSlots> paths;
  paths.fill(kPlaceholderMesh);
  paths[slot::kQuad] = "assets/quad.obj";
  paths[slot::kBlock] = "assets/building_1_base.obj";
  paths[slot::kAntenna] = "assets/antenna.obj";
  paths[slot::kCar] = "assets/car1/car1.obj";
  paths[slot::kDrone] = "assets/drone/drone.obj";
  paths[slot::kChip] = kPlaceholderMesh;
  paths[slot::kIndicator] = kPlaceholderMesh;
  paths[slot::kGridTerrace] = kPlaceholderMesh;
  paths[slot::kFan] = kPlaceholderMesh;
  paths[slot::kFanContainer] = kPlaceholderMesh;
  paths[slot::kMagneticGrapple] = kPlaceholderMesh;
  paths[slot::kForceFieldGrapple] = kPlaceholderMesh;
  paths[slot::kFrequencyScanner] = kPlaceholderMesh;
  paths[slot::kGreyRainCar] = kPlaceholderMesh;
  paths[slot::kBattery] = kPlaceholderMesh;
  paths[slot::kCore] = kPlaceholderMesh;
  return paths;
}

// The played game's art, in its own slot order: a reader failure names the
// file, as for the tables above.
std::array<const char*, kPlayTextureSlots> play_texture_manifest() {
  namespace slot = play_texture_slot;
  std::array<const char*, kPlayTextureSlots> paths{};
  paths[slot::kChip] = "assets/play/chip.tga";
  paths[slot::kBattery] = "assets/play/battery.tga";
  paths[slot::kChipBeam] = "assets/play/chip_beam.tga";
  paths[slot::kBatteryBeam] = "assets/play/battery_beam.tga";
  return paths;
}

std::array<const char*, kPlayMeshSlots> play_mesh_manifest() {
  namespace slot = play_mesh_slot;
  std::array<const char*, kPlayMeshSlots> paths{};
  paths[slot::kChip] = "assets/play/chip.obj";
  paths[slot::kBattery] = "assets/play/battery.obj";
  paths[slot::kBeam] = "assets/play/beam.obj";
  return paths;
}

// Loads the slots in order, each path read under `root` (empty: the
// working folder). A file named in several slots is read the first time its
// slot comes up and copied into the later ones: the contents are the same
// as reading it again, and a failure still stops at the first slot that
// names the file.
template <class Record, size_t N, class Reader>
std::vector<Record> load_slots(const std::array<const char*, N>& paths, const std::string& root,
                               Reader read) {
  std::vector<Record> slots;
  slots.reserve(N);
  for (size_t slot = 0; slot < N; ++slot) {
    size_t earlier = 0;
    while (earlier < slot && std::string_view(paths[earlier]) != paths[slot]) ++earlier;
    if (earlier < slot) {
      slots.push_back(slots[earlier]);
    } else {
      slots.push_back(read(under_root(root, paths[slot])));
    }
  }
  return slots;
}

}  // namespace

std::vector<Image> load_texture_slots(const std::string& root) {
  return load_slots<Image>(texture_manifest(), root,
                           [](const std::string& path) { return read_tga(path); });
}

std::vector<Mesh> load_mesh_slots(const std::string& root) {
  return load_slots<Mesh>(mesh_manifest(), root,
                          [](const std::string& path) { return read_obj(path); });
}

PlayArt load_play_art(const std::string& root) {
  PlayArt art;
  art.textures = load_slots<Image>(play_texture_manifest(), root,
                                   [](const std::string& path) { return read_tga(path); });
  art.meshes = load_slots<Mesh>(play_mesh_manifest(), root,
                                [](const std::string& path) { return read_obj(path); });
  return art;
}

void build_scene(CityScene& fresh, const Settings& settings, float time) {
  // Every run is the storm, from the one seed: the city, the traffic and the
  // rain below draw from it in this order.
  fresh.rng_state = kRngSeed;
  fresh.city.style = CityStyle::storm;

  // City parameters from the level (1 on a fresh record; the play rules'
  // level advance builds on a record with a higher one).
  const int32_t level = fresh.city.level;
  fresh.city.grid_size = 2 * level + 4;
  fresh.city.block_factor = 0.1f * static_cast<float>(level) + 2.0f;
  fresh.city.lane_offset = 5.0f;
  fresh.city.height_steps = level + 1;
  fresh.city.car_count = 8 * level + 10;
  fresh.city.drone_count = 30 * level + 20;
  fresh.view.render_flags.interlace = settings.interlaced ? 1 : 0;
  fresh.city.max_chips = 40;

  const Vec3 start = build_city(fresh.city, fresh.assets.meshes, fresh.rng_state, fresh.objects);
  create_traffic(fresh.city, fresh.assets.meshes, fresh.rng_state, fresh.objects);

  const StyleLook look = style_look(fresh.city.style);
  fresh.view.distance = look.view_distance;
  fresh.view.camera.eye = {0.0f, 0.0f, 0.0f};
  fresh.view.pitch = kStartPitch;
  fresh.view.camera.projection = perspective(kNearPlane, fresh.view.distance);
  fresh.view.yaw = kStartYaw;

  if (look.rain) {
    fresh.weather.rain.reserve(kRainDrops);
    for (size_t k = 0; k < kRainDrops; ++k) {
      const int32_t r1 = rng_next(fresh.rng_state);
      const int32_t r2 = rng_next(fresh.rng_state);
      fresh.weather.rain.push_back({rng_unit(r1), 1.0f, rng_unit(r2)});
    }
  }

  Lighting& lighting = fresh.view.lighting;
  lighting.ambient = {0.1f, 0.1f, 0.1f, 1.0f};
  lighting.light_colour = {1.0f, 1.0f, 1.0f, 1.0f};
  lighting.fog_colour = {look.fog_colour.r, look.fog_colour.g, look.fog_colour.b, 1.0f};
  lighting.light_position = {3.0f, 3.0f, 23.0f};
  lighting.light_direction = {-0.2f, -1.0f, 0.0f};
  lighting.fog_start = fresh.view.distance - 40.0f;
  lighting.fog_end = fresh.view.distance - 20.0f;
  lighting.light_range = 500.0f;
  lighting.light_type = kDirectionalLight;
  lighting.lighting_enabled = false;
  lighting.fog_enabled = true;
  fresh.view.frame_distance = fresh.view.distance;
  fresh.view.frame_fog = lighting.fog_enabled;

  fresh.hud.fps_frames = 0;
  fresh.hud.fps_time = 0.0f;
  fresh.hud.fps_text = "LOL";
  fresh.clock.start_time = time;

  fresh.player.body = PlayerBody{};
  fresh.player.body.velocity = kStartVelocity;
  fresh.player.body.position = start;

  fresh.objects.markers.reserve(kMarkerRoom);
  fresh.grapple.drone_bursts.reserve(kBurstRoom);
  fresh.objects.pickup_bursts.reserve(kBurstRoom);
  fresh.hud.messages.reserve(kMessageRoom);
  fresh.progress.chips_placed = static_cast<int32_t>(fresh.objects.chips.size());
  fresh.progress.start_body = fresh.player.body;
}

void keep_runner_choices(CityScene& fresh, CityScene& old) {
  fresh.run_end = std::move(old.run_end);
  fresh.rules = old.rules;
  fresh.asset_source = old.asset_source;
  fresh.raster_path = old.raster_path;
}

CityAssets load_city_assets(const CityRules& rules, const std::string& root) {
  CityAssets assets;
  assets.textures = load_texture_slots(root);
  assets.meshes = load_mesh_slots(root);
  if (rules.draw_pickups) assets.play = load_play_art(root);
  return assets;
}

void CityScene::init(const Settings& settings, float time) {
  // All the work happens on a new record: a reader failure ends the program
  // before anything of this one has changed.
  CityScene fresh;
  fresh.assets = asset_source != nullptr ? *asset_source : load_city_assets(rules);
  // A shared copy loaded for other rules lacks the play art these need.
  if (rules.draw_pickups && fresh.assets.play.meshes.empty()) fresh.assets.play = load_play_art();
  build_scene(fresh, settings, time);
  keep_runner_choices(fresh, *this);
  *this = std::move(fresh);
}

}  // namespace vel
