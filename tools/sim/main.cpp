// main.cpp: veltrocane-sim, the city scene run headless with a fixed step
// and an all-zero (or scripted) input, for tests, debugging and benchmarks.
//
// Like the game it reads settings.txt (falling back to the defaults) and
// assets/ from the working directory (with --play-rules or --replay, an
// installed runner reads its own data folder's, as the played game does). Frame k (from 1) gets dt
// = the step and time = k * step, computed in float.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/sound_file.h"
#include "base/asset_root.h"
#include "base/run_files.h"
#include "base/standard_streams.h"
#include "base/text_syntax.h"
#include "gfx/draw_workers.h"
#include "gfx/framebuffer.h"
#include "gfx/screenshot.h"
#include "play/game_loop.h"
#include "play/progress_file.h"
#include "scene1/city_scene.h"
#include "scene1/scene_init.h"
#include "scene1/state_json.h"
#include "scene_api/settings.h"
#include "sim/bench.h"
#include "sim/input_script.h"
#include "sim/replay_run.h"

namespace {

constexpr int kUsageError = 2;
// Every frame runs dt / 0.01 physics steps; a longer step is surely a typo.
constexpr float kLongestStep = 60.0f;
// Without --frames the run lasts until the scene ends it after 12.6 s of
// its clock; a step so short that this takes more frames than a float
// counts exactly (2^24) would run for days, or never reach the end.
constexpr float kCourseSeconds = 12.6f;
constexpr float kMostCourseFrames = 16777216.0f;
// The benchmark keeps every frame's times and picture hash of several
// courses for its medians: a million frames is some 100 MB and hours of
// runs.
constexpr uint64_t kMostBenchFrames = 1000000;

struct Options {
  float step = 1.0f / 60.0f;
  std::optional<uint64_t> frames;
  std::string state_path;
  std::string ppm_path;
  std::string input_path;
  std::string replay_path;
  std::string wav_path;
  bool bench = false;
  bool play_rules = false;
  std::string progress_path;
  int32_t scale = 1;
  int32_t threads = 0;  // 0: one, or one per core with --scale
};

// The frame count as typed: decimal digits only (no sign, no 0x, and 010 is
// ten), at most the largest int64 so a count can never wrap or saturate.
std::optional<uint64_t> parse_frame_count(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const std::optional<uint64_t> count = vel::parse_index(text);
  if (!count || *count > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
  return count;
}

int usage_error(const std::string& message) {
  std::cerr << "veltrocane-sim: " << message << "\n";
  return kUsageError;
}

// The outputs asked for, after the last frame. Returns false (after saying
// why) when one cannot be written.
bool write_outputs(const Options& options, const vel::CityScene& scene,
                   const vel::Framebuffer& framebuffer, uint64_t frame, float time) {
  if (!options.state_path.empty()) {
    const std::string text = vel::scene_state_json(scene, frame, time).dump(1) + "\n";
    const std::string error = vel::write_text_file(options.state_path, text);
    if (!error.empty()) {
      usage_error("cannot write the state: " + error);
      return false;
    }
  }
  if (!options.ppm_path.empty()) {
    const std::string error = vel::write_picture(framebuffer.colour, framebuffer.width,
                                                 framebuffer.height, options.ppm_path);
    if (!error.empty()) {
      usage_error("cannot write the picture: " + error);
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  vel::open_closed_standard_streams();
  Options options;
  std::string frames_text;  // read by parse_frame_count, not by CLI11's number rules
  CLI::App app{
      "Runs the Veltrocane city scene without a window, with a fixed step. Without --frames "
      "the run ends as the game's does: screenshot.ppm, the line, exit 0."};
  CLI::Option* dt_option = app.add_option("--dt", options.step, "Seconds per frame (default 1/60)");
  CLI::Option* frames_option =
      app.add_option("--frames", frames_text,
                     "Run exactly this many frames; the scene's own ending then does nothing");
  CLI::Option* state_option = app.add_option("--state", options.state_path,
                                             "Write the scene state after the last frame (JSON)");
  CLI::Option* ppm_option = app.add_option("--ppm", options.ppm_path,
                                           "Write the picture after the last frame (binary PPM)");
  CLI::Option* input_option = app.add_option("--input", options.input_path,
                                             "Input script: FRAMES HELD [LOOK_X LOOK_Y] lines");
  CLI::Option* replay_option =
      app.add_option("--replay", options.replay_path,
                     "Run a recording of veltrocane-play to its last complete frame");
  CLI::Option* wav_option =
      app.add_option("--wav", options.wav_path,
                     "Write the played game's sound track of the run (48 kHz stereo WAV)");
  app.add_flag("--bench", options.bench,
               "Print the median and mean milliseconds per Scene::update (no screenshot)");
  CLI::Option* scale_option =
      app.add_option("--scale", options.scale,
                     "Draw the picture at 320N x 180N, N from 1 to 6 (default 1)")
          ->check(CLI::Range(1, vel::kLargestScale));
  CLI::Option* threads_option =
      app.add_option("--threads", options.threads,
                     "Threads that draw the picture, 1 to 64 (default 1; with --scale, one per "
                     "core)")
          ->check(CLI::Range(1, vel::kMostDrawThreads));
  app.add_flag("--play-rules", options.play_rules,
               "Run the played game's rules (chips buy upgrades, energy floor, levels, ...)");
  app.add_option("--progress", options.progress_path,
                 "With --play-rules: add the run's chips, levels and time to this progress file "
                 "(as the played game keeps it)");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    return usage_error(std::string(error.what()) + " (see --help)");
  }
  if (frames_option->count() > 0) {
    options.frames = parse_frame_count(frames_text);
    if (!options.frames) {
      if (frames_text.size() > 1 && frames_text[0] == '-' &&
          frames_text.find_first_not_of("0123456789", 1) == std::string::npos) {
        return usage_error("--frames must be 0 or more");
      }
      if (!frames_text.empty() &&
          frames_text.find_first_not_of("0123456789") == std::string::npos) {
        return usage_error("--frames " + frames_text + " is past the largest count, " +
                           std::to_string(INT64_MAX));
      }
      return usage_error("Could not convert: --frames = " + frames_text + " (see --help)");
    }
  }
  if (options.threads == 0)
    options.threads = scale_option->count() > 0 ? vel::machine_threads() : 1;
  const bool sized = scale_option->count() > 0 || threads_option->count() > 0;
  if (!(options.step > 0.0f) || options.step > kLongestStep) {
    return usage_error("--dt must be above 0 and at most 60 seconds");
  }

  // A file option given an empty value would read as not given at all.
  std::vector<vel::RunFile> given;
  for (const auto& [option, path] :
       {std::pair{state_option, &options.state_path}, std::pair{ppm_option, &options.ppm_path},
        std::pair{input_option, &options.input_path},
        std::pair{replay_option, &options.replay_path}, std::pair{wav_option, &options.wav_path}}) {
    if (option->count() > 0) given.push_back({option->get_name(), *path});
  }
  if (const std::string error = vel::empty_option_value(given); !error.empty()) {
    return usage_error(error);
  }
  if (!options.replay_path.empty() && dt_option->count() > 0) {
    return usage_error("--replay runs the recording's own frame times: no --dt");
  }
  if (!options.frames && options.step < kCourseSeconds / kMostCourseFrames) {
    return usage_error(
        "--dt is too short to reach the end of the run at 12.6 s in 16777216 frames: give "
        "--frames");
  }
  if (options.bench &&
      (options.frames ? *options.frames > kMostBenchFrames
                      : kCourseSeconds / options.step > static_cast<float>(kMostBenchFrames))) {
    return usage_error("--bench times at most " + std::to_string(kMostBenchFrames) +
                       " frames: give fewer --frames or a longer --dt");
  }
  {
    // Refused before anything is read or written: an output over an input
    // or over another output would replace it.
    const bool reads_settings = options.replay_path.empty();
    const vel::RunFile inputs[] = {{"--replay", options.replay_path},
                                   {"--input", options.input_path},
                                   {"the settings file", reads_settings ? "settings.txt" : ""}};
    const bool screenshot = !options.frames && !options.bench && options.replay_path.empty();
    const vel::RunFile outputs[] = {{"the screenshot", screenshot ? vel::kScreenshotName : ""},
                                    {"--state", options.state_path},
                                    {"--ppm", options.ppm_path},
                                    {"--wav", options.wav_path}};
    if (const std::string error = vel::clashing_run_file(inputs, outputs); !error.empty()) {
      return usage_error(error);
    }
  }

  if (!options.replay_path.empty()) {
    if (!options.input_path.empty() || options.frames || options.bench || options.play_rules) {
      return usage_error(
          "--replay runs the recording's own frames and rules: no --input, --frames, --bench or "
          "--play-rules");
    }
    if (!options.progress_path.empty()) {
      return usage_error("--replay never changes a progress file: no --progress");
    }
    return vel::run_replay(options.replay_path, options.state_path, options.ppm_path,
                           options.wav_path, scale_option->count() > 0 ? options.scale : 0,
                           options.threads);
  }

  if (!options.progress_path.empty() && (!options.play_rules || options.bench)) {
    return usage_error("--progress needs --play-rules and no --bench");
  }
  vel::InputScript script;
  if (!options.input_path.empty()) {
    vel::ParseResult<vel::InputScript> loaded = vel::load_input_script(options.input_path);
    if (!loaded) return usage_error(loaded.error);
    script = std::move(*loaded.value);
  }

  vel::Settings settings = vel::load_settings("settings.txt");
  if (options.bench) {
    if (!options.wav_path.empty()) return usage_error("--bench writes no sound: no --wav");
    vel::BenchRequest request{options.step, options.frames, &script};
    if (sized) {
      // A row of the table of scales and threads: whole pictures, as the
      // played game draws them.
      settings.interlaced = false;
      request.scale = options.scale;
      request.threads = options.threads;
      request.table_row = true;
    }
    const bool identical = vel::run_bench(settings, request, std::cout);
    if (const std::string failure = vel::standard_output_failure(); !failure.empty()) {
      return usage_error(failure);
    }
    return identical ? 0 : 1;
  }
  // The list of one scene, as the game's: EXIT (0) builds the city afresh,
  // RESTART names no scene and is ignored, a quit ends the run.
  vel::GameLoop loop;
  loop.framebuffer = vel::framebuffer_at_scale(options.scale);
  const std::unique_ptr<vel::DrawWorkers> workers = vel::start_draw_workers(options.threads);
  loop.framebuffer.workers = workers.get();
  auto owned = std::make_unique<vel::CityScene>();
  vel::CityScene& scene = *owned;
  loop.scenes.push_back(std::move(owned));
  // The scene's ending only raises a flag; what follows is decided below,
  // after the frame is complete.
  bool ended = false;
  scene.run_end = [&ended](const vel::Framebuffer&) { ended = true; };
  scene.rules = options.play_rules ? vel::kPlayRules : vel::kFixedRunRules;  // init keeps them
  // The played rules read the art where the played game does (an installed
  // runner's own data folder); the fixed run reads ./assets, always.
  vel::CityAssets play_assets;
  if (options.play_rules) {
    play_assets = vel::load_city_assets(vel::kPlayRules, vel::played_data_root());
    scene.asset_source = &play_assets;
  }
  vel::LoopOutputs outputs;
  vel::loop_enter(loop, 0, settings, 0.0f, outputs);
  vel::SoundOut sound;
  if (!options.wav_path.empty()) {
    const std::string error = vel::sound_out_open(sound, options.wav_path, 0.0f);
    if (!error.empty()) return usage_error("cannot write the sound: " + error);
    outputs.wav = &sound;
  }

  vel::Progress progress;  // kept only with --progress
  if (!options.progress_path.empty()) {
    vel::LoadedProgress loaded = vel::load_progress_file(options.progress_path);
    if (!loaded.message.empty()) std::cerr << "veltrocane-sim: " << loaded.message << "\n";
    progress = std::move(loaded.progress);
  }
  uint64_t frame = 0;
  float time = 0.0f;
  vel::ScriptCursor cursor;
  while (!options.frames || frame < *options.frames) {
    ++frame;
    time = static_cast<float>(frame) * options.step;
    const vel::InputState input = vel::input_for_frame(script, cursor, frame);
    const vel::FrameStep step = vel::loop_frame(loop, input, options.step, time, settings, outputs);
    if (!options.progress_path.empty()) {
      vel::note_city_frame(loop.events, 0, options.step, scene.clock.elapsed, progress);
    }
    if (step.quit) break;
    if (step.enter) vel::loop_enter(loop, *step.enter, settings, time, outputs);
    if (ended && !options.frames) break;
  }

  if (const std::string error = vel::sound_out_close(sound); !error.empty()) {
    return usage_error("cannot write the sound: " + error);
  }
  if (!write_outputs(options, scene, loop.framebuffer, frame, time)) return kUsageError;
  if (!options.progress_path.empty()) {
    const std::string error = vel::save_progress_file(options.progress_path, progress);
    if (!error.empty()) return usage_error("cannot write the progress: " + error);
  }
  // The default course ends exactly like the game: the screenshot, the
  // line on standard output, exit 0.
  if (!options.frames) vel::end_run_with_screenshot(loop.framebuffer);
  return 0;
}
