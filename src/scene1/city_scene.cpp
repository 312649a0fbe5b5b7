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
#include "scene1/play_rules.h"
#include "scene1/player.h"
#include "scene1/traffic.h"
#include "scene1/world_draw.h"

namespace vel {

namespace {

// Elapsed is a 32-bit float compared with 12.6 as a 32-bit float: at a
// 1/60 s step the run ends in frame 757 (756 / 60 rounds to exactly 12.6f).
constexpr float kRunLength = 12.6f;

// The player's actions (with control), the physics steps and the camera
// that follows the body, all on the raw dt.
void player_frame(CityScene& scene, const InputState& input, uint32_t pressed, float dt) {
  // The axes of the view the last frame left: the shot and the walk follow
  // what the player saw.
  const CameraAxes axes = camera_axes(scene.view.camera);
  const bool rules = scene.rules.on;
  if (scene.player.control_enabled) {
    if ((pressed & kJumpBit) && (!rules || rules_allow_jump(scene))) {
      player_jump(scene.player, scene.economy, scene.clock.elapsed);
    }
    if ((pressed & kGrappleBit) && (!rules || rules_allow_shot(scene))) {
      grapple_fire(scene, axes.forward);
    }
    player_drive(scene.player, scene.economy.levels.drive, input.held, axes);
    player_vertical(scene.player.body, input.held, axes.forward, dt);
  }
  physics_steps(scene, dt);
  if (rules) {
    rules_energy_floor(scene.economy);
    rules_fall_back(scene);
  }
  camera_update(scene.view, scene.player, input.look, dt);
}

// Everything that moves on its own, on step_dt (0 while paused), in a
// fixed order: the pickups and the rain draw from the generator in turn.
void advance_world(CityScene& scene, Vec2 look, float step_dt) {
  const Vec3 player_position = scene.player.body.position;
  const bool rules = scene.rules.on;
  traffic_step(scene.objects, scene.city, scene.assets.meshes, step_dt);
  turn_pickups(scene.objects, step_dt);
  const size_t chips_before = scene.objects.chips.size();
  collect_chips(scene.objects, player_position, scene.rng_state, scene.economy, scene.hud.messages,
                scene.clock.elapsed);
  if (rules) rules_chips_taken(scene, chips_before);
  turn_batteries(scene.objects, step_dt);
  collect_batteries(scene.objects, player_position, scene.rng_state, scene.economy,
                    scene.hud.messages, scene.clock.elapsed);
  spin_fans(scene.objects.fans, step_dt);
  advance_rain(scene, look, step_dt);
  drone_bursts_update(scene.grapple.drone_bursts, step_dt);
  grapple_cooldown_update(scene.grapple, step_dt);
  messages_update(scene.hud.messages, scene.clock.elapsed);
  if (rules) {
    rules_recharge(scene, step_dt);
    rules_station_test(scene);
  } else {
    station_test(scene.player, scene.city.station_position, scene.menus);
  }
}

// The panel key: with the play rules it closes the device menu when that is
// open, and closing the panel gives back the points of its drafts.
bool panel_key(CityScene& scene) {
  if (scene.rules.on) {
    if (scene.menus.device_menu_open) {
      rules_close_device_menu(scene);
      return false;
    }
    if (scene.menus.panel_open) rules_refund_drafts(scene.economy);
  }
  return panel_toggle(scene.menus, scene.economy, scene.clock.paused);
}

// The device menu's keys. With the play rules, select is theirs (never the
// unfinished ending) and the grapple key lets go of a rope that brought the
// player to the station.
void device_menu_keys(CityScene& scene, uint32_t pressed) {
  if (!scene.rules.on) {
    device_menu_navigate(scene.menus.selection, pressed);
    return;
  }
  device_menu_navigate(scene.menus.selection, pressed & ~kMenuSelectBit);
  if (pressed & kMenuSelectBit) rules_select_device(scene);
  if ((pressed & kGrappleBit) && scene.grapple.attached) grapple_release(scene);
}

// The readout shows the mean frame rate of the last second or so.
void count_frame(HudState& hud, float dt) {
  hud.fps_frames += 1;
  hud.fps_time += dt;
  if (hud.fps_time > 1.0f) {
    const float mean_frame = hud.fps_time / static_cast<float>(hud.fps_frames);
    hud.fps_text = std::to_string(trunc_i32(1.0f / mean_frame));
    hud.fps_frames = 0;
    hud.fps_time = 0.0f;
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
  // The game rules advance by step_dt, which is 0 while paused; the physics,
  // the mouse look and the frame count use the raw dt.
  clock.elapsed = time - clock.start_time;
  const float step_dt = clock.paused ? 0.0f : dt;

  // A control acts on the frame its bit goes down.
  const uint32_t pressed = input.held & ~clock.prev_held;
  clock.prev_held = input.held;

  // The player moves only while no menu covers the city.
  if (!menus.panel_open && !menus.device_menu_open) player_frame(*this, input, pressed, dt);

  // Rebuilt every frame, whatever the mode, from the view the player left.
  view.camera.view_projection = mat4_mul(view.camera.projection, view.camera.view);

  // The panel can be opened or closed in every mode.
  bool panel_opened_now = false;
  if (pressed & kPanelToggleBit) panel_opened_now = panel_key(*this);

  // An open menu takes the controls; otherwise the world advances.
  if (menus.panel_open) {
    panel_navigate(menus, economy, clock.paused, switch_request, pressed, upgrade_cap(rules));
  }
  if (menus.device_menu_open) {
    device_menu_keys(*this, pressed);
  } else if (!menus.panel_open) {
    advance_world(*this, input.look, step_dt);
  }

  // The state file reports the settings the last frame ran with.
  settings_copy = settings;

  // The picture: the panel over its captured background, or the city with
  // its effects, the device menu, the messages and the opening bars.
  if (menus.panel_open && !panel_opened_now) {
    draw_panel(*this, framebuffer);
  } else {
    // The frame the panel opens in is drawn whole (both fields), since it
    // becomes the panel's background.
    const uint8_t interlace = view.render_flags.interlace;
    if (panel_opened_now) view.render_flags.interlace = 0;
    draw_world(*this, framebuffer, step_dt);
    draw_grapple_effects(grapple, objects.cars, view, framebuffer);
    if (menus.device_menu_open) draw_device_menu(*this, framebuffer);
    // Messages float over the city and the device menu, under the bars.
    draw_messages(hud.messages, assets.textures, view.render_flags, framebuffer);
    if (clock.elapsed < kLetterboxEnd) {
      letterbox(clock.elapsed, view.render_flags, framebuffer);
    } else {
      // Once the bars have opened, the world runs and the player takes over.
      clock.paused = false;
      player.control_enabled = true;
    }
    if (panel_opened_now) {
      capture_panel_background(menus.panel_background, framebuffer);
      view.render_flags.interlace = interlace;
    }
  }

  // The frame-rate readout goes over everything, the panel included.
  if (assets.textures.size() > texture_slot::kSmallFont) {
    fps_readout(hud.fps_text, settings.show_fps, assets.textures[texture_slot::kSmallFont],
                view.render_flags, framebuffer);
  }

  // The timed ending, whatever the input.
  if (clock.elapsed > kRunLength && run_end) run_end(framebuffer);

  // The next frame draws the other field of an interlaced picture.
  view.render_flags.odd_field = view.render_flags.odd_field ? 0 : 1;
  count_frame(hud, dt);

  // A completed level gives way to the next city once its moment is over;
  // this frame's picture is the last of the old one.
  if (rules.on && !switch_request.requested) rules_level_step(*this, settings, time);

  // Only the panel frees the mouse.
  FrameResult result;
  if (switch_request.requested) result.next_scene = switch_request.target;
  result.relative_mouse = !menus.panel_open;
  return result;
}

}  // namespace vel
