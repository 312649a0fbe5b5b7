// title_scene.cpp: the title's frame: the flight over the city, the name
// and the prompt, and the two ways out (play, quit).
#include "title/title_scene.h"

#include <cmath>
#include <string>
#include <string_view>

#include "gfx/draw2d.h"
#include "gfx/draw_workers.h"
#include "scene1/help_page.h"
#include "scene1/menu_colours.h"
#include "scene1/world_draw.h"
#include "scene_api/asset_slots.h"
#include "scene_api/control_bits.h"
#include "title/title_text.h"

namespace vel {

namespace {

constexpr Colour kShadow{0.0f, 0.05f, 0.15f, 1.0f};
constexpr Colour kRuleEnd{0.0f, 0.8f, 1.0f, 0.0f};
constexpr Colour kShadowText{0.6f, 0.7f, 0.8f, 1.0f};

constexpr Colour kBacking{0.0f, 0.02f, 0.06f, 0.7f};
constexpr const char* kMenuItems[kTitleItems] = {"PLAY", "CONTROLS", "OPTIONS", "QUIT"};

int32_t centred(const Image& font, std::string_view text, int32_t centre) {
  const int32_t advance = font.width / 8 - 2;
  return centre - static_cast<int32_t>(text.size()) * advance / 2;
}

// The item after (by +1) or before (by -1) `item`, past OPTIONS when the
// title does not offer it.
int32_t next_item(int32_t item, int32_t by, bool offers_options) {
  do {
    item = (item + by + kTitleItems) % kTitleItems;
  } while (item == kTitleOptions && !offers_options);
  return item;
}

// The y of item `item`'s text, as drawn: three items stand 11 apart (as
// before OPTIONS, which replays of older recordings show), four 10 apart.
int32_t item_y(int32_t item, bool offers_options) {
  const int32_t place = !offers_options && item > kTitleOptions ? item - 1 : item;
  return offers_options ? 70 - 10 * place : 66 - 11 * place;
}

// The item under the pointer (its text's line, across the dark band), or -1.
int32_t item_at(int32_t x, int32_t y, bool offers_options) {
  if (x < 12 || x > kPictureWidth - 13) return -1;
  for (int32_t item = 0; item < kTitleItems; ++item) {
    if (item == kTitleOptions && !offers_options) continue;
    const int32_t top = item_y(item, offers_options);
    if (y >= top - 2 && y <= top + 7) return item;
  }
  return -1;
}

void draw_titles(const Image& font, float seconds, int32_t selection, bool offers_options,
                 const RenderFlags& flags, Framebuffer& target) {
  const int32_t centre = layout_width(target) / 2;
  // A dark band keeps the lettering readable over lit facades.
  draw_rectangle({12, 22}, {layout_width(target) - 13, 146}, kBacking, true, flags, target);
  draw_large_text(font, "VELTROCANE", centre + 2, 118, 3, kShadow, target);
  draw_large_text(font, "VELTROCANE", centre, 120, 3, kMenuWhite, target);
  // Rules fading out from the middle, as on the system panel.
  for (const int32_t y : {100, 142}) {
    draw_line({centre, y}, {20, y}, kMenuCyan, kRuleEnd, flags, target);
    draw_line({centre, y}, {layout_width(target) - 20, y}, kMenuCyan, kRuleEnd, flags, target);
  }
  // The chosen item pulses between the panel's cyan and white, never dark.
  const float pulse = std::fabs(std::cos(2.5f * seconds));
  const Colour chosen{pulse, 0.8f + 0.2f * pulse, 1.0f, 1.0f};
  for (int32_t i = 0; i < kTitleItems; ++i) {
    if (i == kTitleOptions && !offers_options) continue;
    const std::string_view item = kMenuItems[i];
    const int32_t y = item_y(i, offers_options);
    const bool on = i == selection;
    draw_text(font, item, {centred(font, item, centre), y}, on ? chosen : kMenuCyan, flags, target);
    if (on) {
      const int32_t half = static_cast<int32_t>(item.size()) * (font.width / 8 - 2) / 2;
      draw_text(font, ">", {centre - half - 12, y}, chosen, flags, target);
      draw_text(font, "<", {centre + half + 6, y}, chosen, flags, target);
    }
  }
  const std::string_view hint = "ENTER / START: CHOOSE   ESC / BACK: QUIT";
  draw_text(font, hint, {centred(font, hint, centre), 27}, kShadowText, flags, target);
}

// The played game's goal, and how far the player has got with it.
void draw_goal(const Image& font, int32_t best_level, const RenderFlags& flags,
               Framebuffer& target) {
  const int32_t centre = layout_width(target) / 2;
  const std::string_view goal = "COLLECT EVERY CHIP FOR A BIGGER CITY";
  draw_text(font, goal, {centred(font, goal, centre), 84}, kMenuWhite, flags, target);
  if (best_level <= 0) return;
  const std::string best = "BEST LEVEL COMPLETED: " + std::to_string(best_level);
  draw_rectangle({centred(font, best, centre) - 4, 152},
                 {layout_width(target) - centred(font, best, centre) + 4, 164}, kBacking, true,
                 flags, target);
  draw_text(font, best, {centred(font, best, centre), 154}, kMenuCyan, flags, target);
}

}  // namespace

void TitleScene::init(const Settings& settings, float time) {
  city.asset_source = asset_source;
  city.init(settings, time);
  // The city is only looked at: its timed ending must never fire.
  city.run_end = nullptr;
  flight = plan_flight(city);
  start_time = time;
  seconds = 0.0f;
  selection = kTitlePlay;
  help_open = false;
  // Everything counts as already held, so only a press made here acts;
  // and a pointer resting where the title opens chooses nothing.
  prev_held = ~0u;
  pointer_seen = false;
}

FrameResult TitleScene::step(const InputState& input, float dt, float time,
                             const Settings& settings, FrameEvents& events) {
  // The options menu may switch the interlace while the title runs.
  city.view.render_flags.interlace = settings.interlaced ? 1 : 0;
  controls = settings.controls;  // the help page names the player's keys
  const uint32_t pressed = input.held & ~prev_held;
  prev_held = input.held;
  seconds = time - start_time;
  fly(city, flight_pose(flight, seconds), dt);

  FrameResult result;
  result.relative_mouse = false;  // a menu: the pointer stays free
  // The pointer chooses the item it moves onto; a left click takes it.
  const bool moved =
      pointer_seen && (input.pointer_x != prev_pointer_x || input.pointer_y != prev_pointer_y);
  pointer_seen = true;
  prev_pointer_x = input.pointer_x;
  prev_pointer_y = input.pointer_y;
  const bool clicked = (input.clicks & kPointerLeftClick) != 0;
  if (help_open) {
    // Any key (or a click) closes the page and does nothing else.
    if (pressed != 0 || clicked) {
      help_open = false;
      events.add_menu(EventKind::menu_closed, MenuKind::title);
    }
    return result;
  }
  if (pressed & kMenuUpBit) {
    selection = next_item(selection, -1, offers_options);
    events.add_menu(EventKind::menu_moved, MenuKind::title);
  }
  if (pressed & kMenuDownBit) {
    selection = next_item(selection, 1, offers_options);
    events.add_menu(EventKind::menu_moved, MenuKind::title);
  }
  const int32_t pointed = item_at(input.pointer_x, input.pointer_y, offers_options);
  if (pointed >= 0 && (moved || clicked) && pointed != selection) {
    selection = pointed;
    events.add_menu(EventKind::menu_moved, MenuKind::title);
  }
  if ((pressed & kMenuSelectBit) || (pointed >= 0 && clicked)) {
    events.add_menu(EventKind::menu_selected, MenuKind::title);
    if (selection == kTitlePlay) result.next_scene = kCitySceneIndex;
    if (selection == kTitleControls) help_open = true;
    if (selection == kTitleOptions) events.add(EventKind::options_asked);
    if (selection == kTitleQuit) result.next_scene = kQuitRequest;
  }
  if (pressed & kPanelToggleBit) result.next_scene = kQuitRequest;
  if (result.next_scene) {
    events.add(EventKind::scene_switch_asked, static_cast<float>(*result.next_scene));
  }
  return result;
}

void TitleScene::draw(Framebuffer& framebuffer) {
  draw_in_bands(framebuffer, city.view.render_flags,
                [&](const RenderFlags& band) { draw_world(city, band, framebuffer); });
  if (city.assets.textures.size() > texture_slot::kSmallFont) {
    // The lettering covers every row each frame, whatever the interlace.
    const RenderFlags whole{.depth_test = 0, .interlace = 0};
    const Image& font = city.assets.textures[texture_slot::kSmallFont];
    if (help_open) {
      draw_help_page(font, controls, framebuffer);
      return;
    }
    draw_titles(font, seconds, selection, offers_options, whole, framebuffer);
    if (show_goal) draw_goal(font, best_level != nullptr ? *best_level : 0, whole, framebuffer);
  }
}

void TitleScene::end_frame(const Framebuffer& /*framebuffer*/, float /*dt*/, float /*time*/,
                           const Settings& /*settings*/, FrameEvents& /*events*/) {
  // The next frame draws the other field of an interlaced picture.
  city.view.render_flags.odd_field = city.view.render_flags.odd_field ? 0 : 1;
}

}  // namespace vel
