// scene_init.h: the pieces of Scene::init: the asset manifest and the
// construction of a fresh city record from loaded assets.
#pragma once

#include <string>
#include <vector>

#include "gfx/image.h"
#include "gfx/mesh.h"
#include "scene1/city_scene.h"
#include "scene_api/settings.h"

namespace vel {

// The 49 texture and 23 mesh slots, read in slot order from assets/ under
// `root` (empty: the working folder, as the fixed run reads them); a reader
// failure ends the program with the reader's message.
std::vector<Image> load_texture_slots(const std::string& root = {});
std::vector<Mesh> load_mesh_slots(const std::string& root = {});
// The played game's art (play_texture_slot, play_mesh_slot), textures
// first; a reader failure ends the program with the reader's message.
PlayArt load_play_art(const std::string& root = {});
// Both tables, textures first, as init reads them, and the play art after
// them when the rules draw the pickups; a program that builds cities again
// and again loads them once and gives init the copy to use
// (CityScene::asset_source).
CityAssets load_city_assets(const CityRules& rules = kFixedRunRules, const std::string& root = {});

// Everything init does once the asset tables are in `fresh` (a
// default-constructed record): style, city parameters, the city and its
// traffic, camera and projection, rain, lighting, counters and the player.
void build_scene(CityScene& fresh, const Settings& settings, float time);

// What belongs to whoever runs the scene and survives every rebuild (init
// and a new level): the ending, the rules, the loaded assets to copy and
// the drawing path. The one list of it.
void keep_runner_choices(CityScene& fresh, CityScene& old);

}  // namespace vel
