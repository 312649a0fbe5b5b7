// draw2d.cpp: everything drawn over the 3D view in layout pixels: blended
// pixels, colour-ramped lines, rectangles, image blits and bitmap text.
// A layout pixel is a target.scale x target.scale block of target pixels,
// each blended alike, so an overlay looks the same at every render scale.
//
// Unlike the triangle rasteriser, these blend the unquantised source
// (channel * 255) straight into the target byte. Coordinates are widened to
// 64 bits wherever they are offset or subtracted, so no caller-supplied
// position can overflow; loops are clipped to the target first, which leaves
// the visible result unchanged.
#include "gfx/draw2d.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "base/saturate.h"
#include "gfx/pixel_fill.h"

namespace vel {

namespace {

// new = trunc(clamp(src * a + old * (1 - a), 0, 255)) for each of blue,
// green, red; the sources are already scaled to 0..255.
inline void blend_bytes(uint8_t* out, float r255, float g255, float b255, float a) {
  const float keep = 1.0f - a;
  out[0] = clamp_byte(b255 * a + static_cast<float>(out[0]) * keep);
  out[1] = clamp_byte(g255 * a + static_cast<float>(out[1]) * keep);
  out[2] = clamp_byte(r255 * a + static_cast<float>(out[2]) * keep);
}

inline size_t pixel_index(const Framebuffer& target, int64_t x, int64_t y) {
  const int64_t stored_row = target.height - 1 - y;
  return static_cast<size_t>(stored_row * target.width + x);
}

// Pixels and rectangles take the field from the target row y itself (the
// same as the stored row rule for an even height); the band from the stored
// row.
inline bool y_in_field(const RenderFlags& flags, const Framebuffer& target, int64_t y) {
  return (!flags.interlace || y % 2 == flags.odd_field) &&
         row_in_band(flags, static_cast<int32_t>(target.height - 1 - y));
}

// Blends the target pixels x0..x1 - 1 of rows y0..y1 - 1 (already inside
// the target) and sets their depth to 0.
void blend_target_block(int64_t x0, int64_t y0, int64_t x1, int64_t y1, float r255, float g255,
                        float b255, float a, const RenderFlags& flags, Framebuffer& target) {
  for (int64_t y = y0; y < y1; ++y) {
    if (!y_in_field(flags, target, y)) continue;
    for (int64_t x = x0; x < x1; ++x) {
      const size_t pixel = pixel_index(target, x, y);
      blend_bytes(&target.colour[3 * pixel], r255, g255, b255, a);
      // Depth 0 keeps later 3D drawing of this frame from covering the pixel.
      target.depth[pixel] = 0.0f;
    }
  }
}

inline Colour ramp(float t, Colour from, Colour to) {
  const float s = 1.0f - t;
  return {t * to.r + s * from.r, t * to.g + s * from.g, t * to.b + s * from.b,
          t * to.a + s * from.a};
}

inline int64_t abs64(int64_t v) {
  return v < 0 ? -v : v;
}

}  // namespace

void blend_pixel(Point2 at, Colour colour, const RenderFlags& flags, Framebuffer& target) {
  if (at.x < 0 || at.x >= layout_width(target) || at.y < 0 || at.y >= layout_height(target)) return;
  const int64_t n = target.scale;
  blend_target_block(at.x * n, at.y * n, (at.x + 1) * n, (at.y + 1) * n, colour.r * 255.0f,
                     colour.g * 255.0f, colour.b * 255.0f, colour.a, flags, target);
}

void blend_block(Point2 corner, Point2 size, Colour colour, const RenderFlags& flags,
                 Framebuffer& target) {
  const int64_t x0 = std::max<int64_t>(corner.x, 0);
  const int64_t y0 = std::max<int64_t>(corner.y, 0);
  const int64_t x1 = std::min<int64_t>(int64_t{corner.x} + size.x, target.width);
  const int64_t y1 = std::min<int64_t>(int64_t{corner.y} + size.y, target.height);
  blend_target_block(x0, y0, x1, y1, colour.r * 255.0f, colour.g * 255.0f, colour.b * 255.0f,
                     colour.a, flags, target);
}

// Both ends are drawn. With n pixels the ramp weights run 1/n, 2/n, ..., 1 in
// visiting order (left to right, or bottom to top when steep) and are
// reversed when the line runs the other way, so a line always starts one step
// away from colour_from or exactly on it, never both.
void draw_line(Point2 from, Point2 to, Colour colour_from, Colour colour_to,
               const RenderFlags& flags, Framebuffer& target) {
  const int64_t y_min = std::min(from.y, to.y);
  const int64_t y_max = std::max(from.y, to.y);
  const float y_span = static_cast<float>(abs64(int64_t{to.y} - from.y) + 1);
  // Rows and columns outside the target draw nothing, so the loops start and
  // stop at its edges.
  const int64_t y_first = std::max<int64_t>(y_min, 0);
  const int64_t y_last = std::min<int64_t>(y_max, layout_height(target) - 1);

  if (from.x == to.x) {
    const bool reverse = to.y < from.y;
    for (int64_t y = y_first; y <= y_last; ++y) {
      float t = static_cast<float>(y - y_min + 1) / y_span;
      if (reverse) t = 1.0f - t;
      blend_pixel({from.x, static_cast<int32_t>(y)}, ramp(t, colour_from, colour_to), flags,
                  target);
    }
    return;
  }

  const bool swapped = from.x > to.x;
  const Point2 left = swapped ? to : from;
  const Point2 right = swapped ? from : to;
  const float run = static_cast<float>(int64_t{right.x} - left.x);
  const float k = static_cast<float>(int64_t{right.y} - left.y) / run;
  const float b = (static_cast<float>(left.y) * static_cast<float>(right.x) -
                   static_cast<float>(right.y) * static_cast<float>(left.x)) /
                  run;

  if (std::fabs(k) > 1.0f) {
    // Steep: one pixel per row, x from the inverse of the line equation.
    const float inv_k = 1.0f / k;
    const bool reverse = (swapped && right.y >= left.y) || (!swapped && right.y < left.y);
    for (int64_t y = y_first; y <= y_last; ++y) {
      const int32_t x = trunc_i32(inv_k * (static_cast<float>(y) - b));
      float t = static_cast<float>(y - y_min + 1) / y_span;
      if (reverse) t = 1.0f - t;
      blend_pixel({x, static_cast<int32_t>(y)}, ramp(t, colour_from, colour_to), flags, target);
    }
    return;
  }

  // Shallow: one pixel per column.
  const float x_span = static_cast<float>(int64_t{right.x} - left.x + 1);
  const int64_t x_first = std::max<int64_t>(left.x, 0);
  const int64_t x_last = std::min<int64_t>(right.x, layout_width(target) - 1);
  for (int64_t x = x_first; x <= x_last; ++x) {
    const int32_t y = trunc_i32(static_cast<float>(x) * k + b);
    float t = static_cast<float>(x - left.x + 1) / x_span;
    if (swapped) t = 1.0f - t;
    blend_pixel({static_cast<int32_t>(x), y}, ramp(t, colour_from, colour_to), flags, target);
  }
}

void draw_rectangle(Point2 corner_a, Point2 corner_b, Colour colour, bool filled,
                    const RenderFlags& flags, Framebuffer& target) {
  if (!filled) {
    // Corner pixels are visited by two lines, so a translucent outline is
    // blended twice there.
    const Point2 p{corner_a.x, corner_b.y};
    const Point2 q{corner_b.x, corner_a.y};
    draw_line(p, corner_b, colour, colour, flags, target);
    draw_line(corner_b, q, colour, colour, flags, target);
    draw_line(q, corner_a, colour, colour, flags, target);
    draw_line(corner_a, p, colour, colour, flags, target);
    return;
  }

  // Rows corner_a.y..corner_b.y inclusive; columns corner_a.x..corner_b.x - 1
  // (the right edge is exclusive).
  if (!(corner_b.y >= corner_a.y && corner_a.x < corner_b.x)) return;
  // Clipped to the layout, then spread over the target pixels it covers.
  const int64_t n = target.scale;
  const int64_t y_first = std::max<int64_t>(corner_a.y, 0) * n;
  const int64_t y_last = (std::min<int64_t>(corner_b.y, layout_height(target) - 1) + 1) * n - 1;
  const int64_t x_first = std::max<int64_t>(corner_a.x, 0) * n;
  const int64_t x_last =
      (std::min<int64_t>(int64_t{corner_b.x} - 1, layout_width(target) - 1) + 1) * n - 1;
  const float r255 = colour.r * 255.0f;
  const float g255 = colour.g * 255.0f;
  const float b255 = colour.b * 255.0f;
  // Fully opaque (the letterbox bars): the old byte is weighted by 0 and
  // adds nothing, so every pixel of a row takes the same three bytes.
  const bool opaque = colour.a == 1.0f;
  // A translucent rectangle gives each old byte value the same new value
  // wherever it stands: blend_bytes is worked out once per value and
  // channel, and the pixels look theirs up (the page backings and panels
  // cover most of a big picture).
  uint8_t blended[3][256];
  const bool by_table = !opaque && (y_last - y_first + 1) * (x_last - x_first + 1) > 3 * 256;
  if (by_table) {
    for (int v = 0; v < 256; ++v) {
      uint8_t bytes[3] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v),
                          static_cast<uint8_t>(v)};
      blend_bytes(bytes, r255, g255, b255, colour.a);
      for (int c = 0; c < 3; ++c) blended[c][v] = bytes[c];
    }
  }
  for (int64_t y = y_first; y <= y_last; ++y) {
    if (!y_in_field(flags, target, y)) continue;
    if (by_table && x_first <= x_last) {
      const size_t first = pixel_index(target, x_first, y);
      const size_t count = static_cast<size_t>(x_last - x_first + 1);
      uint8_t* bytes = &target.colour[3 * first];
      for (size_t i = 0; i < count; ++i, bytes += 3) {
        bytes[0] = blended[0][bytes[0]];
        bytes[1] = blended[1][bytes[1]];
        bytes[2] = blended[2][bytes[2]];
      }
      std::fill_n(target.depth.begin() + static_cast<std::ptrdiff_t>(first), count, 0.0f);
      continue;
    }
    if (opaque && x_first <= x_last) {
      const size_t first = pixel_index(target, x_first, y);
      const size_t count = static_cast<size_t>(x_last - x_first + 1);
      fill_pixels(&target.colour[3 * first], count, clamp_byte(b255), clamp_byte(g255),
                  clamp_byte(r255));
      std::fill_n(target.depth.begin() + static_cast<std::ptrdiff_t>(first), count, 0.0f);
      continue;
    }
    for (int64_t x = x_first; x <= x_last; ++x) {
      const size_t pixel = pixel_index(target, x, y);
      blend_bytes(&target.colour[3 * pixel], r255, g255, b255, colour.a);
      target.depth[pixel] = 0.0f;
    }
  }
}

