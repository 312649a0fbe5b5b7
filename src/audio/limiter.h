// limiter.h: the last stage of the mix: a look-ahead limiter that holds
// the true peak (the peak of the wave between the samples too, as a
// converter rebuilds it) under the ceiling, and turns the mix into 16-bit
// samples.
//
// The peak is found on the mix interpolated to four times the sample rate.
// The gain each sample needs is the ceiling over that peak; the gain used
// is the least needed over the next kLookAhead samples, so it has come down
// before a peak arrives, and then smoothed over as many samples so it never
// steps. The sound leaves kLimiterDelay samples (1.5 ms) after it enters.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vel {

// The loudest peak let out, between the samples as well: -1.5 dBFS, so the
// true peak stays at or under -1 dBTP after the 16-bit rounding.
inline constexpr float kCeiling = 0.84f;
inline constexpr int32_t kLookAhead = 64;
// Taps of the four-times interpolator that finds the peaks between samples.
inline constexpr int32_t kPeakTaps = 16;
inline constexpr int32_t kLimiterDelay = kLookAhead - 1 + kPeakTaps / 2;

inline constexpr size_t kLimiterRing = 128;  // a power of two over kLimiterDelay and kLookAhead

struct Limiter {
  int64_t count = 0;  // samples taken in
  // The input's last kPeakTaps samples, twice over so a run of taps is
  // always contiguous.
  std::array<float, 2 * kPeakTaps> recent_left{};
  std::array<float, 2 * kPeakTaps> recent_right{};
  float between_peak = 0.0f;  // the interpolated peak just before the sample judged
  // The input waiting its turn to leave.
  std::array<float, kLimiterRing> delay_left{};
  std::array<float, kLimiterRing> delay_right{};
  // The least gain over the look-ahead: a queue of rising gains with the
  // sample each is due at.
  std::array<float, kLimiterRing> least_gain{};
  std::array<int64_t, kLimiterRing> least_due{};
  size_t least_head = 0;
  size_t least_tail = 0;
  float released = 1.0f;  // the gain after its return towards 1
  // The smoothing: the last kLookAhead gains in steps of 2^-24 (whole
  // numbers, so the running sum never drifts) and their sum.
  std::array<int32_t, kLookAhead> recent_gains{};
  int32_t gain_sum = kLookAhead << 24;
  bool primed = false;        // recent_gains hold full gain from the start
  float recovery = 0.99979f;  // per sample towards 1: about 100 ms
};

// Limits `frames` stereo frames and writes them as interleaved 16-bit
// samples. Silence in gives exact zeros out.
void limiter_run(Limiter& limiter, const float* left, const float* right, size_t frames,
                 int16_t* out);

}  // namespace vel
