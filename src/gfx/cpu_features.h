// cpu_features.h: the instruction-set extensions the wide fast paths are
// compiled for, named once, and whether this processor has them, asked once
// per run; the fast paths pick their widest code by it.
#pragma once

#include <string_view>

namespace vel {

// The target-attribute strings of the wide code, each the one list of what
// that code is compiled for. A target attribute takes only a string
// literal, hence macros; the run-time checks below read the same strings,
// so code never runs on a processor that lacks a part it was compiled for.
//   VEL_AVX2: the eight-lane fills, vertex preparation and triangle batches.
//   VEL_AVX512: the sixteen-lane fill.
#define VEL_AVX2 "avx2"
#define VEL_AVX512 "avx512f,avx512bw,avx512vl,avx512dq,avx512vbmi"

#if defined(__x86_64__)
// Whether the processor has one extension named as in a target string;
// false for a name this list does not know, so an extension added to a
// target string without being added here disables that code rather than
// running it unchecked.
inline bool cpu_supports(std::string_view feature) {
  if (feature == "avx2") return __builtin_cpu_supports("avx2");
  if (feature == "avx512f") return __builtin_cpu_supports("avx512f");
  if (feature == "avx512bw") return __builtin_cpu_supports("avx512bw");
  if (feature == "avx512vl") return __builtin_cpu_supports("avx512vl");
  if (feature == "avx512dq") return __builtin_cpu_supports("avx512dq");
  if (feature == "avx512vbmi") return __builtin_cpu_supports("avx512vbmi");
  return false;
}

// Whether the processor has every extension of a comma-separated target
// string.
inline bool cpu_supports_all(std::string_view features) {
  while (!features.empty()) {
    const size_t comma = features.find(',');
    if (!cpu_supports(features.substr(0, comma))) return false;
    if (comma == std::string_view::npos) break;
    features.remove_prefix(comma + 1);
  }
  return true;
}

inline bool cpu_has_avx2() {
  static const bool available = cpu_supports_all(VEL_AVX2);
  return available;
}

inline bool cpu_has_avx512() {
  static const bool available = cpu_supports_all(VEL_AVX512);
  return available;
}
#endif

}  // namespace vel
