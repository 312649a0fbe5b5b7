// status_hud.cpp: the status overlay in the panel's colours: cyan frames
// and labels, white figures.
#include "play/status_hud.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "base/saturate.h"
#include "gfx/draw2d.h"

namespace vel {

namespace {

constexpr Colour kCyan{0.0f, 0.8f, 1.0f, 1.0f};
constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Colour kTrough{0.0f, 0.1f, 0.2f, 0.6f};
constexpr Colour kLow{1.0f, 0.3f, 0.3f, 1.0f};  // the gauge's colour below a quarter
constexpr Colour kShadow{0.0f, 0.0f, 0.0f, 0.8f};
constexpr Colour kHold{0.2f, 1.0f, 0.3f, 1.0f};  // as ENGAGED!
constexpr Colour kOutOfRange{0.7f, 0.7f, 0.7f, 0.7f};
constexpr Colour kPointer{1.0f, 0.85f, 0.2f, 1.0f};  // the way to a chip
constexpr Colour kBacking{0.0f, 0.0f, 0.0f, 0.6f};   // under the chip's label
// A chip less than this above or below is within a jump: no UP or DOWN.
constexpr int32_t kRiseWorthSaying = 3;
constexpr int32_t kGaugeLength = 60;
constexpr int32_t kMargin = 6;

// Label, number and "/of" written into the buffer (two int32 numbers need
// at most 23 characters); returns the text.
std::string_view labelled(char (&buffer)[48], std::string_view label, int32_t value,
                          const int32_t* of = nullptr) {
  const size_t n = std::min(label.size(), sizeof buffer - 24);
  std::copy_n(label.data(), n, buffer);
  char* end = std::to_chars(buffer + n, buffer + sizeof buffer, value).ptr;
  if (of != nullptr) {
    *end++ = '/';
    end = std::to_chars(end, buffer + sizeof buffer, *of).ptr;
  }
  return {buffer, static_cast<size_t>(end - buffer)};
}

// Text with a dark copy one pixel down and right, readable over a lit
// window as over the night sky.
void shadowed_text(const Image& font, std::string_view text, Point2 pen, Colour colour,
                   const RenderFlags& flags, Framebuffer& target) {
  draw_text(font, text, {pen.x + 1, pen.y - 1}, kShadow, flags, target);
  draw_text(font, text, pen, colour, flags, target);
}

Point2 pixel(Vec2 p) {
  return {trunc_i32(p.x), trunc_i32(p.y)};
}

// A filled arrowhead with its tip `length` along `direction` from `at`.
void draw_arrow(Vec2 at, Vec2 direction, float length, Colour colour, const RenderFlags& flags,
                Framebuffer& target) {
  const Vec2 tip{at.x + direction.x * length, at.y + direction.y * length};
  const Vec2 side{-direction.y * 0.6f * length, direction.x * 0.6f * length};
  const Vec2 back{at.x - direction.x * 0.3f * length, at.y - direction.y * 0.3f * length};
  constexpr int32_t kSteps = 12;
  // A dark copy one pixel down and right first, as under the text.
  for (const float shift : {1.0f, 0.0f}) {
    const Colour c = shift > 0.0f ? kShadow : colour;
    for (int32_t i = 0; i <= kSteps; ++i) {
      const float t = static_cast<float>(i) / static_cast<float>(kSteps) * 2.0f - 1.0f;
      const Vec2 base{back.x + side.x * t + shift, back.y + side.y * t - shift};
      draw_line(pixel(base), pixel({tip.x + shift, tip.y - shift}), c, c, flags, target);
    }
  }
}

// The crosshair tells what a shot would do: closed green corners where the
// rope would hold, cyan corners and a dot on a car or a drone, wide grey
// corners when nothing is in range, a dot while a rope is out.
void draw_crosshair(AimKind aim, const RenderFlags& flags, Framebuffer& target) {
  const int32_t cx = layout_width(target) / 2;
  const int32_t cy = layout_height(target) / 2;
  if (aim == AimKind::none) {
    draw_rectangle({cx - 1, cy - 1}, {cx + 1, cy + 1}, kWhite, true, flags, target);
    return;
  }
  const Colour colour = aim == AimKind::facade    ? kHold
                        : aim == AimKind::vehicle ? kCyan
                                                  : kOutOfRange;
  const int32_t gap = aim == AimKind::out_of_range ? 6 : 3;
  constexpr int32_t kArm = 3;
  for (const int32_t sx : {-1, 1}) {
    for (const int32_t sy : {-1, 1}) {
      const Point2 corner{cx + sx * gap, cy + sy * gap};
      draw_line(corner, {corner.x + sx * kArm, corner.y}, colour, colour, flags, target);
      draw_line(corner, {corner.x, corner.y + sy * kArm}, colour, colour, flags, target);
    }
  }
  if (aim == AimKind::vehicle) draw_rectangle({cx, cy}, {cx, cy}, kCyan, true, flags, target);
}

// The way to a chip: a marker over it when it is on the picture, an arrow
// at the edge towards it otherwise, with its distance.
void draw_chip_mark(const Image& font, const ChipMark& mark, bool with_distance,
                    const RenderFlags& flags, Framebuffer& target) {
  const int32_t advance = font.width / 8 - 2;
  Vec2 label{mark.at.x, mark.at.y + 10.0f};
  if (mark.on_picture) {
    draw_arrow({mark.at.x, mark.at.y + 10.0f}, {0.0f, -1.0f}, 6.0f, kPointer, flags, target);
    label = {mark.at.x, mark.at.y + 14.0f};
  } else {
    draw_arrow(mark.at, mark.direction, 7.0f, kPointer, flags, target);
    label = {mark.at.x - mark.direction.x * 12.0f, mark.at.y - mark.direction.y * 12.0f - 3.0f};
  }
  if (!with_distance) return;
  // The distance, and how far up or down the chip is when that is more
  // than a jump: "63 UP 15".
  char buffer[48];
  std::string_view text = labelled(buffer, "", mark.distance);
  char with_rise[48];
  if (mark.rise > kRiseWorthSaying || mark.rise < -kRiseWorthSaying) {
    const std::string_view way = mark.rise > 0 ? " UP " : " DOWN ";
    const size_t n = std::min(text.size(), sizeof with_rise - 24);
    std::copy_n(text.data(), n, with_rise);
    std::copy_n(way.data(), way.size(), with_rise + n);
    const int32_t amount = mark.rise > 0 ? mark.rise : -mark.rise;
    char* end = std::to_chars(with_rise + n + way.size(), with_rise + sizeof with_rise, amount).ptr;
    text = {with_rise, static_cast<size_t>(end - with_rise)};
  }
  const int32_t width = static_cast<int32_t>(text.size()) * advance;
  if (!mark.on_picture && std::fabs(mark.direction.x) > 0.3f) {
    // Beside an arrow at the left or right edge the label stands clear of it.
    const float side = mark.direction.x > 0.0f ? 1.0f : -1.0f;
    label.x -= side * (0.5f * static_cast<float>(width) + 4.0f);
  }
  const int32_t x = std::clamp(trunc_i32(label.x) - width / 2, 2, layout_width(target) - width - 2);
  const int32_t y = std::clamp(trunc_i32(label.y), 2, layout_height(target) - 10);
  // A dark band under the label keeps it readable over lit windows.
  draw_rectangle({x - 2, y - 2}, {x + width + 1, y + 8}, kBacking, true, flags, target);
  shadowed_text(font, text, {x, y}, kPointer, flags, target);
  // "BEHIND" on a line of its own under the distance: turn round.
  if (mark.behind) {
    const std::string_view behind = "BEHIND";
    const int32_t bw = static_cast<int32_t>(behind.size()) * advance;
    const int32_t bx = std::clamp(x + width / 2 - bw / 2, 2, layout_width(target) - bw - 2);
    const int32_t by = std::max(y - 10, 2);
    draw_rectangle({bx - 2, by - 2}, {bx + bw + 1, by + 8}, kBacking, true, flags, target);
    shadowed_text(font, behind, {bx, by}, kPointer, flags, target);
  }
}

}  // namespace

void draw_status_hud(const PlayerStatus& status, Framebuffer& target) {
  if (!status.shown || status.font == nullptr) return;
  const Image& font = *status.font;
  const RenderFlags whole{.depth_test = 0, .interlace = 0};
  const int32_t advance = font.width / 8 - 2;
  const int32_t text_y = kMargin + 4;

  shadowed_text(font, "ENERGY", {kMargin, text_y}, kCyan, whole, target);
  const int32_t gauge_x = kMargin + 7 * advance;
  const float share = std::clamp(status.energy, 0.0f, 1.0f);
  const int32_t filled = trunc_i32(share * static_cast<float>(kGaugeLength));
  draw_rectangle({gauge_x, kMargin}, {gauge_x + kGaugeLength, kMargin + 8}, kTrough, true, whole,
                 target);
  if (filled > 0) {
    draw_rectangle({gauge_x, kMargin}, {gauge_x + filled, kMargin + 8},
                   share < 0.25f ? kLow : kCyan, true, whole, target);
  }
  draw_rectangle({gauge_x - 1, kMargin - 1}, {gauge_x + kGaugeLength + 1, kMargin + 9}, kWhite,
                 false, whole, target);

  char chips_buffer[48];
  char points_buffer[48];
  const std::string_view chips = labelled(chips_buffer, "CHIPS ", status.chips, &status.max_chips);
  const std::string_view points = labelled(points_buffer, "POINTS ", status.upgrade_points);
  const int32_t right = layout_width(target) - kMargin;
  shadowed_text(font, chips, {right - static_cast<int32_t>(chips.size()) * advance, text_y + 10},
                kWhite, whole, target);
  shadowed_text(font, points, {right - static_cast<int32_t>(points.size()) * advance, text_y},
                status.upgrade_points > 0 ? kCyan : kWhite, whole, target);
  if (status.aim != AimKind::none || status.pointer) draw_crosshair(status.aim, whole, target);
  if (status.aim == AimKind::facade || status.aim == AimKind::vehicle) {
    // How far the rope would run, small under the crosshair.
    char aim_buffer[48];
    const std::string_view far = labelled(aim_buffer, "", status.aim_distance);
    const int32_t width = static_cast<int32_t>(far.size()) * advance;
    shadowed_text(font, far, {layout_width(target) / 2 - width / 2, layout_height(target) / 2 - 19},
                  status.aim == AimKind::facade ? kHold : kCyan, whole, target);
  }
  for (size_t i = 0; i < status.mark_count; ++i) {
    if (status.marks[i].on_picture) draw_chip_mark(font, status.marks[i], false, whole, target);
  }
  if (status.pointer) draw_chip_mark(font, status.nearest, true, whole, target);
  if (status.nearest_chip >= 0) {
    char scan_buffer[48];
    shadowed_text(font, labelled(scan_buffer, "NEAREST CHIP ", status.nearest_chip),
                  {kMargin, text_y + 12}, kCyan, whole, target);
  }
  if (status.level > 0) {
    char level_buffer[48];
    const std::string_view level = labelled(level_buffer, "LEVEL ", status.level);
    shadowed_text(font, level, {right - static_cast<int32_t>(level.size()) * advance, text_y + 20},
                  kCyan, whole, target);
  }
}

}  // namespace vel
