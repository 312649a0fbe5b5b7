// panel.cpp: the system information panel: opening and closing it, moving
// through its rows, spending upgrade points in drafts, its commands, the
// background it is drawn over, and its drawing.
#include "scene1/panel.h"

#include <cmath>
#include <span>
#include <string>
#include <string_view>

#include "gfx/draw2d.h"
#include "scene1/device_preview.h"
#include "scene1/help_page.h"
#include "scene1/hud.h"
#include "scene1/menu_colours.h"
#include "scene_api/scene_requests.h"

namespace vel {

namespace {

// The played panel's module rows, 10 apart (the city's own are 8 apart).
constexpr int32_t kPlayedModuleLines[3] = {140, 130, 120};

// x of the first glyph of `text` centred on `centre`.
int32_t centred_text_x(const Image& font, std::string_view text, int32_t centre) {
  return centred_start(centre, static_cast<int32_t>(text.size()), glyph_cell(font));
}

// The panel's rows: the three upgrade modules, then the three buttons.
constexpr int32_t kRowMovement = 0;
constexpr int32_t kRowJump = 1;
constexpr int32_t kRowGrapple = 2;
constexpr int32_t kRowResume = 3;
constexpr int32_t kRowRestart = 4;
constexpr int32_t kRowExit = 5;
constexpr int32_t kLastRow = 5;
// The played game's panel adds three buttons.
constexpr int32_t kRowOptions = 6;
constexpr int32_t kRowHelp = 7;
constexpr int32_t kRowQuit = 8;
constexpr int32_t kLastPlayerRow = 8;

// The panel dims the city it covers to 35% in every channel, alpha too, so
// the blit over black leaves about 12% of the picture.
constexpr float kBackgroundDim = 0.35f;

constexpr Colour kRuleEnd{0.0f, 0.8f, 1.0f, 0.0f};
constexpr Colour kSelectedBar{0.0f, 0.12f, 0.3f, 0.9f};  // behind the played panel's selection

// The draft a panel row edits and the committed level it may not fall
// below.
struct UpgradeRow {
  int32_t* draft = nullptr;
  const int32_t* level = nullptr;
};

UpgradeRow upgrade_row(Economy& economy, int32_t row) {
  switch (row) {
    case kRowMovement:
      return {&economy.drafts.drive, &economy.levels.drive};
    case kRowJump:
      return {&economy.drafts.jump, &economy.levels.jump};
    default:
      return {&economy.drafts.pull, &economy.levels.pull};
  }
}

// The same, read only, for the drawing.
struct ModuleVersion {
  int32_t draft = 0;
  int32_t level = 0;
};

ModuleVersion module_version(const Economy& economy, int32_t row) {
  switch (row) {
    case kRowMovement:
      return {economy.drafts.drive, economy.levels.drive};
    case kRowJump:
      return {economy.drafts.jump, economy.levels.jump};
    default:
      return {economy.drafts.pull, economy.levels.pull};
  }
}

bool is_upgrade_row(int32_t row) {
  return row >= kRowMovement && row <= kRowGrapple;
}

// Two rules from the centre (160, y) out to x = 10 and x = 310, fading out.
void draw_rules(int32_t y, const RenderFlags& flags, Framebuffer& target) {
  draw_line({160, y}, {10, y}, kMenuCyan, kRuleEnd, flags, target);
  draw_line({160, y}, {310, y}, kMenuCyan, kRuleEnd, flags, target);
}

void draw_buttons(const CityScene& scene, const Image& font, Colour pulse, Framebuffer& target) {
  struct Button {
    std::string_view text;
    int32_t centre;
    int32_t row;
  };
  const int32_t w = layout_width(target);
  const RenderFlags& flags = scene.view.render_flags;
  if (scene.rules.player_panel) {
    const Button with_options[6] = {
        {"RESUME", w / 12, kRowResume}, {"RESTART", 3 * w / 12, kRowRestart},
        {"EXIT", 5 * w / 12, kRowExit}, {"OPTIONS", 7 * w / 12, kRowOptions},
        {"HELP", 9 * w / 12, kRowHelp}, {"QUIT", 11 * w / 12, kRowQuit}};
    const Button without[5] = {{"RESUME", w / 6, kRowResume},
                               {"RESTART", 2 * w / 6, kRowRestart},
                               {"EXIT", 3 * w / 6, kRowExit},
                               {"HELP", 4 * w / 6, kRowHelp},
                               {"QUIT", 5 * w / 6, kRowQuit}};
    const std::span<const Button> buttons = scene.rules.panel_options
                                                ? std::span<const Button>(with_options)
                                                : std::span<const Button>(without);
    for (const Button& button : buttons) {
      const bool on = scene.menus.selection == button.row;
      const int32_t x = centred_text_x(font, button.text, button.centre);
      if (on) {
        const int32_t width = static_cast<int32_t>(button.text.size()) * glyph_cell(font);
        draw_rectangle({x - 4, 7}, {x + width + 1, 19}, kSelectedBar, true, flags, target);
      }
      draw_text(font, button.text, {x, 10}, on ? pulse : kMenuCyan, flags, target);
    }
    return;
  }
  const Button buttons[3] = {{"RESUME", w / 3, kRowResume},
                             {"RESTART", w / 2, kRowRestart},
                             {"EXIT", 2 * w / 3, kRowExit}};
  for (const Button& button : buttons) {
    const Colour colour = scene.menus.selection == button.row ? pulse : kMenuCyan;
    draw_text(font, button.text, {centred_text_x(font, button.text, button.centre), 10}, colour,
              scene.view.render_flags, target);
  }
}

void draw_module_table(const CityScene& scene, const Image& font, Colour pulse,
                       Framebuffer& target) {
  const RenderFlags& flags = scene.view.render_flags;
  draw_text(font, "MODULE", {centred_text_x(font, "MODULE", 88), 150}, kMenuHead, flags, target);
  draw_text(font, "VERSION", {centred_text_x(font, "VERSION", 232), 150}, kMenuHead, flags, target);

  struct ModuleRow {
    std::string_view label;
    int32_t label_y;
    int32_t mark_y;  // the +/- marks sit on their own, wider-spaced rows
  };
  const int32_t cap = scene.rules.module_cap;
  const bool capped = cap < INT32_MAX;
  const ModuleRow rows[3] = {{"MOVEMENT", 138, 140}, {"JUMP", 130, 128}, {"GRAPPLE", 122, 116}};
  // The played panel's selection: a bar under its row, drawn before every
  // row so that no row's words are cut by it.
  const int32_t selection = scene.menus.selection;
  if (scene.rules.player_panel && selection >= 0 && selection < 3) {
    const int32_t line = kPlayedModuleLines[selection];
    draw_rectangle({36, line - 4}, {284, line + 5}, kSelectedBar, true, flags, target);
  }
  for (int32_t i = 0; i < 3; ++i) {
    ModuleRow row = rows[i];
    // The played panel spaces its rows wider, so a row's bar stays clear
    // of the words of the rows beside it.
    if (scene.rules.player_panel) row.label_y = kPlayedModuleLines[i];
    const ModuleVersion upgrade = module_version(scene.economy, i);
    const bool on = scene.rules.player_panel && selection == i;
    const Colour words = on ? pulse : kMenuWhite;
    draw_text(font, row.label, {centred_text_x(font, row.label, 88), row.label_y}, words, flags,
              target);
    // Versions count from 1; under a cap the top one follows.
    std::string version = std::to_string(upgrade.draft + 1);
    if (capped) version += "/" + std::to_string(cap + 1);
    draw_text(font, version, {232, row.label_y}, words, flags, target);
    if (scene.rules.player_panel) {
      // The selection shows on its row at any number of points; - and +
      // sit on the row, either side of the version they change.
      if (on) draw_text(font, ">", {40, row.label_y}, pulse, flags, target);
      const Colour mark = on ? pulse : kMenuCyan;
      if (upgrade.draft > upgrade.level)
        draw_text(font, "-", {214, row.label_y}, mark, flags, target);
      if (scene.economy.upgrade_points > 0 && upgrade.draft < cap) {
        draw_text(font, "+", {268, row.label_y}, mark, flags, target);
      }
      continue;
    }
    const Colour mark = scene.menus.selection == i ? pulse : kMenuCyan;
    if (scene.economy.upgrade_points > 0 && upgrade.draft < cap)
      draw_text(font, "+", {130, row.mark_y}, mark, flags, target);
    if (upgrade.draft > upgrade.level) {
      draw_text(font, "-", {110, row.mark_y}, mark, flags, target);
    }
  }
}

// The played panel's last line: the points to spend, and what the keys do
// on the selected row.
void draw_points_line(const CityScene& scene, const Image& font, Framebuffer& target) {
  const std::string points = "POINTS " + std::to_string(scene.economy.upgrade_points);
  // What a version of the selected module buys.
  constexpr std::string_view kBuys[3] = {"   RIGHT: FASTER WALK   LEFT: UNDO",
                                         "   RIGHT: HIGHER JUMP   LEFT: UNDO",
                                         "   RIGHT: STRONGER PULL   LEFT: UNDO"};
  const int32_t selection = scene.menus.selection;
  const std::string line =
      points + std::string(is_upgrade_row(selection) ? kBuys[selection - kRowMovement]
                                                     : "   ENTER: CHOOSE   ESC: CLOSE");
  draw_text(font, line, {centred_text_x(font, line, 160), 22},
            scene.economy.upgrade_points > 0 ? kMenuYellow : kMenuCyan, scene.view.render_flags,
            target);
}

// The panel's two device pictures never change: rendered on first use.
void prepare_panel_previews(const CityScene& scene, DevicePreviews& previews) {
  if (previews.core.width != 0) return;
  if (mesh_slot::kCore >= scene.assets.meshes.size() ||
      texture_slot::kCore >= scene.assets.textures.size()) {
    return;
  }
  const Mesh& mesh = scene.assets.meshes[mesh_slot::kCore];
  Framebuffer core = framebuffer_new(kCorePreviewSize, kCorePreviewSize);
  render_device_preview(mesh, scene.assets.textures[texture_slot::kCore], 0.6f, core);
  previews.core = preview_picture(core);
  Framebuffer socket = framebuffer_new(kSocketPreviewSize, kSocketPreviewSize);
  render_device_preview(mesh, scene.assets.textures[texture_slot::kSocket], 0.0f, socket);
  previews.socket = preview_picture(socket);
  grey_out(previews.socket);  // an empty socket: nothing installed, shown dimmed
}

// Socket 1 holds the nuclear core, drawn large between its two labels;
// sockets 2 to 5 are empty, small and crossed out.
void draw_socket_block(const CityScene& scene, DevicePreviews& previews, const Image& font,
                       Colour pulse, Framebuffer& target) {
  const RenderFlags& flags = scene.view.render_flags;
  const int32_t cell = glyph_cell(font);
  if (scene.rules.player_panel) {
    // Nothing here is chosen or scrolled: plain labels, and true ones.
    const Colour label{0.0f, 0.5f, 1.0f, 1.0f};
    draw_text(font, "SOCKET 1/5", {72 - 6 * cell, 88}, label, flags, target);
    draw_text(font, "- POWERS YOUR SUIT", {239 - 9 * cell, 62}, kMenuWhite, flags, target);
    draw_text(font, "NUCLEAR CORE", {72 - 6 * cell, 32}, label, flags, target);
  } else {
    const Colour label = scene.menus.selection == 0
                             ? Colour{0.0f, 0.4f + 0.6f * pulse.b, 1.0f, 1.0f}
                             : Colour{0.0f, 0.5f, 1.0f, 1.0f};
    draw_text(font, "SOCKET 1/5 >", {72 - 6 * cell, 88}, label, flags, target);
    draw_text(font, "- PROVIDES INFINITE ENERGY", {239 - 13 * cell, 62}, kMenuWhite, flags, target);
    draw_text(font, "NUCLEAR CORE", {72 - 6 * cell, 32}, label, flags, target);
  }

  prepare_panel_previews(scene, previews);
  const Vec2 centred{0.5f, 0.5f};
  blit_image(previews.core, {.position = {72, 60}, .anchor = centred}, flags, target);
  for (int32_t socket = 0; socket < 4; ++socket) {
    const int32_t x = 160 + 40 * socket;
    blit_image(previews.socket, {.position = {x, 84}, .anchor = centred}, flags, target);
    draw_text(font, "X", {centred_text_x(font, "X", x), 84}, Colour{1.0f, 0.3f, 0.3f, 1.0f}, flags,
              target);
  }
}

}  // namespace

int32_t panel_row_at(const CityScene& scene, int32_t x, int32_t y) {
  if (!scene.rules.player_panel || scene.assets.textures.size() <= texture_slot::kSmallFont) {
    return -1;
  }
  // The module lines as draw_module_table sets them, with their bars.
  for (int32_t row = 0; row < 3; ++row) {
    const int32_t line = kPlayedModuleLines[row];
    if (x >= 36 && x <= 284 && y >= line - 4 && y <= line + 5) return row;
  }
  if (y < 7 || y > 19) return -1;
  // The buttons as draw_buttons places them.
  const Image& font = scene.assets.textures[texture_slot::kSmallFont];
  const int32_t w = kPictureWidth;
  struct Word {
    int32_t glyphs;
    int32_t centre;
    int32_t row;
  };
  const Word with_options[6] = {{6, w / 12, kRowResume},   {7, 3 * w / 12, kRowRestart},
                                {4, 5 * w / 12, kRowExit}, {7, 7 * w / 12, kRowOptions},
                                {4, 9 * w / 12, kRowHelp}, {4, 11 * w / 12, kRowQuit}};
  const Word without[5] = {{6, w / 6, kRowResume},
                           {7, 2 * w / 6, kRowRestart},
                           {4, 3 * w / 6, kRowExit},
                           {4, 4 * w / 6, kRowHelp},
                           {4, 5 * w / 6, kRowQuit}};
  const std::span<const Word> words = scene.rules.panel_options
                                          ? std::span<const Word>(with_options)
                                          : std::span<const Word>(without);
  const int32_t cell = glyph_cell(font);
  for (const Word& word : words) {
    const int32_t left = centred_start(word.centre, word.glyphs, cell);
    if (x >= left - 4 && x <= left + word.glyphs * cell + 1) return word.row;
  }
  return -1;
}

uint32_t panel_pointer_keys(int32_t row, uint32_t clicks) {
  if (row < 0) return 0;
  if (is_upgrade_row(row)) {
    return ((clicks & kPointerLeftClick) ? kMenuRightBit : 0u) |
           ((clicks & kPointerRightClick) ? kMenuLeftBit : 0u);
  }
  return (clicks & kPointerLeftClick) ? kMenuSelectBit : 0u;
}

bool panel_toggle(MenuState& menus, Economy& economy, bool& paused) {
  menus.selection = 0;
  menus.panel_open = !menus.panel_open;
  paused = menus.panel_open;
  if (!menus.panel_open) return false;
  // Drafts start from the committed levels; whatever an earlier opening
  // left in them is dropped here (its points stay spent).
  economy.drafts = economy.levels;
  return true;
}

void panel_navigate(MenuState& menus, Economy& economy, bool& paused, SceneSwitch& switch_request,
                    uint32_t pressed, int32_t level_cap, bool player_rows, bool options_button) {
  int32_t& row = menus.selection;
  const int32_t last = player_rows ? kLastPlayerRow : kLastRow;
  // Without the OPTIONS button its row is stepped over.
  const auto step = [&](int32_t from, int32_t by, int32_t low, int32_t high) {
    do {
      from = from + by < low ? high : from + by > high ? low : from + by;
    } while (from == kRowOptions && player_rows && !options_button);
    return from;
  };
  if (pressed & kMenuUpBit) row = step(row, -1, 0, last);
  if (pressed & kMenuDownBit) row = step(row, 1, 0, last);
  if (player_rows && row >= kRowResume) {
    // The buttons stand in a line: left and right go along it.
    if (pressed & kMenuLeftBit) row = step(row, -1, kRowResume, kRowQuit);
    if (pressed & kMenuRightBit) row = step(row, 1, kRowResume, kRowQuit);
    if (pressed & kMenuSelectBit) {
      if (row == kRowHelp) menus.help_open = true;
      if (row == kRowOptions) menus.options_asked = true;
      if (row == kRowQuit) {
        switch_request.requested = true;
        switch_request.target = kQuitRequest;
      }
    }
  }
  if (pressed & kMenuSelectBit) {
    if (row == kRowResume) {
      // Resuming commits the drafts.
      paused = false;
      menus.panel_open = false;
      economy.levels = economy.drafts;
    } else if (row == kRowRestart) {
      switch_request.requested = true;
      switch_request.target = kRestartRequest;
    } else if (row == kRowExit) {
      switch_request.requested = true;
      switch_request.target = kExitRequest;
    }
  }
  if (!is_upgrade_row(row)) return;
  const UpgradeRow upgrade = upgrade_row(economy, row);
  // Only points moved in this opening can be taken back.
  if ((pressed & kMenuLeftBit) && *upgrade.draft > *upgrade.level) {
    *upgrade.draft -= 1;
    economy.upgrade_points += 1;
  }
  if ((pressed & kMenuRightBit) && economy.upgrade_points > 0 && *upgrade.draft < level_cap) {
    *upgrade.draft += 1;
    economy.upgrade_points -= 1;
  }
}

void capture_panel_background(Image& background, const Framebuffer& picture) {
  background = framebuffer_to_image(picture, false);
  for (Colour& c : background.pixels) {
    c = {c.r * kBackgroundDim, c.g * kBackgroundDim, c.b * kBackgroundDim, c.a * kBackgroundDim};
  }
}

void draw_panel(const CityScene& scene, CityPicture& picture, Framebuffer& target) {
  const RenderFlags& flags = scene.view.render_flags;
  clear_framebuffer(Rgb{0.0f, 0.0f, 0.0f}, flags, target);
  blit_image(picture.panel_background, {.picture_pixels = true}, flags, target);
  if (scene.assets.textures.size() <= texture_slot::kSmallFont) return;
  const Image& font = scene.assets.textures[texture_slot::kSmallFont];
  const int32_t cell = glyph_cell(font);
  // The selected button and marks pulse between black and white; on the
  // played panel between yellow and white, never dark, and apart from the
  // cyan of the rows around them.
  const float c = std::fabs(std::cos(5.0f * scene.clock.elapsed));
  const Colour pulse = scene.rules.player_panel
                           ? Colour{1.0f, 0.85f + 0.15f * c, 0.2f + 0.8f * c, 1.0f}
                           : Colour{c, c, c, 1.0f};

  draw_buttons(scene, font, pulse, target);
  // The two headings are centred on x = 160 by the centring rule: 18 glyphs
  // start at 160 - 9 cell + 18, 17 at 160 - 17 cell / 2 + 17, where an odd
  // cell drops the half pixel as in every centred text.
  draw_text(font, "SYSTEM INFORMATION", {178 - 9 * cell, 170}, kMenuWhite, flags, target);
  draw_rules(158, flags, target);
  draw_module_table(scene, font, pulse, target);
  draw_rules(112, flags, target);
  draw_text(font, "ACTIVATED DEVICES", {177 - 17 * cell / 2, 104}, kMenuWhite, flags, target);
  draw_socket_block(scene, picture.previews, font, pulse, target);
  if (scene.rules.player_panel) draw_points_line(scene, font, target);
  if (scene.menus.help_open) draw_help_page(font, scene.settings_copy.controls, target);
}

}  // namespace vel
