// bench.h: veltrocane-sim --bench: Scene::update timed on the reference and
// the fast rasteriser in one run, over the default course and over a course
// seen from high above the whole city.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>

#include "scene1/city_scene.h"
#include "scene_api/settings.h"
#include "sim/input_script.h"

namespace vel {

// The run the sim was asked for: the default course is exactly that run
// (its step, its length, its input); without a length it lasts until the
// scene's own ending at 12.6 s, as the game does.
struct BenchRequest {
  float step = 1.0f / 60.0f;
  std::optional<uint64_t> frames;
  const InputScript* script = nullptr;  // none: the all-zero input
  // Each course runs this many times on each path, alternating the paths;
  // a frame's time is its least over the runs, which drops the moments
  // another process had the processor.
  int runs = 5;
  int32_t scale = 1;    // the picture 320N x 180N
  int32_t threads = 1;  // the threads that draw it
  // Only the default course on both paths, reported for the table of
  // scales and threads (see below); without it the whole report.
  bool table_row = false;
};

// The high view's camera for the frame at `time`: the player's body is put
// back at a fixed point high above the city, still, before every frame, and
// the view turns slowly to and fro.
void hold_high_view(CityScene& scene, float time);

// Prints the report to `out`. Its first three lines ("frames: N",
// "median: X ms per frame", "mean: X ms per frame") give the default path
// over the whole default course; its last reads "speedup: X.XX", the ratio
// of the median frame times reference / fast over the default course's
// city view (time 5 s to 12.6 s; all frames when the run has none there).
// Before it, the fast path's default course in the level-3 city of the
// played game against the level-1 city. Returns false, after saying so,
// when the two paths drew any frame differently.
bool run_bench(const Settings& settings, const BenchRequest& request, std::ostream& out);

}  // namespace vel
