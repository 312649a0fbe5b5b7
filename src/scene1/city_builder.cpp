// city_builder.cpp: the procedural city: stacked blocks on a jittered
// quarter disc, roof terraces and fittings, chips and batteries, the antenna.
//
// Every generator draw happens in a fixed order and count (5 per accepted
// cell, 2 per skipped cell, 2 more for each chip and battery): the traffic
// and the rain that follow draw from the same sequence, so one draw more or
// less here moves everything after it.
#include "scene1/city_builder.h"

#include <cmath>
#include <limits>
#include <string>

#include "base/rng.h"
#include "base/saturate.h"
#include "gfx/matrix.h"

namespace vel {

namespace {

constexpr float kBlockHeight = 15.0f;  // one stacked block
constexpr float kRoofHalfSize = 7.5f;  // half a block's footprint
constexpr float kJitter = 5.0f;        // cell positions move by up to +-5
// Pi cut to six decimals: the roof plates' tilt and the city's positions
// are built from this value, so a closer pi would move them.
constexpr float kHalfTurn = 3.141592f;

// (2u - 1) * 5: a jitter in -5..5.
float jitter(int32_t r) {
  return (2.0f * rng_unit(r) - 1.0f) * kJitter;
}

std::string cell_name(const char* prefix, int32_t i, int32_t j) {
  return prefix + std::to_string(i) + "-" + std::to_string(j);
}

std::string item_name(const char* prefix, size_t number) {
  return prefix + std::to_string(number);
}

void add_with_bounds(std::vector<SceneObject>& list, SceneObject object,
                     const std::vector<Mesh>& meshes) {
  update_object_bounds(object, meshes[object.mesh], true);
  list.push_back(std::move(object));
}

// How one kind of pickup is made: its item and its indicator.
struct PickupMaker {
  ObjectKind item_kind;
  ObjectKind indicator_kind;
  const char* item_prefix;
  const char* indicator_prefix;
  uint64_t item_mesh;
  uint64_t item_texture;
  uint64_t indicator_texture;
};

constexpr PickupMaker kChipMaker{
    ObjectKind::chip,    ObjectKind::chip_indicator,  "chip", "chip_indic", mesh_slot::kChip,
    texture_slot::kChip, texture_slot::kChipIndicator};
constexpr PickupMaker kBatteryMaker{ObjectKind::battery,
                                    ObjectKind::battery_indicator,
                                    "battery",
                                    "batt_indic",
                                    mesh_slot::kBattery,
                                    texture_slot::kBattery,
                                    texture_slot::kBatteryIndicator};

// A pickup on the roof whose corner is `roof` (x, the roof's height, z): the
// item floats one unit above its indicator, somewhere over the cell's roof
// quarter. Neither gets bounds: pickups are tested by position only.
void add_pickup(int32_t& rng_state, std::vector<SceneObject>& items,
                std::vector<SceneObject>& indicators, const PickupMaker& maker, Vec3 roof) {
  const int32_t ra = rng_next(rng_state);
  const int32_t rb = rng_next(rng_state);
  const float px = roof.x + kRoofHalfSize * rng_unit(ra);
  const float pz = roof.z + kRoofHalfSize * rng_unit(rb);
  const size_t number = items.size() + 1;
  const Vec3 unit_scale{1.0f, 1.0f, 1.0f};
  items.push_back(make_object(maker.item_kind, item_name(maker.item_prefix, number),
                              maker.item_mesh, maker.item_texture, {px, roof.y + 1.0f, pz},
                              unit_scale));
  indicators.push_back(make_object(maker.indicator_kind, item_name(maker.indicator_prefix, number),
                                   mesh_slot::kIndicator, maker.indicator_texture, {px, roof.y, pz},
                                   unit_scale));
}

}  // namespace

SceneObject make_object(ObjectKind kind, std::string_view name, uint64_t mesh, uint64_t texture,
                        Vec3 position, Vec3 scale) {
  SceneObject object;
  object.kind = kind;
  object.name = std::string(name);
  object.mesh = mesh;
  object.texture = texture;
  object.scale = scale;
  object.solid = is_solid_kind(kind);
  compose_transform(object);
  set_translation(object.transform, position);
  return object;
}

Vec3 build_city(CityLayout& city, const std::vector<Mesh>& meshes, int32_t& rng_state,
                CityObjects& objects) {
  const StyleLook look = style_look(city.style);
  const int32_t n = city.grid_size;
  const float pitch = kBlockHeight * city.block_factor;       // cell pitch
  const float radius = static_cast<float>(n) * pitch / 2.0f;  // quarter-disc radius
  const float height_steps = static_cast<float>(city.height_steps);
  const size_t battery_cap = static_cast<size_t>((n * n) >> 1);
  const size_t chip_cap = city.max_chips > 0 ? static_cast<size_t>(city.max_chips) : 0;
  const Vec3 unit_scale{1.0f, 1.0f, 1.0f};
  const Vec3 roof_scale{kRoofHalfSize, 1.0f, kRoofHalfSize};

  struct Lowest {
    float height = std::numeric_limits<float>::max();
    float x = 0.0f;
    float z = 0.0f;
  } lowest;
  struct Tallest {
    float height = -std::numeric_limits<float>::max();
    size_t terrace = 0;
    float x = 0.0f;
    float z = 0.0f;
  } tallest;

  // Turns the quad's local y axis into world z: a horizontal roof plate.
  // cos(a) comes out as 3.1391647e-7, not 0, and the plates keep that tilt.
  const Mat4 terrace_rotation = axis_rotation(0, kHalfTurn / 2.0f);

  for (int32_t i = 0; i < n; ++i) {
    for (int32_t j = 0; j < n; ++j) {
      const int32_t r1 = rng_next(rng_state);
      const int32_t r2 = rng_next(rng_state);
      const float x = static_cast<float>(i) * pitch + jitter(r1);
      const float z = static_cast<float>(j) * pitch + jitter(r2);
      if (std::sqrt(x * x + z * z) > radius) continue;

      const int32_t r3 = rng_next(rng_state);
      // With two height steps: no floor below u = 0.3, one below 0.8, else two.
      const int32_t floors = trunc_i32(rng_unit(r3) * height_steps + 0.4f);
      const int32_t pieces = floors + 1;
      for (int32_t k = 0; k < pieces; ++k) {
        const Vec3 at{x, kBlockHeight * static_cast<float>(k), z};
        if (k == 0) {
          add_with_bounds(objects.statics,
                          make_object(ObjectKind::base_block, cell_name("base ", i, j),
                                      mesh_slot::kBlock, look.base_texture, at, unit_scale),
                          meshes);
        } else {
          add_with_bounds(objects.statics,
                          make_object(ObjectKind::floor_block, cell_name("building ", i, j),
                                      mesh_slot::kBlock, look.floor_texture, at, unit_scale),
                          meshes);
        }
      }

      const float roof = kBlockHeight * static_cast<float>(pieces);
      // Strict comparisons: on equal heights the first cell in loop order wins.
      if (roof < lowest.height) lowest = {roof, x, z};
      if (roof > tallest.height) tallest = {roof, objects.statics.size(), x, z};

      SceneObject terrace =
          make_object(ObjectKind::terrace, cell_name("terrace", i, j), mesh_slot::kQuad,
                      look.terrace_texture, {x, roof, z}, roof_scale);
      terrace.rotation = terrace_rotation;
      compose_transform(terrace);
      terrace.uv_scale = {2.0f, 2.0f};
      // The fan roofs hide the terrace under their grid; it stays solid.
      terrace.visible = city.style != CityStyle::fan_roofs;
      add_with_bounds(objects.statics, std::move(terrace), meshes);

      if (city.style == CityStyle::fan_roofs) {
        add_with_bounds(
            objects.statics,
            make_object(ObjectKind::fan_container, cell_name("fancontainer", i, j),
                        mesh_slot::kFanContainer, texture_slot::kFan, {x, roof, z}, roof_scale),
            meshes);
        add_with_bounds(objects.fans,
                        make_object(ObjectKind::fan, cell_name("fan", i, j), mesh_slot::kFan,
                                    texture_slot::kFan, {x, roof, z}, roof_scale),
                        meshes);
        add_with_bounds(objects.statics,
                        make_object(ObjectKind::grid_terrace, cell_name("gridterrace", i, j),
                                    mesh_slot::kGridTerrace, texture_slot::kGridTerrace,
                                    {x, roof, z}, roof_scale),
                        meshes);
      }

      const int32_t chip_roll = rng_next(rng_state);
      if (rng_unit(chip_roll) > 0.5f && objects.chips.size() < chip_cap) {
        add_pickup(rng_state, objects.chips, objects.chip_indicators, kChipMaker, {x, roof, z});
      }
      const int32_t battery_roll = rng_next(rng_state);
      if (rng_unit(battery_roll) > 0.5f && objects.batteries.size() < battery_cap) {
        add_pickup(rng_state, objects.batteries, objects.battery_indicators, kBatteryMaker,
                   {x, roof, z});
      }
    }
  }

  // The first cell always lies within 5*sqrt(2) of the origin, well inside
  // the disc, so there is at least one terrace to mark.
  if (tallest.terrace < objects.statics.size()) {
    objects.statics[tallest.terrace].texture = texture_slot::kStationTerrace;
  }
  const Vec3 station{tallest.x, tallest.height, tallest.z};
  // The state file names the antenna "anenna", and tools that read it look
  // for that name: keep the spelling.
  add_with_bounds(objects.statics,
                  make_object(ObjectKind::antenna, "anenna", mesh_slot::kAntenna,
                              texture_slot::kAntenna, station, {3.0f, 3.0f, 3.0f}),
                  meshes);
  city.station_position = station;
  return {lowest.x, lowest.height - kBlockHeight, lowest.z - kBlockHeight};
}

}  // namespace vel
