// raster_bench.cpp: rasterise_triangle on the 320 x 180 target for small,
// medium and screen-filling triangles, flat and textured, opaque and blended,
// and the city's own case (fogged texture, depth-tested) on both paths.
//
// The depth test is off, except in the city's case, where the target is
// cleared every iteration, so that every covered pixel takes the whole path
// (depth, texel, light, fog, blend) on every iteration; items per second are
// covered pixels per second.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "gfx/framebuffer.h"
#include "gfx/raster.h"

namespace vel {
namespace {

enum class Size { small, medium, screen };
enum class Fill { flat, textured, blended, textured_lit_fogged, city };

// A 64 x 64 true-colour texture with a little variation in every channel.
Image bench_texture() {
  Image image;
  image.width = 64;
  image.height = 64;
  image.pixels.resize(64 * 64);
  for (int32_t i = 0; i < 64 * 64; ++i) {
    const float a = static_cast<float>(i % 64) / 63.0f;
    const float b = static_cast<float>(i / 64) / 63.0f;
    image.pixels[static_cast<size_t>(i)] = {a, b, 1.0f - a, 1.0f};
  }
  return image;
}

struct Setup {
  Vec4 p1, p2, p3;
};

// Clip-space corners at varied depth (w) so the perspective divide is real.
Setup triangle_of(Size size) {
  switch (size) {
    case Size::small:  // about 40 pixels
      return {{0.0f, 0.0f, 0.2f, 1.0f}, {0.1f, 0.02f, 0.3f, 1.5f}, {0.02f, 0.16f, 0.2f, 1.2f}};
    case Size::medium:  // about 2000 pixels
      return {{-0.2f, -0.3f, 0.2f, 1.0f}, {0.3f, -0.25f, 0.3f, 1.5f}, {-0.1f, 0.4f, 0.2f, 1.2f}};
    case Size::screen:  // every pixel of the target
      break;
  }
  return {{3.0f, -1.0f, 0.5f, 1.0f}, {-2.0f, 6.0f, 0.5f, 2.0f}, {-1.0f, -1.0f, 0.5f, 1.0f}};
}

void bm_rasterise(benchmark::State& state, Size size, Fill fill,
                  RasterPath path = RasterPath::fast) {
  Framebuffer target = framebuffer_new(320, 180);
  RenderFlags flags;
  flags.depth_test = 0;
  clear_framebuffer({0.2f, 0.3f, 0.4f}, flags, target);

  const Image texture = bench_texture();
  Material material = Material::flat({0.8f, 0.6f, 0.4f, 1.0f});
  if (fill == Fill::textured || fill == Fill::textured_lit_fogged || fill == Fill::city) {
    material = Material::textured(texture);
  } else if (fill == Fill::blended) {
    material = Material::flat({0.8f, 0.6f, 0.4f, 0.5f});
  }
  Lighting lighting;
  lighting.lighting_enabled = fill == Fill::textured_lit_fogged;
  lighting.fog_enabled = fill == Fill::textured_lit_fogged || fill == Fill::city;
  // The city's own case: fogged texture, unlit, depth-tested against a
  // cleared depth buffer (the clear is part of each iteration).
  const bool city = fill == Fill::city;
  if (city) {
    lighting.lighting_enabled = false;
    flags.depth_test = 1;
  }
  lighting.ambient = {0.1f, 0.1f, 0.1f, 1.0f};
  const Setup t = triangle_of(size);
  const TriangleFill triangle{.p1 = t.p1,
                              .p2 = t.p2,
                              .p3 = t.p3,
                              .uv1 = {0.0f, 0.0f},
                              .uv2 = {2.0f, 0.0f},
                              .uv3 = {0.0f, 2.0f},
                              .light = {0.9f, 0.5f, 0.2f},
                              .fog = {1.0f, 0.7f, 0.4f},
                              .material = material,
                              .lighting = lighting,
                              .flags = flags,
                              .path = path};

  // Covered pixels, counted once with the depth test on a fresh depth buffer.
  {
    Framebuffer probe = framebuffer_new(320, 180);
    clear_framebuffer({0.0f, 0.0f, 0.0f}, RenderFlags{}, probe);
    TriangleFill white = triangle;
    white.material = Material::flat({1.0f, 1.0f, 1.0f, 1.0f});
    white.flags = RenderFlags{};
    white.path = RasterPath::fast;
    rasterise_triangle(white, probe);
    int64_t covered = 0;
    for (const float d : probe.depth) covered += d != kDepthEmpty ? 1 : 0;
    state.counters["pixels"] = static_cast<double>(covered);
    for (auto _ : state) {
      if (city) clear_framebuffer({0.2f, 0.3f, 0.4f}, flags, target);
      rasterise_triangle(triangle, target);
      benchmark::DoNotOptimize(target.colour.data());
      benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * covered);
  }
}

BENCHMARK_CAPTURE(bm_rasterise, small_flat, Size::small, Fill::flat);
BENCHMARK_CAPTURE(bm_rasterise, small_textured, Size::small, Fill::textured);
BENCHMARK_CAPTURE(bm_rasterise, medium_flat, Size::medium, Fill::flat);
BENCHMARK_CAPTURE(bm_rasterise, medium_textured, Size::medium, Fill::textured);
BENCHMARK_CAPTURE(bm_rasterise, medium_blended, Size::medium, Fill::blended);
BENCHMARK_CAPTURE(bm_rasterise, medium_textured_lit_fogged, Size::medium,
                  Fill::textured_lit_fogged);
BENCHMARK_CAPTURE(bm_rasterise, screen_flat, Size::screen, Fill::flat);
BENCHMARK_CAPTURE(bm_rasterise, screen_textured, Size::screen, Fill::textured);
BENCHMARK_CAPTURE(bm_rasterise, screen_blended, Size::screen, Fill::blended);
BENCHMARK_CAPTURE(bm_rasterise, medium_city, Size::medium, Fill::city);
BENCHMARK_CAPTURE(bm_rasterise, screen_city, Size::screen, Fill::city);
// The same two on the reference path, for the ratio.
BENCHMARK_CAPTURE(bm_rasterise, medium_city_reference, Size::medium, Fill::city,
                  RasterPath::reference);
BENCHMARK_CAPTURE(bm_rasterise, screen_city_reference, Size::screen, Fill::city,
                  RasterPath::reference);

}  // namespace
}  // namespace vel
