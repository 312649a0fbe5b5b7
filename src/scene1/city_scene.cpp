// city_scene.cpp: Scene::update of the city, the frame driver that runs
// every rule and drawing step in its fixed order, and the timed ending that
// writes the screenshot.
#include "scene1/city_scene.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/fatal.h"
#include "base/saturate.h"
#include "gfx/matrix.h"
#include "gfx/screenshot.h"
#include "scene1/control_bits.h"
#include "scene1/grapple.h"
#include "scene1/hud.h"
#include "scene1/panel.h"
#include "scene1/pickups.h"
#include "scene1/player.h"
#include "scene1/traffic.h"
#include "scene1/world_draw.h"

namespace vel {

namespace {

// Elapsed is a 32-bit float compared with 12.6 as a 32-bit float: at a
// 1/60 s step the run ends in frame 757 (756 / 60 rounds to exactly 12.6f).
constexpr float kRunLength = 12.6f;

void player_frame(CityScene& scene, const InputState& input, uint32_t pressed, float dt) {
  const CameraAxes axes = camera_axes(scene.camera);
  if (scene.control_enabled) {
    if (pressed & kJumpBit) player_jump(scene);
    if (pressed & kGrappleBit) grapple_fire(scene, axes.forward);
    player_drive(scene, input.held, axes);
    player_vertical(scene, input.held, axes.forward, dt);
  }
  physics_steps(scene, dt);
  camera_update(scene, input.look, dt);
}

void advance_world(CityScene& scene, Vec2 look, float step_dt) {
  traffic_step(scene, step_dt);
  turn_pickups(scene, step_dt);
  collect_chips(scene);
  turn_batteries(scene, step_dt);
  collect_batteries(scene);
  spin_fans(scene, step_dt);
  advance_rain(scene, look, step_dt);
  drone_bursts_update(scene, step_dt);
  grapple_cooldown_update(scene, step_dt);
  messages_update(scene);
  station_test(scene);
}

void count_frame(CityScene& scene, float dt) {
  scene.fps_frames += 1;
  scene.fps_time += dt;
  if (scene.fps_time > 1.0f) {
    const float mean_frame = scene.fps_time / static_cast<float>(scene.fps_frames);
    scene.fps_text = std::to_string(trunc_i32(1.0f / mean_frame));
    scene.fps_frames = 0;
    scene.fps_time = 0.0f;
  }
}

}  // namespace

void end_run_with_screenshot(const Framebuffer& framebuffer) {
  const std::string error =
      write_screenshot(std::vector<uint8_t>(framebuffer.colour.begin(), framebuffer.colour.end()));
  if (!error.empty()) fatal(std::string("Could not write ") + kScreenshotName + ": " + error);
  std::fputs("Screenshot created. Look at the project root\n", stdout);
  std::fflush(stdout);
  std::exit(0);
}

FrameResult CityScene::update(const InputState& input, Framebuffer& framebuffer, float dt,
                              float time, const Settings& settings) {
  // 1. Times: the game rules advance by step_dt, which is 0 while paused;
  // the physics, the mouse look and the frame count use the raw dt.
  elapsed = time - start_time;
  const float step_dt = paused ? 0.0f : dt;

  // 2. Edges.
  const uint32_t pressed = input.held & ~prev_held;
  prev_held = input.held;

  // 3. The player, only while no menu covers the city.
  if (!panel_open && !device_menu_open) player_frame(*this, input, pressed, dt);

  // 4. Every frame, whatever the mode.
  camera.view_projection = mat4_mul(camera.projection, camera.view);

  // 5. Panel toggle, read in every mode.
  bool panel_opened_now = false;
  if (pressed & kPanelToggleBit) panel_opened_now = panel_toggle(*this);

  // 6, 7. Menus navigate; otherwise the world advances.
  if (panel_open) panel_navigate(*this, pressed);
  if (device_menu_open) {
    device_menu_navigate(*this, pressed);
  } else if (!panel_open) {
    advance_world(*this, input.look, step_dt);
  }

  // 8.
  settings_copy = settings;

  // 9-11. The picture.
  if (panel_open && !panel_opened_now) {
    draw_panel(*this, framebuffer);
  } else {
    // The frame the panel opens in is drawn whole (both fields), since it
    // becomes the panel's background.
    const uint8_t interlace = render_flags.interlace;
    if (panel_opened_now) render_flags.interlace = 0;
    draw_world(*this, framebuffer, step_dt);
    draw_grapple_effects(*this, framebuffer);
    if (device_menu_open) draw_device_menu(*this, framebuffer);
    // Messages float over the city and the device menu, under the bars.
    draw_messages(*this, framebuffer);
    if (elapsed < kLetterboxEnd) {
      letterbox(elapsed, render_flags, framebuffer);
    } else {
      paused = 0;
      control_enabled = 1;
    }
    if (panel_opened_now) {
      capture_panel_background(*this, framebuffer);
      render_flags.interlace = interlace;
    }
  }

  // 12.
  if (textures.size() > texture_slot::kSmallFont) {
    fps_readout(fps_text, settings.show_fps, textures[texture_slot::kSmallFont], render_flags,
                framebuffer);
  }

  // 13. The timed ending, whatever the input.
  if (elapsed > kRunLength && run_end) run_end(framebuffer);

  // 14.
  render_flags.odd_field = render_flags.odd_field ? 0 : 1;
  count_frame(*this, dt);

  // 15.
  FrameResult result;
  if (switch_requested != 0) result.next_scene = switch_target;
  result.relative_mouse = !panel_open;
  return result;
}

}  // namespace vel
