// rng.h: the system's one random generator (signed 32-bit xorshift).
//
// The city, the traffic, the rain, the lightning and the pickups all draw
// from this single sequence in a fixed order and count, so a run is
// reproducible. Take every draw into its own variable before using it:
// two draws inside one call's arguments may be evaluated in either order.
#pragma once

#include <cstdint>

namespace vel {

inline constexpr int32_t kRngSeed = 482723929;

// One step: x ^= x << 13; x ^= x >> 17 (sign propagated); x ^= x << 5.
inline int32_t rng_next(int32_t& state) {
  uint32_t x = static_cast<uint32_t>(state);
  x ^= x << 13;
  x = x ^ static_cast<uint32_t>(static_cast<int32_t>(x) >> 17);
  x ^= x << 5;
  state = static_cast<int32_t>(x);
  return state;
}

// u(r) = (r AND 65535) / 65535, in 0..1.
inline float rng_unit(int32_t r) {
  return static_cast<float>(r & 65535) / 65535.0f;
}

}  // namespace vel
