// asset_slots.h: the one place that names the city's texture and mesh
// slots. Objects hold slot numbers (the state file writes them), so every
// number is fixed; the manifest in scene_init.cpp gives each named slot its
// file, and every slot not named there holds the placeholder.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vel {

inline constexpr size_t kTextureSlots = 49;
inline constexpr size_t kMeshSlots = 23;

namespace texture_slot {
inline constexpr uint64_t kSmallFont = 0;  // HUD, panel and menu text
inline constexpr uint64_t kTitleFont = 1;  // the device menu's heading
inline constexpr uint64_t kFloor = 3;      // building floors of the city's usual look
inline constexpr uint64_t kAntenna = 4;
// The tallest building's terrace, where the device station is; the grapple's
// hit markers wear it too.
inline constexpr uint64_t kStationTerrace = 5;
inline constexpr uint64_t kTerrace = 6;
inline constexpr uint64_t kBase = 9;  // building bases of the usual look
// Three corners of the crosshair: loaded, never drawn.
inline constexpr uint64_t kCrosshairTopRight = 11;
inline constexpr uint64_t kCrosshairBottomRight = 12;
inline constexpr uint64_t kCrosshairBottomLeft = 13;
inline constexpr uint64_t kCar = 15;
inline constexpr uint64_t kDistantFloor = 16;  // floors seen from far away
inline constexpr uint64_t kDrone = 19;
inline constexpr uint64_t kSocket = 30;  // the panel's empty device sockets
inline constexpr uint64_t kChip = 31;
inline constexpr uint64_t kChipIndicator = 32;
inline constexpr uint64_t kGreyRainFloor = 34;
inline constexpr uint64_t kGreyRainTerrace = 35;
inline constexpr uint64_t kGreyRainBase = 36;
inline constexpr uint64_t kGreyRainDistantFloor = 37;
inline constexpr uint64_t kFanRoofsFloor = 38;
inline constexpr uint64_t kGridTerrace = 39;
inline constexpr uint64_t kFan = 40;  // fans and their containers
inline constexpr uint64_t kFanRoofsBase = 41;
inline constexpr uint64_t kMagneticGrapple = 42;  // the device menu's three devices
inline constexpr uint64_t kForceFieldGrapple = 43;
inline constexpr uint64_t kFrequencyScanner = 44;
inline constexpr uint64_t kGreyRainCar = 45;
inline constexpr uint64_t kBattery = 46;
inline constexpr uint64_t kBatteryIndicator = 47;
inline constexpr uint64_t kCore = 48;  // the panel's installed nuclear core
}  // namespace texture_slot

namespace mesh_slot {
inline constexpr uint64_t kQuad = 0;   // terraces
inline constexpr uint64_t kBlock = 1;  // building bases and floors
inline constexpr uint64_t kAntenna = 2;
inline constexpr uint64_t kCar = 3;  // cars of every look but the grey rain; the hit markers
inline constexpr uint64_t kDrone = 10;
inline constexpr uint64_t kChip = 11;
inline constexpr uint64_t kIndicator = 12;  // chip and battery indicators
inline constexpr uint64_t kGridTerrace = 14;
inline constexpr uint64_t kFan = 15;
inline constexpr uint64_t kFanContainer = 16;
inline constexpr uint64_t kMagneticGrapple = 17;  // the device menu's three devices
inline constexpr uint64_t kForceFieldGrapple = 18;
inline constexpr uint64_t kFrequencyScanner = 19;
inline constexpr uint64_t kGreyRainCar = 20;
inline constexpr uint64_t kBattery = 21;
inline constexpr uint64_t kCore = 22;  // the panel's installed nuclear core and its sockets
}  // namespace mesh_slot

// The played game's own art: tables of their own (CityAssets::play), read
// only when the rules draw the pickups, so the fixed run loads, lists and
// draws exactly the tables above.
inline constexpr size_t kPlayTextureSlots = 4;
inline constexpr size_t kPlayMeshSlots = 3;

namespace play_texture_slot {
inline constexpr uint64_t kChip = 0;
inline constexpr uint64_t kBattery = 1;
inline constexpr uint64_t kChipBeam = 2;  // the light rising above a chip
inline constexpr uint64_t kBatteryBeam = 3;
}  // namespace play_texture_slot

namespace play_mesh_slot {
inline constexpr uint64_t kChip = 0;
inline constexpr uint64_t kBattery = 1;
inline constexpr uint64_t kBeam = 2;  // both kinds of beam
}  // namespace play_mesh_slot

}  // namespace vel
