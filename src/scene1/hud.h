// hud.h: the overlays of the city view: the centring rule for text, the
// opening letterbox, the frame-rate readout and the floating messages.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "gfx/framebuffer.h"
#include "gfx/image.h"
#include "gfx/vec.h"
#include "scene1/hud_message.h"

namespace vel {

inline constexpr float kLetterboxEnd = 5.0f;  // seconds of elapsed

// Glyph cell of a font image: its width / 8.
int32_t glyph_cell(const Image& font);
// x of the first glyph of `glyphs` glyphs centred on `centre`:
// centre - glyphs * cell / 2 + glyphs (the advance is cell - 2).
int32_t centred_start(int32_t centre, int32_t glyphs, int32_t cell);

// The two black bars of the opening, closing during the fifth second.
void letterbox(float elapsed, const RenderFlags& flags, Framebuffer& target);
// First-glyph position of the readout for a show_fps value; false when it is
// hidden (0).
bool fps_readout_position(int32_t show_fps, Point2* at);
void fps_readout(std::string_view text, int32_t show_fps, const Image& font,
                 const RenderFlags& flags, Framebuffer& target);
// Ages the messages (last to first) and drops those that left the screen.
void messages_update(std::vector<HudMessage>& messages, float elapsed);
// Each message centred on (x W, y H) in its colour, in the small font.
void draw_messages(const std::vector<HudMessage>& messages, const std::vector<Image>& textures,
                   const RenderFlags& flags, Framebuffer& target);

}  // namespace vel
