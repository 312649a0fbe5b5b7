// city_fixture.h: city scenes for the tests: built from small stand-in
// assets made in code (no files), or from the real assets/ directory.
#pragma once

#include <vector>

#include "gfx/image.h"
#include "gfx/mesh.h"
#include "scene1/city_scene.h"

namespace vel::test {

// A closed box from lo to hi, every face wound counter-clockwise seen from
// outside (so its geometric normals point out).
Mesh box_mesh(Vec3 lo, Vec3 hi);
// The roof plate: the square (-1..1, -1..1) in the local x-y plane, wound so
// that its normal points along local -z, which the terrace rotation turns
// into world +y.
Mesh roof_quad_mesh();
// Every mesh slot: the terraces' quad slot holds the roof plate, every other
// a block-sized box (x and z -7.5..7.5, y 0..15) like the real building
// block.
std::vector<Mesh> stand_in_meshes();
// 49 small solid textures.
std::vector<Image> stand_in_textures();

// A scene built exactly as Scene::init builds it, but with the stand-in
// assets; run_end is left empty (the run never ends by itself).
void build_stand_in_scene(CityScene& scene);

// Scene::init with the real assets (the working directory must be the
// repository root), with an ending that records the picture instead of
// exiting.
struct EndedRun {
  bool ended = false;
  std::vector<uint8_t> picture;  // colour bytes at the first ending
};
void init_real_scene(CityScene& scene, EndedRun& ended);

}  // namespace vel::test
