// title_scene.cpp: the title's frame: the flight over the city, the name
// and the prompt, and the two ways out (play, quit).
#include "title/title_scene.h"

#include <cmath>
#include <string>
#include <string_view>

#include "gfx/draw2d.h"
#include "scene1/asset_slots.h"
#include "scene1/control_bits.h"
#include "title/title_text.h"

namespace vel {

namespace {

constexpr Colour kCyan{0.0f, 0.8f, 1.0f, 1.0f};
constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Colour kShadow{0.0f, 0.05f, 0.15f, 1.0f};
constexpr Colour kRuleEnd{0.0f, 0.8f, 1.0f, 0.0f};

void draw_titles(const Image& font, float seconds, const RenderFlags& flags, Framebuffer& target) {
  const int32_t centre = target.width / 2;
  draw_large_text(font, "VELTROCANE", centre + 2, 118, 3, kShadow, target);
  draw_large_text(font, "VELTROCANE", centre, 120, 3, kWhite, target);
  // Rules fading out from the middle, as on the system panel.
  for (const int32_t y : {100, 142}) {
    draw_line({centre, y}, {20, y}, kCyan, kRuleEnd, flags, target);
    draw_line({centre, y}, {target.width - 20, y}, kCyan, kRuleEnd, flags, target);
  }
  // The prompt pulses between the panel's cyan and white.
  const float pulse = std::fabs(std::cos(2.5f * seconds));
  const Colour prompt{pulse, 0.8f + 0.2f * pulse, 1.0f, 1.0f};
  const std::string_view play = "PRESS ENTER / START TO PLAY";
  const std::string_view quit = "ESC / BACK TO QUIT";
  const int32_t advance = font.width / 8 - 2;
  draw_text(font, play, {centre - static_cast<int32_t>(play.size()) * advance / 2, 60}, prompt,
            flags, target);
  draw_text(font, quit, {centre - static_cast<int32_t>(quit.size()) * advance / 2, 44}, kCyan,
            flags, target);
}

// The played game's goal, and how far the player has got with it.
void draw_goal(const Image& font, int32_t best_level, const RenderFlags& flags,
               Framebuffer& target) {
  const int32_t centre = target.width / 2;
  const int32_t advance = font.width / 8 - 2;
  const std::string_view goal = "COLLECT EVERY CHIP FOR A BIGGER CITY";
  draw_text(font, goal, {centre - static_cast<int32_t>(goal.size()) * advance / 2, 82}, kWhite,
            flags, target);
  if (best_level <= 0) return;
  const std::string best = "BEST LEVEL " + std::to_string(best_level);
  draw_text(font, best, {centre - static_cast<int32_t>(best.size()) * advance / 2, 156}, kCyan,
            flags, target);
}

}  // namespace

void TitleScene::init(const Settings& settings, float time) {
  city.init(settings, time);
  // The city is only looked at: its timed ending must never fire.
  city.run_end = nullptr;
  flight = plan_flight(city);
  start_time = time;
  // Everything counts as already held, so only a press made here acts.
  prev_held = ~0u;
}

FrameResult TitleScene::update(const InputState& input, Framebuffer& framebuffer, float dt,
                               float time, const Settings& /*settings*/) {
  const uint32_t pressed = input.held & ~prev_held;
  prev_held = input.held;
  const float seconds = time - start_time;

  fly_and_draw(city, flight_pose(flight, seconds), dt, framebuffer);
  if (city.assets.textures.size() > texture_slot::kSmallFont) {
    // The lettering covers every row each frame, whatever the interlace.
    const RenderFlags whole{.depth_test = 0, .interlace = 0};
    const Image& font = city.assets.textures[texture_slot::kSmallFont];
    draw_titles(font, seconds, whole, framebuffer);
    if (show_goal) draw_goal(font, best_level, whole, framebuffer);
  }

  FrameResult result;
  result.relative_mouse = false;  // a menu: the pointer stays free
  if (pressed & kMenuSelectBit) result.next_scene = kCitySceneIndex;
  if (pressed & kPanelToggleBit) result.next_scene = -1;
  return result;
}

}  // namespace vel
