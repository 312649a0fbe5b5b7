// picture_words.cpp: three-byte pixels widened to words, eight at a time
// where the processor has AVX2.
#include "gfx/picture_words.h"

#include "gfx/cpu_features.h"
#include "gfx/draw_workers.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vel {

namespace {

void widen_row_one_by_one(const uint8_t* in, uint8_t* out, int32_t from, int32_t width) {
  for (int32_t x = from; x < width; ++x) {
    out[4 * x] = in[3 * x];
    out[4 * x + 1] = in[3 * x + 1];
    out[4 * x + 2] = in[3 * x + 2];
    out[4 * x + 3] = 255;
  }
}

#if defined(__x86_64__)
// Eight pixels a step: each 128-bit half loads four pixels (the 12 bytes it
// needs of a 16-byte load) and spreads them into four words. The second
// load of pixels x..x+7 reads up to the first byte of pixel x+9, so a step
// is taken only while that pixel is in the row; the rest go one by one.
[[gnu::target(VEL_AVX2)]] void widen_row_8(const uint8_t* in, uint8_t* out, int32_t width) {
  const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                          1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m256i opaque = _mm256_set1_epi32(static_cast<int32_t>(0xff000000u));
  int32_t x = 0;
  for (; x + 9 < width; x += 8) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x + 12));
    const __m256i both = _mm256_set_m128i(high, low);
    const __m256i words = _mm256_or_si256(_mm256_shuffle_epi8(both, spread), opaque);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * x), words);
  }
  widen_row_one_by_one(in, out, x, width);
}
#endif

struct Job {
  const Framebuffer& picture;
  uint8_t* out;
  int32_t pitch;
};

void widen_band(void* raw, uint8_t band, uint8_t bands) {
  const Job& job = *static_cast<const Job*>(raw);
  const Framebuffer& picture = job.picture;
  const RenderFlags rows{.band_count = bands, .band = band};
  const size_t row_bytes = size_t{3} * static_cast<size_t>(picture.width);
  for (int32_t r = 0; r < picture.height; ++r) {
    if (!row_in_band(rows, r)) continue;
    const uint8_t* in = picture.colour.data() + static_cast<size_t>(r) * row_bytes;
    uint8_t* out = job.out + static_cast<size_t>(r) * static_cast<size_t>(job.pitch);
#if defined(__x86_64__)
    if (cpu_has_avx2()) {
      widen_row_8(in, out, picture.width);
      continue;
    }
#endif
    widen_row_one_by_one(in, out, 0, picture.width);
  }
}

}  // namespace

void picture_to_words(const Framebuffer& picture, uint8_t* out, int32_t pitch) {
  Job job{picture, out, pitch};
  if (picture.workers == nullptr) {
    widen_band(&job, 0, 1);
    return;
  }
  run_bands(*picture.workers, widen_band, &job);
}

}  // namespace vel
