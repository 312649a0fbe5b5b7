// draw_workers.cpp: the drawing threads: started once, woken per picture
// by a generation counter, and waited for by a count of those still drawing.
// They spin a short while before sleeping, since the next picture usually
// comes within a millisecond, and longer once woken early for a picture
// that is on its way.
#include "gfx/draw_workers.h"

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vel {

namespace {

// About 20 to 50 microseconds of spinning before a thread sleeps; after an
// early wake, about 0.5 to 1 ms, a frame's step.
constexpr int kSpins = 2000;
constexpr int kWokenSpins = 50000;

inline void relax() {
#if defined(__x86_64__)
  _mm_pause();
#endif
}

// The first generation after `seen`: spun for, then slept for on the
// alarm, which every picture raises too.
uint32_t next_generation(DrawWorkers& workers, uint32_t seen) {
  int spins = kSpins;
  while (true) {
    for (int i = 0; i < spins; ++i) {
      const uint32_t now = workers.generation.load(std::memory_order_acquire);
      if (now != seen) return now;
      relax();
    }
    const uint32_t alarm = workers.alarm.load(std::memory_order_acquire);
    const uint32_t now = workers.generation.load(std::memory_order_acquire);
    if (now != seen) return now;
    workers.alarm.wait(alarm, std::memory_order_acquire);
    spins = kWokenSpins;
  }
}

void raise_alarm(DrawWorkers& workers) {
  workers.alarm.fetch_add(1, std::memory_order_acq_rel);
  workers.alarm.notify_all();
}

void helper_loop(DrawWorkers& workers, uint8_t band) {
  uint32_t seen = 0;
  while (true) {
    seen = next_generation(workers, seen);
    if (workers.stopping.load(std::memory_order_acquire)) return;
    workers.job(workers.context, band, static_cast<uint8_t>(workers.bands));
    if (workers.pending.fetch_sub(1, std::memory_order_acq_rel) == 1) workers.pending.notify_one();
  }
}

}  // namespace

DrawWorkers::~DrawWorkers() {
  stopping.store(true, std::memory_order_release);
  generation.fetch_add(1, std::memory_order_acq_rel);
  raise_alarm(*this);
  for (std::thread& helper : helpers) helper.join();
}

int32_t machine_threads() {
  const unsigned reported = std::thread::hardware_concurrency();
  return std::clamp<int32_t>(static_cast<int32_t>(reported), 1, kMostDrawThreads);
}

std::unique_ptr<DrawWorkers> start_draw_workers(int32_t threads) {
  auto workers = std::make_unique<DrawWorkers>();
  workers->bands = std::clamp<int32_t>(threads, 1, kMostDrawThreads);
  workers->helpers.reserve(static_cast<size_t>(workers->bands - 1));
  for (int32_t band = 1; band < workers->bands; ++band) {
    workers->helpers.emplace_back(helper_loop, std::ref(*workers), static_cast<uint8_t>(band));
  }
  return workers;
}

void wake_draw_workers(DrawWorkers& workers) {
  if (workers.bands > 1) raise_alarm(workers);
}

void run_bands(DrawWorkers& workers, void (*job)(void*, uint8_t, uint8_t), void* context) {
  const uint8_t bands = static_cast<uint8_t>(workers.bands);
  if (bands <= 1) {
    job(context, 0, 1);
    return;
  }
  workers.job = job;
  workers.context = context;
  workers.pending.store(bands - 1, std::memory_order_relaxed);
  workers.generation.fetch_add(1, std::memory_order_acq_rel);
  raise_alarm(workers);
  job(context, 0, bands);
  int32_t left = workers.pending.load(std::memory_order_acquire);
  for (int i = 0; i < kSpins && left != 0; ++i) {
    relax();
    left = workers.pending.load(std::memory_order_acquire);
  }
  while (left != 0) {
    workers.pending.wait(left, std::memory_order_acquire);
    left = workers.pending.load(std::memory_order_acquire);
  }
}

}  // namespace vel
