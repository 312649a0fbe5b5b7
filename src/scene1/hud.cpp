// hud.cpp: the overlays of the city view: the centring rule for text, the
// opening letterbox, the frame-rate readout and the floating messages.
#include "scene1/hud.h"

#include <algorithm>

#include "base/saturate.h"
#include "gfx/draw2d.h"
#include "scene_api/asset_slots.h"

namespace vel {

namespace {

constexpr Colour kBlack{0.0f, 0.0f, 0.0f, 1.0f};
constexpr Colour kReadoutRed{1.0f, 0.0f, 0.0f, 1.0f};
constexpr float kMessageDrift = 0.01f;  // per frame, times age squared

}  // namespace

int32_t glyph_cell(const Image& font) {
  return font.width / 8;
}

int32_t centred_start(int32_t centre, int32_t glyphs, int32_t cell) {
  return centre - glyphs * cell / 2 + glyphs;
}

void letterbox(float elapsed, const RenderFlags& flags, Framebuffer& target) {
  // Bars of a fifth of the height each, closing over the fifth second.
  const float t = std::clamp(elapsed - 4.0f, 0.0f, 1.0f);
  const float height = static_cast<float>(layout_height(target));
  const int32_t top = trunc_i32((0.8f + 0.2f * t) * height);
  const int32_t bottom = trunc_i32((1.0f - t) * 0.2f * height);
  draw_rectangle({0, top}, {layout_width(target), layout_height(target)}, kBlack, true, flags,
                 target);
  draw_rectangle({0, 0}, {layout_width(target), bottom}, kBlack, true, flags, target);
}

bool fps_readout_position(int32_t show_fps, Point2* at) {
  switch (show_fps) {
    case 0:
      return false;
    case 1:
      *at = {0, 0};
      return true;
    case 2:
      *at = {0, 170};
      return true;
    case 3:
      *at = {300, 170};
      return true;
    case 4:
      *at = {300, 0};
      return true;
    default:
      *at = {160, 90};
      return true;
  }
}

void fps_readout(std::string_view text, int32_t show_fps, const Image& font,
                 const RenderFlags& flags, Framebuffer& target) {
  Point2 at;
  if (!fps_readout_position(show_fps, &at)) return;
  draw_text(font, text, at, kReadoutRed, flags, target);
}

void messages_update(std::vector<HudMessage>& messages, float elapsed) {
  for (size_t k = messages.size(); k-- > 0;) {
    HudMessage& message = messages[k];
    const float age = elapsed - message.born;
    if (age < 0.0f) continue;
    // Applied once per frame, so the travel depends on the frame rate.
    const float drift = kMessageDrift * (age * age);
    message.position.y += message.rising ? drift : -drift;
    if (message.position.y < 0.0f || message.position.y > 1.0f) {
      messages.erase(messages.begin() + static_cast<std::ptrdiff_t>(k));
    }
  }
}

void draw_messages(const std::vector<HudMessage>& messages, const std::vector<Image>& textures,
                   const RenderFlags& flags, Framebuffer& target) {
  if (messages.empty() || textures.size() <= texture_slot::kSmallFont) return;
  const Image& font = textures[texture_slot::kSmallFont];
  const int32_t cell = glyph_cell(font);
  const float width = static_cast<float>(layout_width(target));
  const float height = static_cast<float>(layout_height(target));
  for (const HudMessage& message : messages) {
    const int32_t glyphs = static_cast<int32_t>(message.text.size());  // a few words at most
    const int32_t centre_x = trunc_i32(message.position.x * width);
    const int32_t centre_y = trunc_i32(message.position.y * height);
    draw_text(font, message.text, {centred_start(centre_x, glyphs, cell), centre_y}, message.colour,
              flags, target);
  }
}

}  // namespace vel
