// device_preview.h: the small off-screen renders of device models that the
// system panel and the device menu show, and the targets they are drawn in.
#pragma once

#include <cstdint>

#include "gfx/framebuffer.h"
#include "gfx/image.h"
#include "gfx/mesh.h"
#include "gfx/raster.h"

namespace vel {

inline constexpr int32_t kCorePreviewSize = 46;    // the panel's installed device
inline constexpr int32_t kSocketPreviewSize = 32;  // the panel's empty sockets
inline constexpr int32_t kDevicePreviewSize = 64;  // each device of the device menu

// Kept in the scene so the menus never allocate a render target per frame.
// The panel's two pictures never change during a scene's life, so they are
// rendered on first use and kept; the device menu's pictures turn, so its
// one target is redrawn for each device every frame the menu is shown.
struct DevicePreviews {
  Image core;
  Image socket;
  Framebuffer device_target;
  Image device_picture;  // remade from device_target for each device, every frame
};

// Clears `target` (depth included) and draws the mesh centred, scaled to
// fill the square picture, tipped towards the viewer and turned by `turn`
// radians about its vertical axis. Both faces are drawn, so a flat model
// stays visible while it turns. A mesh without positions leaves the
// picture empty.
void render_device_preview(const Mesh& mesh, const Image& texture, float turn, Framebuffer& target,
                           RasterPath path = RasterPath::fast);

// A finished preview as a picture: transparent where nothing was drawn.
Image preview_picture(const Framebuffer& target);

// Every pixel with non-zero alpha becomes grey 0.4*(r+g+b)/3 with alpha 1:
// how the device menu shows the devices that are not selected.
void grey_out(Image& picture);

}  // namespace vel
