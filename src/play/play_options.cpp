// play_options.cpp: reading the play program's command line.
#include "play/play_options.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "base/run_files.h"
#include "gfx/draw_workers.h"
#include "play/options_file.h"

namespace vel {

std::optional<int> parse_play_options(int argc, char** argv, PlayOptions& options) {
  CLI::App app{"Veltrocane: play the city with keyboard, mouse or controller."};
  CLI::Option* sensitivity = app.add_option(
      "--sensitivity", options.look.sensitivity,
      "View turn per mouse count and stick turn rate, times the default (default 1)");
  CLI::Option* invert_y = app.add_flag("--invert-y", options.look.invert_y,
                                       "Pushing the mouse or stick forward looks down");
  const CLI::Option* files[] = {
      app.add_option("--record", options.record_path, "Write the game as it is played to FILE"),
      app.add_option("--replay", options.replay_path, "Show a recording instead of playing"),
      app.add_option("--state", options.state_path,
                     "Write the state file (JSON) when the run ends"),
      app.add_option("--wav", options.wav_path,
                     "Write the sound track as played (48 kHz stereo WAV); a replay's --wav of "
                     "the recording is the same file"),
      app.add_option("--ppm", options.ppm_path,
                     "Write the last picture (binary PPM) when the run ends")};
  CLI::Option* interlace =
      app.add_flag("--interlace", options.interlace,
                   "Draw every other row each frame (the fixed run's look); off by default");
  CLI::Option* scale = app.add_option("--scale", options.scale,
                                      "Draw the picture at 320N x 180N, N from 1 to 6 (default 1)")
                           ->check(CLI::Range(1, kLargestScale));
  app.add_option("--threads", options.threads,
                 "Threads that draw the picture, 1 to 64 (default: one per core)")
      ->check(CLI::Range(1, kMostDrawThreads));
  app.add_flag("--uncapped", options.uncapped,
               "With vsync off, run as fast as possible instead of at the display's rate");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    std::cerr << "veltrocane-play: " << error.what() << " (see --help)\n";
    return 2;
  }
  options.given = {sensitivity->count() > 0, invert_y->count() > 0, interlace->count() > 0,
                   scale->count() > 0};
  const float s = options.look.sensitivity;
  if (!std::isfinite(s) || !(s > 0.0f) || s > kMostSensitivity) {
    std::cerr << "veltrocane-play: --sensitivity must be above 0 and at most 100\n";
    return 2;
  }
  // An empty value would read as the option not given at all.
  std::vector<RunFile> given;
  for (const CLI::Option* option : files) {
    if (option->count() > 0) given.push_back({option->get_name(), option->as<std::string>()});
  }
  if (const std::string error = empty_option_value(given); !error.empty()) {
    std::cerr << "veltrocane-play: " << error << "\n";
    return 2;
  }
  if (!options.record_path.empty() && !options.replay_path.empty()) {
    std::cerr << "veltrocane-play: --record and --replay cannot be used together\n";
    return 2;
  }
  // Before anything is read or written: no output may replace an input or
  // another output.
  const RunFile inputs[] = {
      {"--replay", options.replay_path},
      {"the settings file", options.replay_path.empty() ? "settings.txt" : ""}};
  const RunFile outputs[] = {{"--record", options.record_path},
                             {"--state", options.state_path},
                             {"--ppm", options.ppm_path},
                             {"--wav", options.wav_path}};
  if (const std::string error = clashing_run_file(inputs, outputs); !error.empty()) {
    std::cerr << "veltrocane-play: " << error << "\n";
    return 2;
  }
  return std::nullopt;
}

}  // namespace vel
