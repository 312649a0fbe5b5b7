// draw2d.h: pixels, lines, rectangles, image blits and bitmap text drawn over
// the picture, in target pixels with y upward from the bottom row.
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
void draw_line(Point2 from, Point2 to, Colour colour_from, Colour colour_to,
               const RenderFlags& flags, Framebuffer& target);
void draw_rectangle(Point2 corner_a, Point2 corner_b, Colour colour, bool filled,
                    const RenderFlags& flags, Framebuffer& target);
// Every source pixel goes to one target pixel (scaling spreads or packs,
// never fills). A source rectangle reaching outside the image draws only the
// image's own pixels, each where it would have landed.
void blit_image(const Image& image, std::optional<Rect> source, Point2 position, Vec2 anchor,
                Vec2 scale, std::optional<Colour> tint, bool mark_depth, const RenderFlags& flags,
                Framebuffer& target);
// One line of text from a font image of 8 columns of square cells starting
// at the space; glyph cells overlap by two columns. Bytes whose cell lies
// outside the font image draw nothing but still advance the pen.
void draw_text(const Image& font, std::string_view text, Point2 pen, Colour tint,
               const RenderFlags& flags, Framebuffer& target);

}  // namespace vel
