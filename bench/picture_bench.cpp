// picture_bench.cpp: the whole-picture steps of a large frame: the sky with
// the depth reset, and the widening of the picture into the window's
// texture, at 1920 x 1080 on one and two drawing threads.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/draw_workers.h"
#include "gfx/framebuffer.h"
#include "gfx/picture_words.h"

namespace vel {
namespace {

void bm_picture_to_words(benchmark::State& state) {
  Framebuffer picture = framebuffer_at_scale(6);
  const std::unique_ptr<DrawWorkers> workers =
      start_draw_workers(static_cast<int32_t>(state.range(0)));
  picture.workers = workers.get();
  const int32_t pitch = 4 * picture.width;
  std::vector<uint8_t> texture(static_cast<size_t>(pitch) * static_cast<size_t>(picture.height));
  for (auto _ : state) {
    picture_to_words(picture, texture.data(), pitch);
    benchmark::DoNotOptimize(texture.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * picture.width * picture.height);
}

// One thread only: the sky and the depth reset of a whole 1920 x 1080
// picture, as the first band of a one-band drawing.
void bm_sky_and_depth(benchmark::State& state) {
  Framebuffer picture = framebuffer_at_scale(6);
  const RenderFlags flags{.interlace = 0};
  for (auto _ : state) {
    draw_sky_gradient({0.1f, 0.1f, 0.2f}, {0.3f, 0.2f, 0.5f}, flags, picture, 2.0f, -0.3f, 60.0f);
    benchmark::DoNotOptimize(picture.colour.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * picture.width * picture.height);
}

BENCHMARK(bm_picture_to_words)->Arg(1)->Arg(2)->UseRealTime();
BENCHMARK(bm_sky_and_depth);

}  // namespace
}  // namespace vel
