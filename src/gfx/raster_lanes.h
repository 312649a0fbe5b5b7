// raster_lanes.h: the fast paths' vector vocabulary: the N-lane float,
// integer and byte vectors (GCC/Clang vector extensions) and the operations
// on them, each lane doing the scalar work of the reference for one pixel or
// one position with the very same IEEE operations. The fill kernels
// (raster_kernels.h), the vertex table (vertex_table.cpp) and the triangle
// batches (triangle_batch.cpp) all speak it.
//
// Every helper takes and hands back vectors by reference and is inlined into
// the code that uses it (the fills are flattened): the 8- and 16-lane
// instances are compiled only inside functions marked VEL_AVX2 or VEL_AVX512,
// and by-value wide vectors in functions compiled without AVX would change
// the calling convention. Where an AVX instruction does a helper's work in
// one step with the same result bits (truncation, square root, move-mask,
// minimum, maximum, and for 16 lanes the comparisons, which the compiler
// would otherwise split lane by lane), the wide instances use it; those
// pieces carry their target themselves, so they may only be called from code
// of that width. They are the only helpers not forced inline early: inlining
// them waits for the flattening of a caller that has their target.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "gfx/cpu_features.h"
#include "gfx/vec.h"

namespace vel::lanes {

// The one set of vector types: N is 4 everywhere, 8 inside VEL_AVX2 code and
// 16 inside VEL_AVX512 code. Functions name them through local aliases
// (`using F = typename Lanes<N>::F;`).
template <int N>
struct Lanes {
  typedef float F __attribute__((vector_size(4 * N)));         // a float a lane
  typedef int32_t I __attribute__((vector_size(4 * N)));       // an integer or a mask a lane
  typedef uint8_t Pixels __attribute__((vector_size(4 * N)));  // 3 N BGR bytes, then padding
  typedef uint8_t Bytes __attribute__((vector_size(N)));       // a byte a lane
};
typedef Lanes<4>::F Texel;  // one Colour: R, G, B, A
static_assert(sizeof(Colour) == sizeof(Texel), "a Colour is read as four floats");

#if defined(__x86_64__)
// The AVX2 (8 lanes) and AVX-512 (16 lanes) forms, overloaded by vector
// type. Each gives exactly the bits of the generic expression it stands
// for: rounding towards zero is std::trunc (sign of zero kept); the square
// root is std::sqrt (correctly rounded); max(v, c) is `v > c ? v : c` and
// min(v, c) is `v < c ? v : c`, not-a-number in v included (both hand back
// their second operand when the comparison fails).
namespace wide {
[[gnu::target(VEL_AVX2)]] inline uint32_t bits(const Lanes<8>::I& mask) {
  return static_cast<uint32_t>(_mm256_movemask_ps(reinterpret_cast<__m256>(mask)));
}
[[gnu::target(VEL_AVX2)]] inline void truncate(const Lanes<8>::F& v, Lanes<8>::F& out) {
  out = reinterpret_cast<Lanes<8>::F>(
      _mm256_round_ps(reinterpret_cast<__m256>(v), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC));
}
[[gnu::target(VEL_AVX2)]] inline void square_root(const Lanes<8>::F& v, Lanes<8>::F& out) {
  out = reinterpret_cast<Lanes<8>::F>(_mm256_sqrt_ps(reinterpret_cast<__m256>(v)));
}
[[gnu::target(VEL_AVX2)]] inline void max(const Lanes<8>::F& v, const Lanes<8>::F& floor,
                                          Lanes<8>::F& out) {
  out = reinterpret_cast<Lanes<8>::F>(
      _mm256_max_ps(reinterpret_cast<__m256>(v), reinterpret_cast<__m256>(floor)));
}
[[gnu::target(VEL_AVX2)]] inline void min(const Lanes<8>::F& v, const Lanes<8>::F& ceiling,
                                          Lanes<8>::F& out) {
  out = reinterpret_cast<Lanes<8>::F>(
      _mm256_min_ps(reinterpret_cast<__m256>(v), reinterpret_cast<__m256>(ceiling)));
}
// Texels i and 4 + i of the indices, one per 128-bit lane.
[[gnu::target(VEL_AVX2)]] inline __m256 texel_pair(const Colour* pixels, const int32_t* index,
                                                   int i) {
  const __m256 v = _mm256_castps128_ps256(_mm_loadu_ps(&pixels[index[i]].r));
  return _mm256_insertf128_ps(v, _mm_loadu_ps(&pixels[index[4 + i]].r), 1);
}

// Eight texels as channel vectors: texels 4j + i (i = 0..3) go to the
// 128-bit lanes j of vector i, so that one unpack and one shuffle per
// channel pair leave every channel in lane order.
[[gnu::target(VEL_AVX2)]] inline void gather(const Colour* pixels, const Lanes<8>::I& at,
                                             Lanes<8>::F& r, Lanes<8>::F& g, Lanes<8>::F& b,
                                             Lanes<8>::F& a) {
  alignas(32) int32_t index[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(index), reinterpret_cast<__m256i>(at));
  // Named vectors, not a looped-over array, which would stay in memory.
  const __m256 z0 = texel_pair(pixels, index, 0), z1 = texel_pair(pixels, index, 1);
  const __m256 z2 = texel_pair(pixels, index, 2), z3 = texel_pair(pixels, index, 3);
  const __m256 rg01 = _mm256_unpacklo_ps(z0, z1);
  const __m256 ba01 = _mm256_unpackhi_ps(z0, z1);
  const __m256 rg23 = _mm256_unpacklo_ps(z2, z3);
  const __m256 ba23 = _mm256_unpackhi_ps(z2, z3);
  r = reinterpret_cast<Lanes<8>::F>(_mm256_shuffle_ps(rg01, rg23, 0x44));
  g = reinterpret_cast<Lanes<8>::F>(_mm256_shuffle_ps(rg01, rg23, 0xee));
  b = reinterpret_cast<Lanes<8>::F>(_mm256_shuffle_ps(ba01, ba23, 0x44));
  a = reinterpret_cast<Lanes<8>::F>(_mm256_shuffle_ps(ba01, ba23, 0xee));
}

// Every lane: the masked forms take an explicit source for masked-off lanes,
// where the plain ones start from an undefined value (which the compiler's
// flow analysis reports as uninitialised).
constexpr __mmask16 kAllLanes16 = 0xffff;
[[gnu::target(VEL_AVX512)]] inline uint32_t bits(const Lanes<16>::I& mask) {
  return static_cast<uint32_t>(_mm512_movepi32_mask(reinterpret_cast<__m512i>(mask)));
}
[[gnu::target(VEL_AVX512)]] inline void truncate(const Lanes<16>::F& v, Lanes<16>::F& out) {
  out = reinterpret_cast<Lanes<16>::F>(_mm512_mask_roundscale_ps(
      reinterpret_cast<__m512>(v), kAllLanes16, reinterpret_cast<__m512>(v),
      _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC));
}
[[gnu::target(VEL_AVX512)]] inline void max(const Lanes<16>::F& v, const Lanes<16>::F& floor,
                                            Lanes<16>::F& out) {
  out = reinterpret_cast<Lanes<16>::F>(_mm512_mask_max_ps(reinterpret_cast<__m512>(v), kAllLanes16,
                                                          reinterpret_cast<__m512>(v),
                                                          reinterpret_cast<__m512>(floor)));
}
[[gnu::target(VEL_AVX512)]] inline void min(const Lanes<16>::F& v, const Lanes<16>::F& ceiling,
                                            Lanes<16>::F& out) {
  out = reinterpret_cast<Lanes<16>::F>(_mm512_mask_min_ps(reinterpret_cast<__m512>(v), kAllLanes16,
                                                          reinterpret_cast<__m512>(v),
                                                          reinterpret_cast<__m512>(ceiling)));
}
// ~(a < b) and ~(a >= b): not-a-number passes both.
[[gnu::target(VEL_AVX512)]] inline void not_less(const Lanes<16>::F& a, const Lanes<16>::F& b,
                                                 Lanes<16>::I& out) {
  const __mmask16 k =
      _mm512_cmp_ps_mask(reinterpret_cast<__m512>(a), reinterpret_cast<__m512>(b), _CMP_NLT_UQ);
  out = reinterpret_cast<Lanes<16>::I>(_mm512_movm_epi32(k));
}
[[gnu::target(VEL_AVX512)]] inline void not_at_least(const Lanes<16>::F& a, const Lanes<16>::F& b,
                                                     Lanes<16>::I& out) {
  const __mmask16 k =
      _mm512_cmp_ps_mask(reinterpret_cast<__m512>(a), reinterpret_cast<__m512>(b), _CMP_NGE_UQ);
  out = reinterpret_cast<Lanes<16>::I>(_mm512_movm_epi32(k));
}
// The lanes with lo <= v <= hi.
[[gnu::target(VEL_AVX512)]] inline void within(const Lanes<16>::I& v, int32_t lo, int32_t hi,
                                               Lanes<16>::I& out) {
  const __m512i x = reinterpret_cast<__m512i>(v);
  const __mmask16 k = _mm512_cmple_epi32_mask(_mm512_set1_epi32(lo), x) &
                      _mm512_cmple_epi32_mask(x, _mm512_set1_epi32(hi));
  out = reinterpret_cast<Lanes<16>::I>(_mm512_movm_epi32(k));
}
// The 48 bytes of a sixteen-pixel group into the low bytes of a vector, by
// a masked load that touches no byte past them.
constexpr __mmask64 kGroupBytes16 = 0xffffffffffffULL;
[[gnu::target(VEL_AVX512)]] inline void load_48(const uint8_t* from, Lanes<16>::Pixels& out) {
  out = reinterpret_cast<Lanes<16>::Pixels>(_mm512_maskz_loadu_epi8(kGroupBytes16, from));
}
// Written as a 32- and a 16-byte piece taken from the register: the
// compiler's own copy of 48 bytes goes through memory and reads the vector's
// upper part back before the whole store can pass it on.
[[gnu::target(VEL_AVX512)]] inline void store_48(uint8_t* to, const Lanes<16>::Pixels& bytes) {
  const __m512i v = reinterpret_cast<__m512i>(bytes);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(to),
                      _mm512_mask_extracti64x4_epi64(_mm256_setzero_si256(), 0xf, v, 0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 32),
                   _mm512_mask_extracti32x4_epi32(_mm_setzero_si128(), 0xf, v, 2));
}
// Texels i, 4 + i, 8 + i and 12 + i of the indices, one per 128-bit lane.
[[gnu::target(VEL_AVX512)]] inline __m512 texel_quad(const Colour* pixels, const int32_t* index,
                                                     int i) {
  const __m512 v = _mm512_castps128_ps512(_mm_loadu_ps(&pixels[index[i]].r));
  const __m512 v1 = _mm512_insertf32x4(v, _mm_loadu_ps(&pixels[index[4 + i]].r), 1);
  const __m512 v2 = _mm512_insertf32x4(v1, _mm_loadu_ps(&pixels[index[8 + i]].r), 2);
  return _mm512_insertf32x4(v2, _mm_loadu_ps(&pixels[index[12 + i]].r), 3);
}

// Sixteen texels as channel vectors: texels 4j + i (i = 0..3) go to the
// 128-bit lanes j of vector i, so that one unpack and one shuffle per
// channel pair leave every channel in lane order.
[[gnu::target(VEL_AVX512)]] inline void gather(const Colour* pixels, const Lanes<16>::I& at,
                                               Lanes<16>::F& r, Lanes<16>::F& g, Lanes<16>::F& b,
                                               Lanes<16>::F& a) {
  alignas(64) int32_t index[16];
  _mm512_store_si512(index, reinterpret_cast<__m512i>(at));
  // Named vectors, not a looped-over array, which would stay in memory.
  const __m512 z0 = texel_quad(pixels, index, 0), z1 = texel_quad(pixels, index, 1);
  const __m512 z2 = texel_quad(pixels, index, 2), z3 = texel_quad(pixels, index, 3);
  const __m512 rg01 = _mm512_mask_unpacklo_ps(z0, kAllLanes16, z0, z1);
  const __m512 ba01 = _mm512_mask_unpackhi_ps(z0, kAllLanes16, z0, z1);
  const __m512 rg23 = _mm512_mask_unpacklo_ps(z2, kAllLanes16, z2, z3);
  const __m512 ba23 = _mm512_mask_unpackhi_ps(z2, kAllLanes16, z2, z3);
  r = reinterpret_cast<Lanes<16>::F>(_mm512_shuffle_ps(rg01, rg23, 0x44));
  g = reinterpret_cast<Lanes<16>::F>(_mm512_shuffle_ps(rg01, rg23, 0xee));
  b = reinterpret_cast<Lanes<16>::F>(_mm512_shuffle_ps(ba01, ba23, 0x44));
  a = reinterpret_cast<Lanes<16>::F>(_mm512_shuffle_ps(ba01, ba23, 0xee));
}
}  // namespace wide
#endif