// Every source pixel goes to exactly one target pixel: a scale above 1
// spreads the pixels apart (leaving gaps), below 1 packs them together (later
// columns blend over earlier ones). Source pixel (c, s) lands at
// position - (x0, y0) - anchor offset + (trunc(c * scale.x), trunc(s * scale.y)).
void blit_image(const Image& image, const Blit& blit, const RenderFlags& flags,
                Framebuffer& target) {
  // The record's values as locals: scale and mark_depth are read at every
  // pixel, and a local copy is one the colour stores cannot alias.
  const std::optional<Rect> source = blit.source;
  const Point2 position = blit.position;
  const Vec2 anchor = blit.anchor;
  const Vec2 scale = blit.scale;
  const std::optional<Colour> tint = blit.tint;
  const bool mark_depth = blit.mark_depth;
  int64_t x0 = 0, y0 = 0, x1 = image.width, y1 = image.height;
  if (source) {
    x0 = source->x0;
    y0 = source->y0;
    x1 = source->x1;
    y1 = source->y1;
  }
  if (x1 - x0 <= 0 || y1 - y0 <= 0) return;
  if (image.width <= 0 || image.height <= 0) return;

  // A malformed image (arrays shorter than width * height) has nothing safe
  // to draw.
  const size_t texel_count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  if (image.colour_mapped ? image.indices.size() < texel_count
                          : image.pixels.size() < texel_count) {
    return;
  }

  const int32_t ox = trunc_i32(static_cast<float>(x1 - x0) * scale.x * anchor.x);
  const int32_t oy = trunc_i32(static_cast<float>(y1 - y0) * scale.y * anchor.y);
  const int64_t base_x = int64_t{position.x} - x0 - ox;
  const int64_t base_y = int64_t{position.y} - y0 - oy;

  // A source rectangle reaching outside the image is clipped to it; the
  // pixels that remain land where they would have landed unclipped.
  const int64_t c_begin = std::max<int64_t>(x0, 0);
  const int64_t c_end = std::min<int64_t>(x1, image.width);
  const int64_t s_begin = std::max<int64_t>(y0, 0);
  const int64_t s_end = std::min<int64_t>(y1, image.height);

  const Colour t = tint.value_or(Colour{1.0f, 1.0f, 1.0f, 1.0f});
  // Positions are layout pixels (or the target's own), each n x n target
  // pixels.
  const int64_t n = blit.picture_pixels ? 1 : target.scale;
  const int64_t width = target.width / n;
  const int64_t height = target.height / n;
  const int64_t target_width = target.width;
  const int64_t target_height = target.height;
  const int64_t image_width = image.width;
  const int64_t image_height = image.height;
  const size_t palette_size = image.palette.size();

  for (int64_t c = c_begin; c < c_end; ++c) {
    const int64_t x = base_x + trunc_i32(static_cast<float>(c) * scale.x);
    if (x < 0 || x >= width) continue;
    for (int64_t s = s_begin; s < s_end; ++s) {
      const int64_t y = base_y + trunc_i32(static_cast<float>(s) * scale.y);
      if (y < 0 || y >= height) continue;

      // Source row s counts up from the image's last stored row.
      const size_t texel = static_cast<size_t>((image_height - 1 - s) * image_width + c);
      Colour texel_colour;
      if (image.colour_mapped) {
        const uint8_t entry = image.indices[texel];
        if (entry >= palette_size) continue;
        texel_colour = image.palette[entry];
      } else {
        texel_colour = image.pixels[texel];
      }

      const float r255 = texel_colour.r * 255.0f * t.r;
      const float g255 = texel_colour.g * 255.0f * t.g;
      const float b255 = texel_colour.b * 255.0f * t.b;
      const float a = texel_colour.a * t.a;
      for (int64_t ty = y * n; ty < (y + 1) * n; ++ty) {
        const int64_t stored_row = target_height - 1 - ty;
        if (!row_in_field(flags, static_cast<int32_t>(stored_row))) continue;
        for (int64_t tx = x * n; tx < (x + 1) * n; ++tx) {
          const size_t pixel = static_cast<size_t>(stored_row * target_width + tx);
          if (mark_depth) target.depth[pixel] = 0.0f;
          // No alpha cut-off: a weight of 0 leaves the colour unchanged.
          blend_bytes(&target.colour[3 * pixel], r255, g255, b255, a);
        }
      }
    }
  }
}

