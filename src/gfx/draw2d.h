// draw2d.h: pixels, lines, rectangles, image blits and bitmap text drawn over
// the picture, in layout pixels with y upward from the bottom row: on a
// target of scale N each is an N x N block of target pixels
// (layout_width / layout_height, framebuffer.h).
#pragma once

#include <optional>
#include <string_view>

#include "gfx/framebuffer.h"
#include "gfx/image.h"
#include "gfx/vec.h"

namespace vel {

// Source rectangle in image pixels, y upward from the image's last stored
// row; x1 and y1 exclusive.
struct Rect {
  int32_t x0 = 0;
  int32_t y0 = 0;
  int32_t x1 = 0;
  int32_t y1 = 0;
};

void blend_pixel(Point2 at, Colour colour, const RenderFlags& flags, Framebuffer& target);
// The target's own pixels corner.x .. corner.x + size.x - 1 by corner.y ..
// corner.y + size.y - 1 (whatever the layout scale), each blended as
// blend_pixel blends one: for what is drawn at the picture's resolution.
void blend_block(Point2 corner, Point2 size, Colour colour, const RenderFlags& flags,
                 Framebuffer& target);
void draw_line(Point2 from, Point2 to, Colour colour_from, Colour colour_to,
               const RenderFlags& flags, Framebuffer& target);
void draw_rectangle(Point2 corner_a, Point2 corner_b, Colour colour, bool filled,
                    const RenderFlags& flags, Framebuffer& target);
// Where and how blit_image draws an image. The defaults draw the whole
// image unscaled and untinted with its lower-left corner at `position`; a
// call names what differs:
//   blit_image(picture, {.position = at, .anchor = {0.5f, 0.5f}}, flags, target);
struct Blit {
  std::optional<Rect> source{};  // the whole image when empty
  Point2 position{};
  // The point of the drawn rectangle placed at `position`, as a fraction of
  // its size: {0, 0} its lower-left corner, {0.5, 0.5} its centre.
  Vec2 anchor{0.0f, 0.0f};
  Vec2 scale{1.0f, 1.0f};
  std::optional<Colour> tint{};  // multiplies every texel; none is white
  bool mark_depth = false;       // depth 0 under every pixel drawn
  // position and scale in the target's own pixels, not the layout's: for a
  // picture of the picture itself (the panel's background).
  bool picture_pixels = false;
};

// Every source pixel goes to one target pixel (scaling spreads or packs,
// never fills). A source rectangle reaching outside the image draws only the
// image's own pixels, each where it would have landed.
void blit_image(const Image& image, const Blit& blit, const RenderFlags& flags,
                Framebuffer& target);
// The common case: the whole image, unscaled and untinted, its lower-left
// corner at `position`.
inline void blit_image(const Image& image, Point2 position, const RenderFlags& flags,
                       Framebuffer& target) {
  blit_image(image, {.position = position}, flags, target);
}
// One line of text from a font image of 8 columns of square cells starting
// at the space; glyph cells overlap by two columns. Bytes whose cell lies
// outside the font image draw nothing but still advance the pen.
void draw_text(const Image& font, std::string_view text, Point2 pen, Colour tint,
               const RenderFlags& flags, Framebuffer& target);

}  // namespace vel