// The lanes where a < b fails and where a >= b fails (either holds for
// not-a-number), as masks.
template <int N>
inline void not_less_lanes(const typename Lanes<N>::F& a, const typename Lanes<N>::F& b,
                           typename Lanes<N>::I& out) {
#if defined(__x86_64__)
  if constexpr (N == 16) {
    wide::not_less(a, b, out);
    return;
  }
#endif
  out = ~(a < b);
}

template <int N>
inline void not_at_least_lanes(const typename Lanes<N>::F& a, const typename Lanes<N>::F& b,
                               typename Lanes<N>::I& out) {
#if defined(__x86_64__)
  if constexpr (N == 16) {
    wide::not_at_least(a, b, out);
    return;
  }
#endif
  out = ~(a >= b);
}

// The lanes whose value lies in lo..hi, as a mask.
template <int N>
inline void within_lanes(const typename Lanes<N>::I& v, int32_t lo, int32_t hi,
                         typename Lanes<N>::I& out) {
#if defined(__x86_64__)
  if constexpr (N == 16) {
    wide::within(v, lo, hi, out);
    return;
  }
#endif
  out = (v >= lo) & (v <= hi);
}

// `v > floor ? v : floor` and `v < ceiling ? v : ceiling`.
template <int N>
inline void max_lanes(const typename Lanes<N>::F& v, const typename Lanes<N>::F& floor,
                      typename Lanes<N>::F& out) {
#if defined(__x86_64__)
  if constexpr (N >= 8) {
    wide::max(v, floor, out);
    return;
  }
#endif
  out = v > floor ? v : floor;
}