// The font holds glyphs in 8 columns of square cells, starting with the space
// in the top-left cell, in character-code order. Neighbouring glyph cells
// overlap by two columns.
void draw_text(const Image& font, std::string_view text, Point2 pen, Colour tint,
               const RenderFlags& flags, Framebuffer& target) {
  const int64_t cell = font.width / 8;
  int64_t pen_x = pen.x;
  for (const char byte : text) {
    if (pen_x < INT32_MIN || pen_x > INT32_MAX) break;  // nothing further can be seen
    const uint8_t g = static_cast<uint8_t>(static_cast<uint8_t>(byte) - 32u);
    const int64_t column = g % 8;
    const int64_t row = g / 8;
    const int64_t x0 = column * cell;
    const int64_t y1 = font.height - row * cell;
    const int64_t y0 = y1 - cell;
    // A glyph whose cell lies (even partly) below the font image does not
    // exist: the pen moves on, nothing is drawn.
    if (y0 >= 0) {
      const Rect glyph{static_cast<int32_t>(x0), static_cast<int32_t>(y0),
                       static_cast<int32_t>(x0 + cell), static_cast<int32_t>(y1)};
      blit_image(font,
                 {.source = glyph,
                  .position = {static_cast<int32_t>(pen_x), pen.y},
                  .anchor = {0.0f, 0.5f},
                  .tint = tint},
                 flags, target);
    }
    pen_x += cell - 2;
  }
}

}  // namespace vel
