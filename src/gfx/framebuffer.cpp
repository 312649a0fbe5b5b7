// framebuffer.cpp: creating render targets and the operations that act on a
// whole target: clears, fades, the sky gradient and conversion to an Image.
#include "gfx/framebuffer.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "base/fatal.h"
#include "base/saturate.h"
#include "gfx/pixel_fill.h"

namespace vel {

namespace {

[[noreturn]] void refuse_size(int32_t width, int32_t height) {
  fatal("memory allocation failed: a framebuffer of " + std::to_string(width) + "x" +
        std::to_string(height) + " pixels");
}

// A large picture's rows each lie on pages of their own: a triangle's
// fill steps from row to row, and with 4 KiB pages every step is a new
// page to look up. Asked for before the storage is first touched, the
// system backs it with 2 MiB pages where it can; nothing changes where it
// cannot.
template <typename T>
void reserve_on_large_pages(std::vector<T>& storage, size_t count) {
  storage.reserve(count);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
  const uintptr_t begin = reinterpret_cast<uintptr_t>(storage.data());
  const uintptr_t end = begin + count * sizeof(T);
  const uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
  const uintptr_t last = end & ~(kLargePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

}  // namespace

Framebuffer framebuffer_new(int32_t width, int32_t height) {
  // The colour array is addressed with 32-bit byte offsets, so 3*w*h must
  // fit; a negative size is refused the same way rather than wrapping.
  if (width < 0 || height < 0) refuse_size(width, height);
  // Cannot wrap: 3 * (2^31)^2 is below 2^64.
  const uint64_t bytes = uint64_t{3} * static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (bytes > INT32_MAX) refuse_size(width, height);
  Framebuffer target;
  try {
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    reserve_on_large_pages(target.colour, static_cast<size_t>(bytes));
    reserve_on_large_pages(target.depth, pixels);
    target.colour.assign(static_cast<size_t>(bytes), 0);
    target.depth.assign(pixels, 0.0f);
  } catch (const std::bad_alloc&) {
    refuse_size(width, height);
  }
  target.width = width;
  target.height = height;
  return target;
}

Framebuffer framebuffer_at_scale(int32_t scale) {
  Framebuffer target = framebuffer_new(kPictureWidth * scale, kPictureHeight * scale);
  target.scale = scale;
  return target;
}

namespace {

// Row r of the target starts at byte 3*r*width; the field rule picks rows.
uint8_t* row_bytes(Framebuffer& target, int32_t r) {
  return target.colour.data() +
         size_t{3} * static_cast<size_t>(r) * static_cast<size_t>(target.width);
}

// Sixteen depth values.
constexpr size_t kDepthBlock = 64;

// Paints one stored row of the target in a flat colour.
void fill_row(Framebuffer& target, int32_t r, uint8_t blue, uint8_t green, uint8_t red) {
  fill_pixels(row_bytes(target, r), static_cast<size_t>(target.width), blue, green, red);
}

void reset_depth_run(float* depth, size_t count) {
#if defined(__x86_64__)
  uint32_t bits;
  std::memcpy(&bits, &kDepthEmpty, sizeof bits);
  asm volatile("rep stosl" : "+D"(depth), "+c"(count) : "a"(bits) : "memory");
#else
  for (size_t i = 0; i < count && i < kDepthBlock / sizeof(float); ++i) depth[i] = kDepthEmpty;
  repeat_block<kDepthBlock>(reinterpret_cast<uint8_t*>(depth), count * sizeof(float));
#endif
}

// Every row of the drawing's band, whatever the field.
void reset_depth(const RenderFlags& flags, Framebuffer& target) {
  if (flags.band_count <= 1) {
    reset_depth_run(target.depth.data(), target.depth.size());
    return;
  }
  const size_t width = static_cast<size_t>(target.width);
  for (int32_t first = kBandRows * flags.band; first < target.height;
       first += kBandRows * flags.band_count) {
    const int32_t rows = std::min(kBandRows, target.height - first);
    reset_depth_run(target.depth.data() + static_cast<size_t>(first) * width,
                    static_cast<size_t>(rows) * width);
  }
}

// Every colour byte b of the current field becomes trunc(clamp(b*k, 0, 255)).
// A byte has 256 values, so the rule is worked out once for each and the
// bytes are looked up: the same results at a table read per byte.
void scale_field(const RenderFlags& flags, Framebuffer& target, float k) {
  uint8_t scaled[256];
  for (int b = 0; b < 256; ++b) scaled[b] = clamp_byte(static_cast<float>(b) * k);
  const size_t row_size = size_t{3} * static_cast<size_t>(target.width);
  for (int32_t r = 0; r < target.height; ++r) {
    if (!row_in_field(flags, r)) continue;
    uint8_t* row = row_bytes(target, r);
    for (size_t i = 0; i < row_size; ++i) row[i] = scaled[row[i]];
  }
}

}  // namespace

void clear_framebuffer(Rgb colour, const RenderFlags& flags, Framebuffer& target) {
  const uint8_t blue = channel_byte(colour.b);
  const uint8_t green = channel_byte(colour.g);
  const uint8_t red = channel_byte(colour.r);
  for (int32_t r = 0; r < target.height; ++r) {
    if (!row_in_field(flags, r)) continue;
    fill_row(target, r, blue, green, red);
  }
  // Depth is reset on every row whatever the field: the other field's rows
  // keep last frame's colour, but their depth must not hide this frame.
  reset_depth(flags, target);
}

void darken_framebuffer(const RenderFlags& flags, Framebuffer& target, float amount) {
  // amount above 1 gives a negative factor, which the clamp turns into black.
  scale_field(flags, target, 1.0f - amount);
}

void brighten_framebuffer(const RenderFlags& flags, Framebuffer& target, float amount) {
  // 1 at amount 0, rising to 2 at amount 0.1 and held there. The minimum
  // passes over a NaN (the factor is then 2), as in the sky gradient.
  scale_field(flags, target, std::fmin(amount * 10.0f, 1.0f) + 1.0f);
}

void draw_sky_gradient(Rgb low, Rgb high, const RenderFlags& flags, Framebuffer& target,
                       float exponent, float pitch, float fov) {
  // Half the field of view in radians maps to half the picture height, so
  // the horizon of the ramp follows the camera; beyond twice that it stops.
  float slope = pitch / (fov * 3.141592f / 180.0f * 0.5f);
  // Minimum with 2 first, then maximum with -2. Both pass over a NaN, so the
  // order matters there: a slope that is not a number is held at 2.
  slope = std::fmin(slope, 2.0f);
  slope = std::fmax(slope, -2.0f);
  const int32_t h2 = target.height / 2;
  const int32_t shift = trunc_i32(static_cast<float>(h2) * slope);

  // The ramp is constant along a row, so it is evaluated once per row; the
  // bytes are the same as evaluating it per pixel.
  // Rows beyond either end of the ramp share its end value, so the ramp is
  // worked out again only where v changes.
  const float height = static_cast<float>(target.height);
  int32_t last_v = -1;
  uint8_t blue = 0, green = 0, red = 0;
  for (int32_t r = 0; r < target.height; ++r) {
    if (!row_in_field(flags, r)) continue;
    int32_t v = r + shift;
    if (v <= 0) v = 0;
    v = std::min(v, target.height);
    if (v != last_v) {
      const float w = static_cast<float>(target.height - v) / height;
      const float a = std::copysign(std::pow(std::fabs(w), exponent), w);
      blue = channel_byte(a * high.b + (1.0f - a) * low.b);
      green = channel_byte(a * high.g + (1.0f - a) * low.g);
      red = channel_byte(a * high.r + (1.0f - a) * low.r);
      last_v = v;
    }
    fill_row(target, r, blue, green, red);
  }
  reset_depth(flags, target);
}

void framebuffer_to_image_into(const Framebuffer& source, bool alpha_from_depth, Image& image) {
  image.path.clear();
  image.palette.clear();
  image.indices.clear();
  image.width = source.width;
  image.height = source.height;
  image.colour_mapped = false;
  const size_t count = source.depth.size();
  assert(source.colour.size() == 3 * count);
  image.pixels.resize(count);
  const uint8_t* px = source.colour.data();
  for (size_t i = 0; i < count; ++i, px += 3) {
    // Nothing drawn where depth still holds the empty value: transparent.
    const float alpha = alpha_from_depth && source.depth[i] == kDepthEmpty ? 0.0f : 1.0f;
    image.pixels[i] = {static_cast<float>(px[2]) / 255.0f, static_cast<float>(px[1]) / 255.0f,
                       static_cast<float>(px[0]) / 255.0f, alpha};
  }
}

Image framebuffer_to_image(const Framebuffer& source, bool alpha_from_depth) {
  Image image;
  framebuffer_to_image_into(source, alpha_from_depth, image);
  return image;
}

}  // namespace vel
