// draw_workers.h: a small fixed set of threads that draw one picture
// together, each its own band of rows (RenderFlags::band, kBandRows).
//
// The threads are started once and wait between pictures; a drawing hands
// them a plain function and its context (nothing is allocated per picture)
// and draws band 0 itself. No lock is taken while pixels are drawn: every
// band writes rows no other band writes, and each row gets the operations a
// one-band drawing gives it, so the picture is the same for any count.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "gfx/framebuffer.h"

namespace vel {

// The most threads a picture is drawn by.
inline constexpr int32_t kMostDrawThreads = 64;

struct DrawWorkers {
  DrawWorkers() = default;
  DrawWorkers(const DrawWorkers&) = delete;
  DrawWorkers& operator=(const DrawWorkers&) = delete;
  ~DrawWorkers();  // stops and joins the threads

  int32_t bands = 1;  // the helper threads and the caller
  std::vector<std::thread> helpers;
  // Raised once per picture; a helper draws when it sees a new value.
  std::atomic<uint32_t> generation{0};
  // Raised by every picture and every early wake: what a sleeping helper
  // waits on.
  std::atomic<uint32_t> alarm{0};
  std::atomic<int32_t> pending{0};  // helpers still drawing this picture
  std::atomic<bool> stopping{false};
  void (*job)(void* context, uint8_t band, uint8_t bands) = nullptr;
  void* context = nullptr;
};

// `threads` (1..kMostDrawThreads, clamped) bands: threads - 1 helpers.
std::unique_ptr<DrawWorkers> start_draw_workers(int32_t threads);

// The threads the machine has (at least 1, at most kMostDrawThreads).
int32_t machine_threads();

// Tells the helpers that a picture is coming soon: one that has gone to
// sleep since the last picture takes tens of microseconds to be woken, so a
// frame wakes them before its step and they are ready when its drawing
// starts.
void wake_draw_workers(DrawWorkers& workers);

// Runs job(context, band, bands) once for every band, band 0 on the calling
// thread, and returns when all are done.
void run_bands(DrawWorkers& workers, void (*job)(void*, uint8_t, uint8_t), void* context);

// Draws `draw(flags)` once per band of the target's workers, each with
// `flags` limited to its band; on the calling thread alone when the target
// has no workers.
template <typename Draw>
void draw_in_bands(Framebuffer& target, const RenderFlags& flags, const Draw& draw) {
  if (target.workers == nullptr || target.workers->bands <= 1) {
    draw(flags);
    return;
  }
  struct Context {
    const RenderFlags& flags;
    const Draw& draw;
  } context{flags, draw};
  run_bands(
      *target.workers,
      [](void* raw, uint8_t band, uint8_t bands) {
        const Context& c = *static_cast<const Context*>(raw);
        RenderFlags banded = c.flags;
        banded.band = band;
        banded.band_count = bands;
        c.draw(banded);
      },
      &context);
}

}  // namespace vel
