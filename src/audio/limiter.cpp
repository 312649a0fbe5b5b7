// limiter.cpp: the true-peak look-ahead limiter.
#include "audio/limiter.h"

#include <algorithm>
#include <cmath>

namespace vel {

namespace {

// Windowed-sinc taps (Blackman, cut at 0.92 of the band edge) giving the
// wave at a quarter, a half and three quarters of the way from sample j to
// j + 1, from samples j - 7 .. j + 8.
constexpr float kBetween[3][kPeakTaps] = {
    {0.000779524f, -0.002728475f, 0.005562924f, -0.007103853f, 0.001665740f, 0.023127305f,
     -0.105863790f, 0.838995063f, 0.340089083f, -0.143898211f, 0.074615192f, -0.036657169f,
     0.015590916f, -0.005297749f, 0.001239379f, -0.000115878f},
    {0.000168980f, -0.000177963f, -0.001614955f, 0.008891462f, -0.028336600f, 0.072044689f,
     -0.173776992f, 0.622801380f, 0.622801380f, -0.173776992f, 0.072044689f, -0.028336600f,
     0.008891462f, -0.001614955f, -0.000177963f, 0.000168980f},
    {-0.000115878f, 0.001239379f, -0.005297749f, 0.015590916f, -0.036657169f, 0.074615192f,
     -0.143898211f, 0.340089083f, 0.838995063f, -0.105863790f, 0.023127305f, 0.001665740f,
     -0.007103853f, 0.005562924f, -0.002728475f, 0.000779524f}};

constexpr float kGainUnit = 16777216.0f;  // 2^24
constexpr size_t kRingMask = kLimiterRing - 1;

float interpolated_peak(const float* taps) {
  float peak = 0.0f;
  for (const auto& phase : kBetween) {
    float sum = 0.0f;
    for (int32_t i = 0; i < kPeakTaps; ++i) sum += phase[i] * taps[i];
    peak = std::max(peak, std::fabs(sum));
  }
  return peak;
}

// The gain the sample judged now needs, from the peaks on both its sides.
float needed_gain(Limiter& limiter, float left, float right) {
  const size_t at = static_cast<size_t>(limiter.count % kPeakTaps);
  limiter.recent_left[at] = left;
  limiter.recent_left[at + kPeakTaps] = left;
  limiter.recent_right[at] = right;
  limiter.recent_right[at + kPeakTaps] = right;
  // The oldest of the last kPeakTaps samples sits just after the newest.
  const float* taps_left = limiter.recent_left.data() + at + 1;
  const float* taps_right = limiter.recent_right.data() + at + 1;
  // The sample judged is the one kPeakTaps / 2 back: tap 7.
  const float sample =
      std::max(std::fabs(taps_left[kPeakTaps / 2 - 1]), std::fabs(taps_right[kPeakTaps / 2 - 1]));
  const float after = std::max(interpolated_peak(taps_left), interpolated_peak(taps_right));
  const float peak = std::max({sample, after, limiter.between_peak});
  limiter.between_peak = after;
  // A NaN peak asks nothing; the output guard below turns it into 0.
  return peak > kCeiling ? kCeiling / peak : 1.0f;
}

// The least gain needed over the last kLookAhead samples judged.
float least_over_look_ahead(Limiter& limiter, float gain) {
  const int64_t now = limiter.count;
  while (limiter.least_tail != limiter.least_head &&
         limiter.least_gain[(limiter.least_tail - 1) & kRingMask] >= gain) {
    --limiter.least_tail;
  }
  limiter.least_gain[limiter.least_tail & kRingMask] = gain;
  limiter.least_due[limiter.least_tail & kRingMask] = now;
  ++limiter.least_tail;
  while (limiter.least_due[limiter.least_head & kRingMask] <= now - kLookAhead) {
    ++limiter.least_head;
  }
  return limiter.least_gain[limiter.least_head & kRingMask];
}

}  // namespace

void limiter_run(Limiter& limiter, const float* left, const float* right, size_t frames,
                 int16_t* out) {
  if (!limiter.primed) {
    std::fill(limiter.recent_gains.begin(), limiter.recent_gains.end(), 1 << 24);
    limiter.primed = true;
  }
  for (size_t i = 0; i < frames; ++i) {
    const float least = least_over_look_ahead(limiter, needed_gain(limiter, left[i], right[i]));
    limiter.released = std::min(least, 1.0f - (1.0f - limiter.released) * limiter.recovery);
    // Rounded down, so the smoothed gain is never above the least needed.
    const int32_t step = static_cast<int32_t>(limiter.released * kGainUnit);
    const size_t slot = static_cast<size_t>(limiter.count % kLookAhead);
    limiter.gain_sum += step - limiter.recent_gains[slot];
    limiter.recent_gains[slot] = step;
    const float gain = static_cast<float>(limiter.gain_sum) * (1.0f / (kGainUnit * kLookAhead));

    const size_t in = static_cast<size_t>(limiter.count) & kRingMask;
    limiter.delay_left[in] = left[i];
    limiter.delay_right[in] = right[i];
    const size_t due = static_cast<size_t>(limiter.count - kLimiterDelay) & kRingMask;
    limiter.count += 1;
    // The clamp only guards the conversion (and a NaN becomes 0).
    const float l = std::clamp(limiter.delay_left[due] * gain, -kCeiling, kCeiling);
    const float r = std::clamp(limiter.delay_right[due] * gain, -kCeiling, kCeiling);
    out[2 * i] = static_cast<int16_t>(std::isnan(l) ? 0.0f : l * 32767.0f);
    out[2 * i + 1] = static_cast<int16_t>(std::isnan(r) ? 0.0f : r * 32767.0f);
  }
}

}  // namespace vel
