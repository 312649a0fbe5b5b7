// framebuffer.h: the render target and the operations that act on it as a
// whole (clears, fades, sky gradient, conversion to an Image).
//
// Coordinates: x to the right, y upward from the bottom row. Pixel (x, y)
// lives in stored row r = height - 1 - y; colour bytes are blue, green, red.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/image.h"
#include "gfx/vec.h"

namespace vel {

inline constexpr float kDepthEmpty = 3.4028235e38f;

// The game's picture at render scale 1: every overlay is laid out on a
// picture of this size, and the fixed run's screenshot holds exactly these
// pixels.
inline constexpr int32_t kPictureWidth = 320;
inline constexpr int32_t kPictureHeight = 180;
// The render scales a picture can be drawn at: 320N x 180N, up to 1920x1080.
inline constexpr int32_t kLargestScale = 6;

struct DrawWorkers;

struct Framebuffer {
  std::vector<uint8_t> colour;  // 3 * width * height, BGR, top row first
  std::vector<float> depth;     // width * height, smaller is nearer
  int32_t width = 0;
  int32_t height = 0;
  // The 2D overlays (draw2d) are laid out in pixels of width / scale by
  // height / scale, each drawn as a scale x scale block of target pixels.
  int32_t scale = 1;
  // The workers that share the world's drawing between them (draw_workers.h);
  // none: the calling thread draws everything.
  DrawWorkers* workers = nullptr;
};

// The picture the overlays are laid out on.
inline int32_t layout_width(const Framebuffer& target) {
  return target.width / target.scale;
}
inline int32_t layout_height(const Framebuffer& target) {
  return target.height / target.scale;
}

// A drawing split between workers deals the stored rows out in stripes of
// this many rows, stripe k to band k % band_count: fine enough that every
// band gets its share of the sky and of the city, whatever the view, and
// even so that the interlace fields split alike; coarse enough that a
// triangle's walk down its rows, and the caches that follow it, mostly
// stay in rows of its own band (8-row stripes drew a large picture on two
// threads about a sixth slower).
inline constexpr int32_t kBandRows = 32;

// One byte each, in this order, handed to every drawing operation.
struct RenderFlags {
  uint8_t depth_test = 1;
  uint8_t interlace = 0;
  uint8_t odd_field = 0;
  uint8_t cull_back_faces = 1;
  uint8_t depth_override = 0;
  // The share of the stored rows this drawing writes (kBandRows): every row
  // when band_count is 1. Each row is drawn by exactly one band, with the
  // very operations a one-band drawing gives it, so the picture is the same
  // for every band count.
  uint8_t band_count = 1;
  uint8_t band = 0;
};

inline bool row_in_band(const RenderFlags& flags, int32_t stored_row) {
  return flags.band_count <= 1 || (stored_row / kBandRows) % flags.band_count == flags.band;
}

// The band's first stored row at or below `stored_row` (0 <= stored_row),
// going down towards row 0; -1 when the band has none there.
inline int32_t band_row_at_or_below(const RenderFlags& flags, int32_t stored_row) {
  if (row_in_band(flags, stored_row)) return stored_row;
  const int32_t stripe = stored_row / kBandRows;
  if (stripe < flags.band) return -1;
  const int32_t own = stripe - (stripe - flags.band) % flags.band_count;
  return own * kBandRows + kBandRows - 1;
}

// Whether any stored row from `low` to `high` (0 <= low <= high) is the
// band's: a shape wholly in other bands is left to their threads.
inline bool band_meets_rows(const RenderFlags& flags, int32_t low, int32_t high) {
  return band_row_at_or_below(flags, high) >= low;
}

// Field rule: with interlace set, stored row r is drawn only when
// r % 2 != odd_field; and only in the drawing's band.
inline bool row_in_field(const RenderFlags& flags, int32_t stored_row) {
  return (!flags.interlace || (stored_row % 2) != flags.odd_field) &&
         row_in_band(flags, stored_row);
}

struct Rgb {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
};

// Zero-filled colour and depth. Stops the program when 3*width*height
// overflows int32.
Framebuffer framebuffer_new(int32_t width, int32_t height);
// The game's picture at a render scale (1..kLargestScale): 320N x 180N, its
// overlays laid out at 320x180.
Framebuffer framebuffer_at_scale(int32_t scale);
void clear_framebuffer(Rgb colour, const RenderFlags& flags, Framebuffer& target);
void darken_framebuffer(const RenderFlags& flags, Framebuffer& target, float amount);
void brighten_framebuffer(const RenderFlags& flags, Framebuffer& target, float amount);
void draw_sky_gradient(Rgb low, Rgb high, const RenderFlags& flags, Framebuffer& target,
                       float exponent, float pitch, float fov);
Image framebuffer_to_image(const Framebuffer& source, bool alpha_from_depth);
// The same conversion into an existing image, reusing its pixel storage, for
// pictures remade every frame.
void framebuffer_to_image_into(const Framebuffer& source, bool alpha_from_depth, Image& image);

}  // namespace vel
