// panel.h: the system information panel and the device menu: toggling,
// navigation, the station test, the background capture and their drawing
// (the panel in panel.cpp, the device menu in device_menu.cpp).
#pragma once

#include <cstdint>

#include "gfx/framebuffer.h"
#include "scene1/city_scene.h"
#include "scene1/control_bits.h"

namespace vel {

// A device-menu select on one of its three devices stops the program with
// this message: installing a device is not built yet.
inline constexpr const char* kDeviceSelectMessage =
    "not yet implemented: HANDLE ITEM SELECTION DUDE";

// Flips the panel (called on a pressed toggle bit); returns true when the
// panel has just opened.
bool panel_toggle(CityScene& scene);
// `pressed` is the frame's pressed-edge mask.
void panel_navigate(CityScene& scene, uint32_t pressed);
void device_menu_navigate(CityScene& scene, uint32_t pressed);
// Opens the device menu when the player is within 5 of the station.
void station_test(CityScene& scene);
// Captures the finished picture (interlace off) at 0.35 brightness.
void capture_panel_background(CityScene& scene, const Framebuffer& picture);
void draw_panel(CityScene& scene, Framebuffer& target);
void draw_device_menu(CityScene& scene, Framebuffer& target);

}  // namespace vel
