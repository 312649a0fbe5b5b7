// panel.h: the system information panel and the device menu: toggling,
// navigation, the station test, the background capture and their drawing
// (the panel in panel.cpp, the device menu in device_menu.cpp).
#pragma once

#include <cstdint>

#include "gfx/framebuffer.h"
#include "scene1/city_scene.h"
#include "scene_api/control_bits.h"

namespace vel {

// The device menu opens when the player comes this close to the station.
inline constexpr float kStationReach = 5.0f;

// A device-menu select on one of its three devices stops the program with
// this message: installing a device is not built yet.
inline constexpr const char* kDeviceSelectMessage =
    "not yet implemented: HANDLE ITEM SELECTION DUDE";

// Flips the panel (called on a pressed toggle bit), pausing the world while
// it is open; returns true when the panel has just opened.
bool panel_toggle(MenuState& menus, Economy& economy, bool& paused);
// Moves through the panel's rows, spends and takes back upgrade points, and
// acts on its buttons (resume, restart, exit). `pressed` is the frame's
// pressed-edge mask.
// A module's draft is not raised past `level_cap`.
// With `player_rows` (the played panel) HELP and QUIT follow EXIT (and
// OPTIONS before them with `options_button`), and left and right move
// along the buttons.
void panel_navigate(MenuState& menus, Economy& economy, bool& paused, SceneSwitch& switch_request,
                    uint32_t pressed, int32_t level_cap = INT32_MAX, bool player_rows = false,
                    bool options_button = false);
// The played panel's row under the pointer (layout pixels, y upward): a
// module's line or a button's word; -1 for none. What a click there does
// is the menu keys' (panel_pointer_keys).
int32_t panel_row_at(const CityScene& scene, int32_t x, int32_t y);
// The menu keys a click on `row` stands for: a left click buys on a
// module's row and takes a button, a right click takes a version back.
uint32_t panel_pointer_keys(int32_t row, uint32_t clicks);
// Moves between the devices of the device menu; choosing one stops the
// program with kDeviceSelectMessage.
void device_menu_navigate(int32_t& selection, uint32_t pressed);
// The device whose picture lies under layout pixel (x, y) of the device
// menu, or -1.
int32_t device_menu_item_at(int32_t x, int32_t y);
// Opens the device menu, and takes the controls from the player, when the
// player comes within 5 of the station.
void station_test(PlayerState& player, Vec3 station_position, MenuState& menus);
// Captures the finished picture (interlace off) at 0.35 brightness.
void capture_panel_background(Image& background, const Framebuffer& picture);
// The panel over the background captured when it opened; the device
// pictures are rendered into `picture` on first use.
void draw_panel(const CityScene& scene, CityPicture& picture, Framebuffer& target);
// The device menu over the city, drawn with the frame's flags.
void draw_device_menu(const CityScene& scene, CityPicture& picture, const RenderFlags& flags,
                      Framebuffer& target);

}  // namespace vel
