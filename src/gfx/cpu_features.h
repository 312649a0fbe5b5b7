// cpu_features.h: what the processor offers beyond the x86-64 baseline, asked
// once per run; the fast paths pick their widest code by it.
#pragma once

namespace vel {

#if defined(__x86_64__)
// AVX2: the eight-lane fills and vertex preparation.
inline bool cpu_has_avx2() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

// The AVX-512 parts the sixteen-lane fill is compiled for.
inline bool cpu_has_avx512() {
  static const bool available =
      __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
      __builtin_cpu_supports("avx512vbmi");
  return available;
}
#endif

}  // namespace vel
