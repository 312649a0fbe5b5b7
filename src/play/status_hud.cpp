// status_hud.cpp: the status overlay in the panel's colours: cyan frames
// and labels, white figures.
#include "play/status_hud.h"

#include <algorithm>
#include <charconv>
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
  const std::string_view points = labelled(points_buffer, "UPGRADES ", status.upgrade_points);
  const int32_t right = target.width - kMargin;
  shadowed_text(font, chips, {right - static_cast<int32_t>(chips.size()) * advance, text_y + 10},
                kWhite, whole, target);
  shadowed_text(font, points, {right - static_cast<int32_t>(points.size()) * advance, text_y},
                status.upgrade_points > 0 ? kCyan : kWhite, whole, target);
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
