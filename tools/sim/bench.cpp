// bench.cpp: the --bench report: both rasteriser paths over the default
// course and the high view, timed per frame (run_frame), their pictures compared.
#include "sim/bench.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gfx/draw_workers.h"
#include "gfx/framebuffer.h"
#include "gfx/picture_hash.h"
#include "gfx/raster.h"
#include "scene1/city_scene.h"
#include "scene1/play_rules.h"

namespace vel {

namespace {

// The city view: the opening letterbox is gone at 5 s and the run ends at
// 12.6 s.
constexpr float kCityViewStart = 5.0f;
constexpr float kCityViewEnd = 12.6f;

// The high view: the body is held still high above the near corner of the
// city's quarter disc (which spreads over +x and +z from the origin), above
// the tallest roofs; the camera looks down and in over the city and sweeps
// its yaw slowly to and fro. Roofs, blocks, cars and drones fill the
// picture: more and smaller triangles than the default course, which looks
// up at a few blocks from the street.
constexpr Vec3 kHighEye{5.0f, 62.0f, 5.0f};
constexpr float kHighPitch = 0.85f;       // radians, positive looks down
constexpr float kHighYaw = 2.3561945f;    // along +x +z, into the city
constexpr float kHighYawSweep = 0.35f;    // radians either side
constexpr float kHighSweepPeriod = 8.0f;  // seconds

enum class Course { default_course, high_view };

// One course on one path: per-frame milliseconds, times and picture hashes.
struct CourseLog {
  std::vector<double> frame_ms;
  std::vector<float> frame_time;
  std::vector<uint64_t> picture_hashes;
};

CourseLog run_course(Course course, RasterPath path, const Settings& settings,
                     const BenchRequest& request, int32_t level = 1) {
  Framebuffer framebuffer = framebuffer_at_scale(request.scale);
  const std::unique_ptr<DrawWorkers> workers = start_draw_workers(request.threads);
  framebuffer.workers = workers.get();
  CityScene scene;
  bool ended = false;
  scene.run_end = [&ended](const Framebuffer&) { ended = true; };
  scene.init(settings, 0.0f);
  // A later level is the city the play rules build once the level before
  // it is complete: bigger, with more traffic and taller towers.
  if (level != 1) rebuild_at_level(scene, settings, 0.0f, level);
  scene.raster_path = path;

  CourseLog log;
  ScriptCursor cursor;
  FrameEvents events;
  const size_t expected = request.frames ? static_cast<size_t>(*request.frames) : 1024;
  log.frame_ms.reserve(expected);
  log.frame_time.reserve(expected);
  log.picture_hashes.reserve(expected);
  for (uint64_t frame = 1; !request.frames || frame <= *request.frames; ++frame) {
    const float time = static_cast<float>(frame) * request.step;
    InputState input;
    if (course == Course::high_view) {
      hold_high_view(scene, time);
    } else if (request.script != nullptr) {
      input = input_for_frame(*request.script, cursor, frame);
    }
    const auto before = std::chrono::steady_clock::now();
    run_frame(scene, input, request.step, time, settings, framebuffer, events);
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - before;
    log.frame_ms.push_back(spent.count());
    log.frame_time.push_back(time);
    log.picture_hashes.push_back(picture_hash(framebuffer.colour));
    if (ended && !request.frames) break;
  }
  return log;
}

// Each frame's least time over the runs.
void keep_least(std::vector<double>& least, const CourseLog& run) {
  if (least.empty()) {
    least = run.frame_ms;
    return;
  }
  for (size_t i = 0; i < least.size() && i < run.frame_ms.size(); ++i) {
    least[i] = std::min(least[i], run.frame_ms[i]);
  }
}

struct Figures {
  size_t frames = 0;
  double median = 0.0;
  double mean = 0.0;
};

Figures figures_of(std::vector<double> ms) {
  Figures f;
  f.frames = ms.size();
  if (ms.empty()) return f;
  double total = 0.0;
  for (const double v : ms) total += v;
  f.mean = total / static_cast<double>(ms.size());
  std::sort(ms.begin(), ms.end());
  const size_t middle = ms.size() / 2;
  f.median = ms.size() % 2 == 1 ? ms[middle] : (ms[middle - 1] + ms[middle]) / 2.0;
  return f;
}

// The frames of a course whose time lies in the city view.
std::vector<double> city_view(const std::vector<double>& ms, const std::vector<float>& times) {
  std::vector<double> picked;
  for (size_t i = 0; i < ms.size() && i < times.size(); ++i) {
    if (times[i] >= kCityViewStart && times[i] <= kCityViewEnd) picked.push_back(ms[i]);
  }
  return picked;
}

// Both paths over one course, alternating.
struct CourseResult {
  std::vector<double> reference_ms;
  std::vector<double> fast_ms;
  std::vector<float> frame_time;
  bool identical = true;
};

CourseResult bench_course(Course course, const Settings& settings, const BenchRequest& request) {
  CourseResult result;
  std::vector<uint64_t> first_hashes;
  for (int run = 0; run < std::max(request.runs, 1); ++run) {
    for (const RasterPath path : {RasterPath::reference, RasterPath::fast}) {
      const CourseLog log = run_course(course, path, settings, request);
      if (first_hashes.empty()) {
        first_hashes = log.picture_hashes;
        result.frame_time = log.frame_time;
      } else if (log.picture_hashes != first_hashes) {
        result.identical = false;
      }
      keep_least(path == RasterPath::reference ? result.reference_ms : result.fast_ms, log);
    }
  }
  return result;
}

// printf-style text of up to two numbers.
std::string printed(const char* pattern, double a, double b) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

// One line of the table: the frames, both paths' median and mean, and the
// ratios. Returns the median ratio.
double print_row(std::ostream& out, const std::string& course, const std::string& frames,
                 const std::vector<double>& reference_ms, const std::vector<double>& fast_ms) {
  const Figures reference = figures_of(reference_ms);
  const Figures fast = figures_of(fast_ms);
  const double median_ratio = fast.median > 0.0 ? reference.median / fast.median : 0.0;
  const double mean_ratio = fast.mean > 0.0 ? reference.mean / fast.mean : 0.0;
  out << course << ", " << frames << " (" << reference.frames << " frames)\n"
      << printed("  reference: median %.3f ms, mean %.3f ms per frame\n", reference.median,
                 reference.mean)
      << printed("  fast:      median %.3f ms, mean %.3f ms per frame\n", fast.median, fast.mean)
      << printed("  reference / fast: %.2f (median), %.2f (mean)\n", median_ratio, mean_ratio);
  return median_ratio;
}

// The fast path alone over the default course in the city of `level`.
std::vector<double> bench_level(int32_t level, const Settings& settings,
                                const BenchRequest& request, std::vector<float>& frame_time) {
  std::vector<double> least;
  for (int run = 0; run < std::max(request.runs, 1); ++run) {
    const CourseLog log =
        run_course(Course::default_course, RasterPath::fast, settings, request, level);
    keep_least(least, log);
    frame_time = log.frame_time;
  }
  return least;
}

// The level-3 city against the level-1 city, both on the fast path.
void print_levels(std::ostream& out, const Settings& settings, const BenchRequest& request) {
  std::vector<float> times;
  const Figures level1 = figures_of(city_view(bench_level(1, settings, request, times), times));
  const Figures level3 = figures_of(city_view(bench_level(3, settings, request, times), times));
  out << "default course, city view, fast path, by level of the played game's city\n"
      << printed("  level 1: median %.3f ms, mean %.3f ms per frame\n", level1.median, level1.mean)
      << printed("  level 3: median %.3f ms, mean %.3f ms per frame\n", level3.median, level3.mean)
      << printed("  level 3 / level 1: %.2f (median), %.2f (mean)\n",
                 level1.median > 0.0 ? level3.median / level1.median : 0.0,
                 level1.mean > 0.0 ? level3.mean / level1.mean : 0.0);
}

}  // namespace

void hold_high_view(CityScene& scene, float time) {
  scene.player.body.position = kHighEye;
  scene.player.body.velocity = Vec3{};
  scene.view.yaw = kHighYaw + kHighYawSweep * std::sin(6.2831853f * time / kHighSweepPeriod);
  scene.view.pitch = kHighPitch;
}

bool run_bench(const Settings& settings, const BenchRequest& request, std::ostream& out) {
  const CourseResult main = bench_course(Course::default_course, settings, request);
  if (request.table_row) {
    const Figures fast = figures_of(main.fast_ms);
    const Figures reference = figures_of(main.reference_ms);
    const Figures fast_view = figures_of(city_view(main.fast_ms, main.frame_time));
    const Figures reference_view = figures_of(city_view(main.reference_ms, main.frame_time));
    out << "frames: " << fast.frames << "\n"
        << printed("median: %.3f ms per frame\nmean: %.3f ms per frame\n", fast.median, fast.mean)
        << "scale " << request.scale << " (" << kPictureWidth * request.scale << "x"
        << kPictureHeight * request.scale << "), " << request.threads
        << " thread(s); each frame's time is its least over " << std::max(request.runs, 1)
        << " runs per path\n"
        << printed("  fast:      median %.3f ms per frame (city view %.3f ms)\n", fast.median,
                   fast_view.median)
        << printed("  reference: median %.3f ms per frame (city view %.3f ms)\n", reference.median,
                   reference_view.median)
        << (main.identical ? "pictures: identical on both paths, every frame\n"
                           : "pictures: THE PATHS DREW DIFFERENT PICTURES\n");
    return main.identical;
  }
  BenchRequest high_request = request;
  high_request.script = nullptr;
  if (!high_request.frames) high_request.frames = main.fast_ms.size();
  const CourseResult high = bench_course(Course::high_view, settings, high_request);

  // The first three lines give the default path over the whole run: scripts
  // that read the report take them from there.
  const Figures whole = figures_of(main.fast_ms);
  out << "frames: " << whole.frames << "\n"
      << printed("median: %.3f ms per frame\nmean: %.3f ms per frame\n", whole.median, whole.mean);
  out << "\nrun_frame on both rasteriser paths; each frame's time is its least over "
      << std::max(request.runs, 1) << " runs per path.\n";

  std::vector<double> main_reference_view = city_view(main.reference_ms, main.frame_time);
  std::vector<double> main_fast_view = city_view(main.fast_ms, main.frame_time);
  double speedup = 0.0;
  if (!main_fast_view.empty()) {
    speedup = print_row(out, "default course", "city view, 5 s to 12.6 s", main_reference_view,
                        main_fast_view);
    print_row(out, "default course", "all frames", main.reference_ms, main.fast_ms);
  } else {
    speedup = print_row(out, "default course", "all frames", main.reference_ms, main.fast_ms);
  }
  const std::vector<double> high_reference_view = city_view(high.reference_ms, high.frame_time);
  const std::vector<double> high_fast_view = city_view(high.fast_ms, high.frame_time);
  if (!high_fast_view.empty()) {
    print_row(out, "high view", "city view, 5 s to 12.6 s", high_reference_view, high_fast_view);
  }
  print_row(out, "high view", "all frames", high.reference_ms, high.fast_ms);
  print_levels(out, settings, request);

  const bool identical = main.identical && high.identical;
  out << (identical ? "pictures: identical on both paths, every frame\n"
                    : "pictures: THE PATHS DREW DIFFERENT PICTURES\n");
  out << printed("speedup: %.2f\n", speedup, 0.0);
  return identical;
}

}  // namespace vel