template <int N>
inline void min_lanes(const typename Lanes<N>::F& v, const typename Lanes<N>::F& ceiling,
                      typename Lanes<N>::F& out) {
#if defined(__x86_64__)
  if constexpr (N >= 8) {
    wide::min(v, ceiling, out);
    return;
  }
#endif
  out = v < ceiling ? v : ceiling;
}

template <int N>
[[gnu::always_inline]] inline void broadcast(float v, typename Lanes<N>::F& out) {
  for (int k = 0; k < N; ++k) out[k] = v;
}

template <int N, typename Whole, typename Half, size_t... K>
[[gnu::always_inline]] inline void split_halves_at(const Whole& v, Half& low, Half& high,
                                                   std::index_sequence<K...>) {
  low = __builtin_shufflevector(v, v, K...);
  high = __builtin_shufflevector(v, v, (K + N / 2)...);
}

template <int N, typename Whole, typename Half>
[[gnu::always_inline]] inline void split_halves(const Whole& v, Half& low, Half& high) {
  split_halves_at<N>(v, low, high, std::make_index_sequence<N / 2>{});
}

template <typename Half, typename Whole, size_t... K>
[[gnu::always_inline]] inline void join_halves_at(const Half& low, const Half& high, Whole& out,
                                                  std::index_sequence<K...>) {
  out = __builtin_shufflevector(low, high, K...);
}

