// device_menu.cpp: the device menu: the station that opens it, choosing a
// device, and its drawing with the turning device models.
#include <cmath>
#include <string_view>

#include "base/fatal.h"
#include "gfx/draw2d.h"
#include "scene1/device_preview.h"
#include "scene1/hud.h"
#include "scene1/panel.h"

namespace vel {

namespace {

constexpr int32_t kDeviceCount = 3;
// The selected model turns at this rate in radians per second of elapsed.
constexpr float kTurnRate = 2.0f;
// The pictures sit side by side, this far apart, between the name and the
// description.
constexpr int32_t kPictureSpacing = 72;
constexpr int32_t kPictureY = 80;

struct Device {
  std::string_view name;
  std::string_view first_line;   // at y = H - 140
  std::string_view second_line;  // at y = H - 150; may be empty
  uint64_t mesh = 0;             // slot of the model its picture shows
  uint64_t texture = 0;
};

constexpr Device kDevices[kDeviceCount] = {
    {"GRAPPLE: MAGNETIC", "DOES NOT SNAP", "ENGAGES ONLY WITH METAL SURFACES",
     mesh_slot::kMagneticGrapple, texture_slot::kMagneticGrapple},
    {"GRAPPLE: FORCE FIELD", "DOES NOT SNAP", "ENGAGES WITH ALL SURFACES",
     mesh_slot::kForceFieldGrapple, texture_slot::kForceFieldGrapple},
    {"FREQUENCY SCANNER", "PROVIDES BETTER SIGNAL RECEPTION IN BAD CONDITIONS", "",
     mesh_slot::kFrequencyScanner, texture_slot::kFrequencyScanner},
};
// Rows 3 to 5 of the panel can be left selected under the menu.
constexpr Device kUnknownDevice{"UNKNOWN", "UNKNOWN OPERATION", ""};

const Device& device_at(int32_t index) {
  return index >= 0 && index < kDeviceCount ? kDevices[index] : kUnknownDevice;
}

bool is_device(int32_t index) {
  return index >= 0 && index < kDeviceCount;
}

void draw_centred(const Image& font, std::string_view text, int32_t centre, int32_t y,
                  Colour colour, const RenderFlags& flags, Framebuffer& target) {
  const int32_t x = centred_start(centre, static_cast<int32_t>(text.size()), glyph_cell(font));
  draw_text(font, text, {x, y}, colour, flags, target);
}

void draw_device_pictures(const CityScene& scene, DevicePreviews& previews,
                          const RenderFlags& flags, Framebuffer& target) {
  // Nothing is drawn unless every device's model is loaded.
  for (const Device& device : kDevices) {
    if (device.mesh >= scene.assets.meshes.size() || device.texture >= scene.assets.textures.size())
      return;
  }
  Framebuffer& picture_target = previews.device_target;
  if (picture_target.width != kDevicePreviewSize) {
    picture_target = framebuffer_new(kDevicePreviewSize, kDevicePreviewSize);
  }
  for (int32_t i = 0; i < kDeviceCount; ++i) {
    const bool selected = scene.menus.selection == i;
    const float turn = selected ? kTurnRate * scene.clock.elapsed : 0.0f;
    const Device& device = kDevices[i];
    render_device_preview(scene.assets.meshes[device.mesh], scene.assets.textures[device.texture],
                          turn, picture_target);
    Image& picture = previews.device_picture;
    framebuffer_to_image_into(picture_target, true, picture);
    if (!selected) grey_out(picture);
    const Point2 at{layout_width(target) / 2 + (i - 1) * kPictureSpacing, kPictureY};
    blit_image(picture, {.position = at, .anchor = {0.5f, 0.5f}}, flags, target);
  }
}

}  // namespace

void device_menu_navigate(int32_t& selection, uint32_t pressed) {
  // Left wraps only from device 0; right wraps from anything past device 2,
  // so a panel row left selected (3 to 5) comes back to device 0.
  if (pressed & kMenuLeftBit) selection = selection == 0 ? kDeviceCount - 1 : selection - 1;
  if (pressed & kMenuRightBit) selection = selection + 1 >= kDeviceCount ? 0 : selection + 1;
  if ((pressed & kMenuSelectBit) && is_device(selection)) fatal(kDeviceSelectMessage);
}

int32_t device_menu_item_at(int32_t x, int32_t y) {
  constexpr int32_t kHalf = kDevicePreviewSize / 2;
  if (y < kPictureY - kHalf || y > kPictureY + kHalf) return -1;
  for (int32_t i = 0; i < kDeviceCount; ++i) {
    const int32_t centre = kPictureWidth / 2 + (i - 1) * kPictureSpacing;
    if (x >= centre - kHalf && x <= centre + kHalf) return i;
  }
  return -1;
}

void station_test(PlayerState& player, Vec3 station_position, MenuState& menus) {
  if (distance(player.body.position, station_position) < kStationReach) {
    menus.device_menu_open = true;
    player.control_enabled = false;
  }
}

void draw_device_menu(const CityScene& scene, CityPicture& picture, const RenderFlags& flags,
                      Framebuffer& target) {
  darken_framebuffer(flags, target, 0.9f);
  if (scene.assets.textures.size() <= texture_slot::kSmallFont ||
      scene.assets.textures.size() <= texture_slot::kTitleFont) {
    return;
  }
  const Image& font = scene.assets.textures[texture_slot::kSmallFont];
  const Image& title_font = scene.assets.textures[texture_slot::kTitleFont];
  const int32_t w = layout_width(target);
  const int32_t h = layout_height(target);
  const Colour white{1.0f, 1.0f, 1.0f, 1.0f};
  const Colour cyan{0.0f, 0.8f, 1.0f, 1.0f};

  draw_text(title_font, "NEW DEVICES AVAILABLE!",
            {w / 2 - 11 * glyph_cell(title_font) + 22, h - 40}, white, flags, target);
  const Device& device = device_at(scene.menus.selection);
  draw_centred(font, device.name, w / 2, h - 60, cyan, flags, target);
  draw_centred(font, device.first_line, w / 2, h - 140, white, flags, target);
  if (!device.second_line.empty()) {
    draw_centred(font, device.second_line, w / 2, h - 150, white, flags, target);
  }
  draw_device_pictures(scene, picture.previews, flags, target);
  // Where the station can be left, the menu says how.
  if (scene.rules.station_closable) {
    draw_centred(font, "LEFT/RIGHT: CHOOSE   ENTER: INSTALL   ESC: LEAVE", w / 2, 20, cyan, flags,
                 target);
  }
}

}  // namespace vel
