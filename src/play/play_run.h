// play_run.h: the played game without its devices or window: the scene
// list (title, city) in the one frame loop, the assets both share, and
// what it writes when it ends. The live shell and the headless replay
// share every line of this, so a replay follows the game exactly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "play/game_loop.h"
#include "play/played_city.h"
#include "play/progress_file.h"
#include "scene1/city_scene.h"

namespace vel {

struct PlayRun {
  CityAssets assets;                // read once; the title's city and the played one copy them
  Progress progress;                // the player's, as the run found and added to it
  bool help_seen = false;           // the help page greeted the first city of the run
  GameLoop loop;                    // [kTitleSceneIndex] title, [kCitySceneIndex] city
  const CityScene* city = nullptr;  // the played city, for the state file
};

// The scenes, built but not initialised, on assets read now from assets/
// under `data_root` (empty: the working folder).
// The city's timed ending is switched off: a played game goes on past it.
// With `play_rules` the city runs the played game's rules (kPlayRules) and
// the title shows the goal and the best level. The record is not moved
// once made: the scenes point into it.
// The picture is drawn at `scale` (1..kLargestScale).
std::unique_ptr<PlayRun> make_play_run(bool play_rules = false, int32_t scale = 1,
                                       const std::string& data_root = {});

// Whether the title and the played panel offer OPTIONS: the live game's
// do; a recording made before them replays without, so that its menu keys
// land on the items they did.
void offer_options(PlayRun& run, bool offered);

// The state file of a run: the city's state (as the headless runner
// writes it) with the current scene's index. Empty string on success.
std::string write_play_state(const PlayRun& run, const std::string& path);

}  // namespace vel
