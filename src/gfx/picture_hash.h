// picture_hash.h: a short fingerprint of a picture's colour bytes (FNV-1a,
// 64 bits), enough to tell two pictures apart in golden checks and in the
// benchmark's comparison of the two render paths.
#pragma once

#include <cstdint>
#include <vector>

namespace vel {

inline uint64_t picture_hash(const std::vector<uint8_t>& bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (const uint8_t b : bytes) {
    hash ^= b;
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace vel