// The two halves as one vector of twice the lanes.
template <int N, typename Half, typename Whole>
[[gnu::always_inline]] inline void join_halves(const Half& low, const Half& high, Whole& out) {
  join_halves_at(low, high, out, std::make_index_sequence<N>{});
}

// Bit k set when lane k of the mask is set (all ones).
template <int N>
inline uint32_t lane_bits(const typename Lanes<N>::I& mask) {
#if defined(__x86_64__)
  if constexpr (N == 4) {
    return static_cast<uint32_t>(_mm_movemask_ps(reinterpret_cast<__m128>(mask)));
  } else if constexpr (N == 8 || N == 16) {
    return wide::bits(mask);
  } else {
    // Halves, each a vector of its own (a shuffle the compiler maps onto
    // the register halves), down to the four-lane move-mask.
    typename Lanes<N / 2>::I low, high;
    split_halves<N>(mask, low, high);
    return lane_bits<N / 2>(low) | (lane_bits<N / 2>(high) << (N / 2));
  }
#else
  uint32_t bits = 0;
  for (int k = 0; k < N; ++k) bits |= (mask[k] != 0 ? 1u : 0u) << k;
  return bits;
#endif
}

// std::trunc of every lane, not-a-number and infinities included: below 2^23
// in size a float may have a fraction and the integer round trip drops it
// exactly (the sign bit is put back so that -0.5 gives -0.0); from 2^23 on
// every float is whole and is kept as it is.
template <int N>
inline void truncate_lanes(const typename Lanes<N>::F& v, typename Lanes<N>::F& out) {
#if defined(__x86_64__)
  if constexpr (N >= 8) {
    wide::truncate(v, out);
    return;
  }
#endif
  using F = typename Lanes<N>::F;
  using I = typename Lanes<N>::I;
  const I bits = reinterpret_cast<I>(v);
  const F magnitude = reinterpret_cast<F>(bits & 0x7fffffff);
  const I fractional = magnitude < 8388608.0f;
  const F in_range = fractional ? v : F{};
  const F whole = __builtin_convertvector(__builtin_convertvector(in_range, I), F);
  const F signed_whole = reinterpret_cast<F>(reinterpret_cast<I>(whole) | (bits & INT32_MIN));
  out = fractional ? signed_whole : v;
}

