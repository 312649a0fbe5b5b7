// pattern_rng.h: the seeded integer generators behind every random choice in
// the generated assets.
//
// Only integer arithmetic, so every machine and library version picks the
// same windows, stains and puddles; std::random distributions are avoided
// because their outputs are not fixed across standard libraries.
#pragma once

#include <cstdint>

namespace vel {

// A 32-bit xorshift stream; the state must never be 0.
struct PatternRng {
  uint32_t state = 0x9E3779B9u;
};

inline uint32_t next_u32(PatternRng& rng) {
  uint32_t x = rng.state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  rng.state = x;
  return x;
}

// 0 .. bound - 1 for bound > 0 (the modulo bias is irrelevant for pictures).
inline int32_t next_below(PatternRng& rng, int32_t bound) {
  return static_cast<int32_t>(next_u32(rng) % static_cast<uint32_t>(bound));
}

// Stateless choice for a grid cell: the same (seed, x, y) always gives the
// same value, whatever was drawn before, so a painter at another size (the
// 32-pixel facade) can repeat the choices of the 64-pixel one.
inline uint32_t hash_cell(uint32_t seed, int32_t x, int32_t y) {
  uint32_t h =
      seed ^ (static_cast<uint32_t>(x) * 0x8DA6B343u) ^ (static_cast<uint32_t>(y) * 0xD8163841u);
  // Murmur3 finaliser: every input bit reaches every output bit.
  h ^= h >> 16;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  h *= 0xC2B2AE35u;
  h ^= h >> 16;
  return h;
}

}  // namespace vel
