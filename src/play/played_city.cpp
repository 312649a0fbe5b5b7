// played_city.cpp: the city's frame with the play program's overlay.
#include "play/played_city.h"

#include "play/player_status.h"
#include "play/status_hud.h"
#include "scene1/help_page.h"
#include "scene1/panel.h"
#include "scene_api/asset_slots.h"
#include "scene_api/control_bits.h"

namespace vel {

void PlayedCity::init(const Settings& settings, float time) {
  city.init(settings, time);
  // The first city of a run opens with the help page.
  help_open = help_seen != nullptr && !*help_seen;
  if (help_seen != nullptr) *help_seen = true;
  prev_held = ~0u;
  swallowed = 0;
}

FrameResult PlayedCity::step(const InputState& input, float dt, float time,
                             const Settings& settings, FrameEvents& events) {
  const size_t before = events.count;
  // The options menu may switch the interlace while the city runs.
  city.view.render_flags.interlace = settings.interlaced ? 1 : 0;
  InputState played = input;
  const uint32_t pressed = input.held & ~prev_held;
  prev_held = input.held;
  const bool clicked = input.clicks != 0;
  if (help_open) {
    if (pressed != 0 || clicked) {
      help_open = false;
      swallowed = input.held;
      events.add_menu(EventKind::menu_closed, MenuKind::panel);
    }
    played = InputState{};
  }
  // A key that closed the page reaches the city only once let go.
  swallowed &= input.held;
  played.held &= ~swallowed;
  point_at_panel(input, played, events);
  FrameResult result = city.step(played, dt, time, settings, events);
  // The device menu is a menu too: the pointer is free over it.
  if (city.menus.device_menu_open) result.relative_mouse = false;
  if (progress != nullptr) note_city_frame(events, before, dt, city.clock.elapsed, *progress);
  // The panel's OPTIONS: the program opens its menu over the panel.
  if (city.menus.options_asked) {
    city.menus.options_asked = false;
    events.add(EventKind::options_asked);
  }
  return result;
}

// The pointer over the open panel: moving onto a row chooses it, a click
// there is the menu key it stands for (the panel's HELP page closes on one).
void PlayedCity::point_at_panel(const InputState& input, InputState& played, FrameEvents& events) {
  const bool moved = input.pointer_x != prev_pointer_x || input.pointer_y != prev_pointer_y;
  prev_pointer_x = input.pointer_x;
  prev_pointer_y = input.pointer_y;
  if (help_open) return;
  if (city.menus.device_menu_open && !city.menus.panel_open) {
    // Over the device menu the pointer chooses a device; a click installs it.
    const int32_t item = device_menu_item_at(input.pointer_x, input.pointer_y);
    if (item < 0) return;
    if ((moved || input.clicks != 0) && item != city.menus.selection) {
      city.menus.selection = item;
      events.add_menu(EventKind::menu_moved, MenuKind::device_menu);
    }
    if ((input.clicks & kPointerLeftClick) != 0) played.held |= kMenuSelectBit;
    return;
  }
  if (!city.menus.panel_open || city.menus.device_menu_open) return;
  if (city.menus.help_open) {
    if (input.clicks != 0) played.held |= kMenuSelectBit;
    return;
  }
  const int32_t row = panel_row_at(city, input.pointer_x, input.pointer_y);
  if (row < 0) return;
  if ((moved || input.clicks != 0) && row != city.menus.selection) {
    city.menus.selection = row;
    events.add_menu(EventKind::menu_moved, MenuKind::panel);
  }
  played.held |= panel_pointer_keys(row, input.clicks);
}

namespace {

// The options menu can change the picture's scale while the panel is open:
// the city captured behind it is stretched (nearest pixel) to the new size.
void fit_background(Image& background, int32_t width, int32_t height) {
  if (background.pixels.empty() || (background.width == width && background.height == height)) {
    return;
  }
  std::vector<Colour> fitted(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    const int32_t from_y = static_cast<int32_t>(int64_t{y} * background.height / height);
    for (int32_t x = 0; x < width; ++x) {
      const int32_t from_x = static_cast<int32_t>(int64_t{x} * background.width / width);
      fitted[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
          background.pixels[static_cast<size_t>(from_y) * static_cast<size_t>(background.width) +
                            static_cast<size_t>(from_x)];
    }
  }
  background.pixels = std::move(fitted);
  background.width = width;
  background.height = height;
}

}  // namespace

void PlayedCity::draw(Framebuffer& framebuffer) {
  if (city.menus.panel_open) {
    fit_background(city.picture.panel_background, framebuffer.width, framebuffer.height);
  }
  city.draw(framebuffer);
  draw_status_hud(player_status(city, layout_width(framebuffer), layout_height(framebuffer)),
                  framebuffer);
  if (help_open && city.assets.textures.size() > texture_slot::kSmallFont) {
    draw_help_page(city.assets.textures[texture_slot::kSmallFont], city.settings_copy.controls,
                   framebuffer);
  }
}

void PlayedCity::end_frame(const Framebuffer& framebuffer, float dt, float time,
                           const Settings& settings, FrameEvents& events) {
  city.end_frame(framebuffer, dt, time, settings, events);
}

void PlayedCity::listen(Soundscape& heard) const {
  city.listen(heard);
}

}  // namespace vel