// std::sqrt of every lane. On x86-64 one SSE or AVX instruction; a
// lane-by-lane loop would write the lanes to memory one at a time and read
// them back as a whole vector, which has to wait for the stores.
template <int N>
inline void square_root_lanes(const typename Lanes<N>::F& v, typename Lanes<N>::F& out) {
#if defined(__x86_64__)
  if constexpr (N == 8) {
    wide::square_root(v, out);
    return;
  } else if constexpr (N == 4) {
    out = reinterpret_cast<typename Lanes<N>::F>(_mm_sqrt_ps(reinterpret_cast<__m128>(v)));
    return;
  }
#endif
  for (int k = 0; k < N; ++k) out[k] = std::sqrt(v[k]);
}

// The reference's lifted_fraction: v - trunc(v), plus 1 when negative.
template <int N>
[[gnu::always_inline]] inline void lifted_fraction_lanes(const typename Lanes<N>::F& v,
                                                         typename Lanes<N>::F& out) {
  typename Lanes<N>::F whole;
  truncate_lanes<N>(v, whole);
  const typename Lanes<N>::F f = v - whole;
  out = f < 0.0f ? f + 1.0f : f;
}

// min(1, v) with not-a-number giving 1, as the reference's min_one.
template <int N>
[[gnu::always_inline]] inline void min_one_lanes(typename Lanes<N>::F& v,
                                                 const typename Lanes<N>::F& ones) {
  min_lanes<N>(v, ones, v);
}

// The float-to-byte rule on values already scaled to 0..255: clamp_byte,
// where not-a-number gives 0 and the fraction is cut.
template <int N>
[[gnu::always_inline]] inline void byte_lanes(const typename Lanes<N>::F& v,
                                              const typename Lanes<N>::F& top,
                                              typename Lanes<N>::I& out) {
  using F = typename Lanes<N>::F;
  F clamped;
  max_lanes<N>(v, F{}, clamped);
  min_lanes<N>(clamped, top, clamped);
  out = __builtin_convertvector(clamped, typename Lanes<N>::I);
}

// A lane's texture column or row: trunc_u32(t) for t in 0..extent, with
// not-a-number and negatives giving 0. The upper clamp never acts on
// wrapped coordinates (they stay in 0..1); it keeps the integer conversion
// defined and the texel inside the image whatever comes in.
template <int N>
[[gnu::always_inline]] inline void texel_lanes(const typename Lanes<N>::F& t,
                                               const typename Lanes<N>::F& extent,
                                               typename Lanes<N>::I& out) {
  using F = typename Lanes<N>::F;
  F clamped;
  max_lanes<N>(t, F{}, clamped);
  min_lanes<N>(clamped, extent, clamped);
  out = __builtin_convertvector(clamped, typename Lanes<N>::I);
}

