// state_json.h: the city scene's state file: its state as JSON, written by
// the headless runner and the play program alike so the two can be compared.
//
// Floats are written as the double of their exact value, so reading a
// number back as a double and rounding it to float gives the same 32-bit
// value. Vectors are arrays; flags are booleans.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "scene1/city_scene.h"

namespace vel {

// `frame` is the number of frames run (0: right after init), `time` the
// time handed to the last of them.
nlohmann::json scene_state_json(const CityScene& scene, uint64_t frame, float time);

// Writes the text to the file through write_whole_file (complete or not at
// all); returns an empty string on success, else the error naming the file.
std::string write_text_file(const std::string& path, const std::string& text);

}  // namespace vel