// Four texels (R, G, B, A each) turned into four lanes of R, of G, of B, of A.
[[gnu::always_inline]] inline void transpose_texels(const Texel& t0, const Texel& t1,
                                                    const Texel& t2, const Texel& t3, Texel& r,
                                                    Texel& g, Texel& b, Texel& a) {
  const Texel rg01 = __builtin_shufflevector(t0, t1, 0, 4, 1, 5);
  const Texel rg23 = __builtin_shufflevector(t2, t3, 0, 4, 1, 5);
  const Texel ba01 = __builtin_shufflevector(t0, t1, 2, 6, 3, 7);
  const Texel ba23 = __builtin_shufflevector(t2, t3, 2, 6, 3, 7);
  r = __builtin_shufflevector(rg01, rg23, 0, 1, 4, 5);
  g = __builtin_shufflevector(rg01, rg23, 2, 3, 6, 7);
  b = __builtin_shufflevector(ba01, ba23, 0, 1, 4, 5);
  a = __builtin_shufflevector(ba01, ba23, 2, 3, 6, 7);
}

// The true-colour texels at the lanes' indices, as channel vectors. Every
// index lies inside the image (columns and rows are clamped), dead lanes
// included, so every lane may be read. The four-lane form takes the indices
// from the vector lane by lane; the wider ones store the vector once and read
// the indices back, one whole store to many small loads, which the processor
// forwards.
template <int N>
inline void gather_texels(const Colour* pixels, const typename Lanes<N>::I& at,
                          typename Lanes<N>::F& r, typename Lanes<N>::F& g, typename Lanes<N>::F& b,
                          typename Lanes<N>::F& a) {
#if defined(__x86_64__)
  if constexpr (N >= 8) {
    wide::gather(pixels, at, r, g, b, a);
    return;
  }
#endif
  if constexpr (N == 4) {
    Texel t[4];
    for (int k = 0; k < 4; ++k) std::memcpy(&t[k], &pixels[at[k]], sizeof(Texel));
    transpose_texels(t[0], t[1], t[2], t[3], r, g, b, a);
  } else {
    typename Lanes<N / 2>::I at0, at1;
    split_halves<N>(at, at0, at1);
    typename Lanes<N / 2>::F r0, g0, b0, a0, r1, g1, b1, a1;
    gather_texels<N / 2>(pixels, at0, r0, g0, b0, a0);
    gather_texels<N / 2>(pixels, at1, r1, g1, b1, a1);
    join_halves<N>(r0, r1, r);
    join_halves<N>(g0, g1, g);
    join_halves<N>(b0, b1, b);
    join_halves<N>(a0, a1, a);
  }
}

template <int N, size_t... K>
[[gnu::always_inline]] inline void gather_bytes_at(const uint8_t* bytes,
                                                   const typename Lanes<N>::I& at,
                                                   typename Lanes<N>::I& out,
                                                   std::index_sequence<K...>) {
  out = typename Lanes<N>::I{bytes[at[K]]...};
}

// The bytes at the lanes' indices (colour-mapped texels' palette entries),
// each index inside the array; built in the vector directly, for the same
// reason as above.
template <int N>
[[gnu::always_inline]] inline void gather_bytes(const uint8_t* bytes,
                                                const typename Lanes<N>::I& at,
                                                typename Lanes<N>::I& out) {
  gather_bytes_at<N>(bytes, at, out, std::make_index_sequence<N>{});
}

// A group's 3 N stored colour bytes in and out of the low bytes of a
// Pixels vector, as 8-byte words (and a 4-byte one for N = 4) built into the
// vector directly: a copy of 3 N bytes through the vector's memory would
// make the next load wait for several smaller stores to drain.
template <int N>
struct Words {
  static constexpr int kWide = 3 * N / 8;          // 8-byte words
  static constexpr bool kTail = (3 * N) % 8 == 4;  // and one 4-byte word
  typedef uint64_t W __attribute__((vector_size(4 * N)));
};

template <int N, size_t... K>
[[gnu::always_inline]] inline void load_words_at(const uint8_t* from,
                                                 typename Lanes<N>::Pixels& out,
                                                 std::index_sequence<K...>) {
  using Word = Words<N>;
  // One word per lane of the 8-byte view (N / 2 of them); the last ones
  // stay zero.
  uint64_t w[N / 2] = {};
  for (int k = 0; k < Word::kWide; ++k) std::memcpy(&w[k], from + 8 * k, 8);
  if constexpr (Word::kTail) {
    uint32_t tail = 0;
    std::memcpy(&tail, from + 8 * Word::kWide, 4);
    w[Word::kWide] = tail;
  }
  const typename Word::W words{w[K]...};
  out = reinterpret_cast<typename Lanes<N>::Pixels>(words);
}

template <int N>
inline void load_group_bytes(const uint8_t* from, typename Lanes<N>::Pixels& out) {
#if defined(__x86_64__)
  if constexpr (N == 16) {
    wide::load_48(from, out);
    return;
  }
#endif
  load_words_at<N>(from, out, std::make_index_sequence<N / 2>{});
}

template <int N>
inline void store_group_bytes(uint8_t* to, const typename Lanes<N>::Pixels& bytes) {
#if defined(__x86_64__)
  if constexpr (N == 16) {
    wide::store_48(to, bytes);
    return;
  }
#endif
  using Word = Words<N>;
  const typename Word::W words = reinterpret_cast<typename Word::W>(bytes);
  for (int k = 0; k < Word::kWide; ++k) {
    const uint64_t w = words[k];
    std::memcpy(to + 8 * k, &w, 8);
  }
  if constexpr (Word::kTail) {
    const uint32_t tail = static_cast<uint32_t>(words[Word::kWide]);
    std::memcpy(to + 8 * Word::kWide, &tail, 4);
  }
}

// Byte k of the interleaved colour of a group: blue, green, red of lane 0,
// then of lane 1, ..., taken from the low three bytes of each 32-bit lane;
// the padding after the 3 N bytes takes the lanes' top bytes.
constexpr int interleaved_byte(int k, int n) {
  return k < 3 * n ? (k / 3) * 4 + k % 3 : (k - 3 * n) * 4 + 3;
}

template <int N, size_t... K>
[[gnu::always_inline]] inline void low_three_bytes_at(const typename Lanes<N>::Pixels& bytes,
                                                      typename Lanes<N>::Pixels& out,
                                                      std::index_sequence<K...>) {
  out = __builtin_shufflevector(bytes, bytes, interleaved_byte(K, N)...);
}

// The group's stored bytes from its lanes' low three bytes: picking bytes
// out of the lanes is one byte shuffle; converting lane by lane would not be.
template <int N>
[[gnu::always_inline]] inline void low_three_bytes(const typename Lanes<N>::I& lanes,
                                                   typename Lanes<N>::Pixels& out) {
  low_three_bytes_at<N>(reinterpret_cast<typename Lanes<N>::Pixels>(lanes), out,
                        std::make_index_sequence<4 * N>{});
}

// Byte k of the lanes that spread one channel of a group's stored bytes:
// byte 0 of lane j is the pixel's byte `first` (0 blue, 1 green, 2 red), the
// other three come from the zero vector (indices from 4 N up).
constexpr int spread_byte(int k, int n, int first) {
  return k % 4 == 0 ? (k / 4) * 3 + first : 4 * n;
}

template <int N, int kFirst, size_t... K>
[[gnu::always_inline]] inline void spread_channel_at(const typename Lanes<N>::Pixels& bytes,
                                                     typename Lanes<N>::F& out,
                                                     std::index_sequence<K...>) {
  const typename Lanes<N>::Pixels zero{};
  const typename Lanes<N>::Pixels lanes =
      __builtin_shufflevector(bytes, zero, spread_byte(K, N, kFirst)...);
  out =
      __builtin_convertvector(reinterpret_cast<typename Lanes<N>::I>(lanes), typename Lanes<N>::F);
}

// One channel of the group's old bytes, as floats.
template <int N, int kFirst>
[[gnu::always_inline]] inline void spread_channel(const typename Lanes<N>::Pixels& bytes,
                                                  typename Lanes<N>::F& out) {
  spread_channel_at<N, kFirst>(bytes, out, std::make_index_sequence<4 * N>{});
}

}  // namespace vel::lanes
