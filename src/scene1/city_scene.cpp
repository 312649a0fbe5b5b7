// city_scene.cpp: the city's frame: the step that runs every rule in its
// fixed order and reports what happened, the drawing that reads what the
// step left, the end of the frame (the timed ending, the field flip, the
// level advance), and the ending that writes the screenshot.
#include "scene1/city_scene.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/fatal.h"
#include "base/saturate.h"
#include "base/standard_streams.h"
#include "gfx/draw_workers.h"
#include "gfx/matrix.h"
#include "gfx/screenshot.h"
#include "scene1/grapple.h"
#include "scene1/hud.h"
#include "scene1/panel.h"
#include "scene1/pickups.h"
#include "scene1/play_rules.h"
#include "scene1/player.h"
#include "scene1/traffic.h"
#include "scene1/world_draw.h"
#include "scene_api/control_bits.h"

namespace vel {

namespace {

// Elapsed is a 32-bit float compared with 12.6 as a 32-bit float: at a
// 1/60 s step the run ends in frame 757 (756 / 60 rounds to exactly 12.6f).
constexpr float kRunLength = 12.6f;
// A move along a roof longer than this in one frame is a teleport (a fall
// back to the start, a new city), not a walk.
constexpr float kLongestWalk = 5.0f;

// The body and the menus as the frame began: what its events are told
// against.
struct FrameStart {
  bool on_ground = false;
  Vec3 position;
  Vec3 velocity;
  bool panel_open = false;
  bool device_menu_open = false;
  int32_t selection = 0;
  UpgradeLevels drafts;
  bool switch_requested = false;
  bool paused = true;
};

FrameStart frame_start(const CityScene& scene) {
  return {scene.player.on_ground, scene.player.body.position,     scene.player.body.velocity,
          scene.menus.panel_open, scene.menus.device_menu_open,   scene.menus.selection,
          scene.economy.drafts,   scene.switch_request.requested, scene.clock.paused};
}

// Where a leap off the rope heads: along the view while a walk key is held,
// else into the facade the rope holds (against the standoff's normal), else
// (a car, no standoff) along the view.
Vec3 leap_heading(const GrappleState& grapple, uint32_t held, Vec3 forward) {
  constexpr uint32_t kWalkKeys = kWalkForward | kWalkBack | kWalkLeft | kWalkRight;
  const Vec3 normal = grapple.pull_offset;
  if ((held & kWalkKeys) || grapple.anchor_car >= 0 ||
      !(normal.x * normal.x + normal.z * normal.z > 0.0f)) {
    return forward;
  }
  return -normal;
}

bool same_levels(const UpgradeLevels& a, const UpgradeLevels& b) {
  return a.drive == b.drive && a.jump == b.jump && a.pull == b.pull;
}

// The player's actions (with control), the physics steps and the camera
// that follows the body, all on the raw dt.
void player_frame(CityScene& scene, const InputState& input, uint32_t pressed, float dt) {
  // The axes of the view the last frame left: the shot and the walk follow
  // what the player saw.
  const CameraAxes axes = camera_axes(scene.view.camera);
  const bool energy_floor = scene.rules.energy_floor;
  if (scene.player.control_enabled) {
    if ((pressed & kJumpBit) && scene.rules.rope_leap && scene.grapple.attached) {
      // Off the rope with a jump's push up and along the view: the way
      // onto the roof the rope hangs from.
      // With no walk key held the leap goes towards the facade the rope
      // holds, whichever way the player looks: up and over its edge.
      const Vec3 heading = leap_heading(scene.grapple, input.held, axes.forward);
      const bool climbs = scene.rules.rope_climb && rules_start_climb(scene, heading);
      scene.progress.leap_airborne = scene.rules.leap_lands && !climbs;
      grapple_release(scene);
      scene.events.add(EventKind::jumped);
      player_leap(scene.player, scene.economy, heading, scene.clock.elapsed);
    } else if ((pressed & kJumpBit) && (!energy_floor || rules_allow_jump(scene))) {
      scene.events.add(scene.player.on_ground ? EventKind::jumped : EventKind::air_brake);
      player_jump(scene.player, scene.economy, scene.clock.elapsed);
    }
    if ((pressed & kGrappleBit) && (!energy_floor || rules_allow_shot(scene))) {
      const bool was_attached = scene.grapple.attached;
      grapple_fire(scene, axes.forward);
      if (scene.rules.rope_edge_below && !was_attached) rules_catch_edge_below(scene);
    } else if (scene.rules.rope_hold && scene.grapple.attached && !(input.held & kGrappleBit)) {
      grapple_release(scene);  // let go of the key, let go of the rope
    }
    player_drive(scene.player, scene.economy.levels.drive, input.held, axes);
    player_steer_in_air(scene.player, scene.rules.air_control, input.held, axes);
    if (scene.rules.rope_reel && scene.grapple.attached) {
      player_reel(scene.player.body, input.held, scene.grapple, dt);
    } else {
      player_vertical(scene.player.body, input.held, axes.forward, dt);
    }
  }
  physics_steps(scene, dt);
  if (scene.rules.rope_edge_below) rules_edge_landing(scene);
  if (scene.rules.leap_lands) rules_leap_landing(scene);
  if (energy_floor) rules_energy_floor(scene.economy);
  if (scene.rules.fall != FallRule::falls_on) rules_fall_back(scene);
  camera_update(scene.view, scene.player, input.look, dt);
}

// The panel key: with a closable station it closes the device menu when
// that is open; closing the panel gives back the points of its drafts
// (refund) or keeps what they bought (commit), as the rules say.
bool panel_key(CityScene& scene) {
  if (scene.rules.station_closable && scene.menus.device_menu_open) {
    rules_close_device_menu(scene);
    return false;
  }
  if (scene.menus.panel_open) {
    if (scene.rules.refund_on_close) rules_refund_drafts(scene.economy);
    if (scene.rules.commit_on_close) scene.economy.levels = scene.economy.drafts;
  }
  return panel_toggle(scene.menus, scene.economy, scene.clock.paused);
}

// The device menu's keys. Where devices install, select is theirs (never
// the unfinished ending); at a closable station the grapple key lets go of
// a rope that brought the player there.
void device_menu_keys(CityScene& scene, uint32_t pressed) {
  if (scene.rules.devices == DeviceChoice::ends_run) {
    device_menu_navigate(scene.menus.selection, pressed);
  } else {
    device_menu_navigate(scene.menus.selection, pressed & ~kMenuSelectBit);
    if (pressed & kMenuSelectBit) rules_select_device(scene);
  }
  if (scene.rules.station_closable && (pressed & kGrappleBit) && scene.grapple.attached) {
    grapple_release(scene);
  }
}

// The body's contact: a landing with the downward speed the last frame
// left, or the ground covered along a roof.
void body_events(const FrameStart& start, const CityScene& scene, FrameEvents& events) {
  const bool on_ground = scene.player.on_ground;
  if (on_ground && !start.on_ground) {
    events.add(EventKind::landed, start.velocity.y < 0.0f ? -start.velocity.y : 0.0f);
  }
  if (on_ground && start.on_ground) {
    const float dx = scene.player.body.position.x - start.position.x;
    const float dz = scene.player.body.position.z - start.position.z;
    const float walked = std::sqrt(dx * dx + dz * dz);
    if (walked < kLongestWalk) events.add(EventKind::walked, walked);
  }
}

// The menus: opened or closed, and within an open one a move (the row or a
// draft changed), a select that acted, or a key that met a greyed row or
// an empty purse.
void menu_events(const FrameStart& start, const CityScene& scene, uint32_t pressed,
                 FrameEvents& events) {
  const MenuState& menus = scene.menus;
  const bool was_open = start.panel_open || start.device_menu_open;
  const bool is_open = menus.panel_open || menus.device_menu_open;
  const MenuKind kind =
      menus.panel_open || (!is_open && start.panel_open) ? MenuKind::panel : MenuKind::device_menu;
  if (!was_open && is_open) events.add_menu(EventKind::menu_opened, kind);
  if (was_open && !is_open) events.add_menu(EventKind::menu_closed, kind);
  if (!was_open || !is_open) return;
  const bool moved =
      start.selection != menus.selection || !same_levels(start.drafts, scene.economy.drafts);
  const bool acted = scene.switch_request.requested != start.switch_requested ||
                     scene.clock.paused != start.paused || menus.panel_open != start.panel_open;
  if (moved) events.add_menu(EventKind::menu_moved, kind);
  bool refused = false;
  if (pressed & kMenuSelectBit) {
    if (acted) events.add_menu(EventKind::menu_selected, kind);
    refused = !acted;
  }
  if ((pressed & (kMenuLeftBit | kMenuRightBit)) && !moved) refused = true;
  if (refused) events.add_menu(EventKind::menu_refused, kind);
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
      write_picture(std::vector<uint8_t>(framebuffer.colour.begin(), framebuffer.colour.end()),
                    framebuffer.width, framebuffer.height, kScreenshotName);
  if (!error.empty()) fatal(std::string("Could not write ") + kScreenshotName + ": " + error);
  std::fputs("Screenshot created. Look at the project root\n", stdout);
  // A reader of standard output that went away (SIGPIPE ignored) is told
  // only by the failed write: the run did not end as it says.
  if (const std::string failure = standard_output_failure(); !failure.empty()) fatal(failure);
  std::exit(0);
}

void advance_world(CityScene& scene, Vec2 look, float step_dt) {
  const Vec3 player_position = scene.player.body.position;
  const CityRules& rules = scene.rules;
  traffic_step(scene.objects, scene.city, scene.assets.meshes, step_dt);
  turn_pickups(scene.objects, step_dt);
  const size_t chips_before = scene.objects.chips.size();
  collect_chips(scene.objects, player_position, scene.rng_state, scene.economy, scene.hud.messages,
                scene.clock.elapsed, scene.events, rules.plain_pickup_words);
  rules_chips_taken(scene, chips_before);
  turn_batteries(scene.objects, step_dt);
  collect_batteries(scene.objects, player_position, scene.rng_state, scene.economy,
                    scene.hud.messages, scene.clock.elapsed, scene.events);
  spin_fans(scene.objects.fans, step_dt);
  advance_rain(scene, look, step_dt);
  drone_bursts_update(scene.grapple.drone_bursts, step_dt);
  grapple_cooldown_update(scene.grapple, step_dt);
  messages_update(scene.hud.messages, scene.clock.elapsed);
  if (rules.ground_recharge > 0.0f) rules_recharge(scene, step_dt);
  if (rules.station_closable) {
    rules_station_test(scene);
  } else {
    station_test(scene.player, scene.city.station_position, scene.menus);
  }
}

FrameResult CityScene::step(const InputState& input, float dt, float time, const Settings& settings,
                            FrameEvents& frame_events) {
  events.clear();
  const FrameStart start = frame_start(*this);
  // The game rules advance by step_dt, which is 0 while paused; the physics,
  // the mouse look and the frame count use the raw dt.
  clock.elapsed = time - clock.start_time;
  const float step_dt = clock.paused ? 0.0f : dt;

  // A control acts on the frame its bit goes down.
  uint32_t pressed = input.held & ~clock.prev_held;
  clock.prev_held = input.held;
  // Over the panel the help page takes the key that closes it.
  if (menus.help_open && pressed != 0) {
    menus.help_open = false;
    pressed = 0;
  }

  // The player moves only while no menu covers the city.
  if (!menus.panel_open && !menus.device_menu_open) player_frame(*this, input, pressed, dt);

  // Rebuilt every frame, whatever the mode, from the view the player left.
  view.camera.view_projection = mat4_mul(view.camera.projection, view.camera.view);

  // The panel can be opened or closed in every mode.
  menus.panel_opened_now = (pressed & kPanelToggleBit) != 0 && panel_key(*this);

  // An open menu takes the controls; otherwise the world advances.
  if (menus.panel_open) {
    panel_navigate(menus, economy, clock.paused, switch_request, pressed, rules.module_cap,
                   rules.player_panel, rules.panel_options);
  }
  if (menus.device_menu_open) {
    device_menu_keys(*this, pressed);
  } else if (!menus.panel_open) {
    advance_world(*this, input.look, step_dt);
  }

  // The state file reports the settings the last frame ran with.
  settings_copy = settings;

  // The lightning and the opening belong to the frames that show the city:
  // under the panel both wait.
  if (!menus.panel_open || menus.panel_opened_now) {
    advance_lightning(*this, step_dt, events);
    if (clock.elapsed >= kLetterboxEnd) {
      // Once the bars have opened, the world runs and the player takes over.
      clock.paused = false;
      player.control_enabled = true;
    }
  }

  if (rules.aim_query) {
    grapple.aim = grapple_aim(*this, camera_axes(view.camera).forward, grapple.aim_distance);
  }
  if (rules.edge_hint) rules_edge_hint(*this);
  if (rules.stack_messages) rules_stack_messages(hud.messages, clock.elapsed);
  body_events(start, *this, events);
  menu_events(start, *this, pressed, events);
  FrameResult result;
  if (switch_request.requested) {
    result.next_scene = switch_request.target;
    if (!start.switch_requested) {
      events.add(EventKind::scene_switch_asked, static_cast<float>(switch_request.target));
    }
  }
  // Only the panel frees the mouse.
  result.relative_mouse = !menus.panel_open;
  for (const FrameEvent& event : events) frame_events.add(event);
  return result;
}

void CityScene::draw(Framebuffer& framebuffer) {
  draw_city_frame(*this, picture, framebuffer);
}

void draw_city_frame(const CityScene& scene, CityPicture& picture, Framebuffer& target) {
  const MenuState& menus = scene.menus;
  if (menus.panel_open && !menus.panel_opened_now) {
    draw_panel(scene, picture, target);
  } else {
    // The frame the panel opens in is drawn whole (both fields), since it
    // becomes the panel's background.
    RenderFlags flags = scene.view.render_flags;
    if (menus.panel_opened_now) flags.interlace = 0;
    // The world and the overlays over it are drawn by every worker, each
    // its band; the device menu, which draws its models into a picture of
    // its own, by this thread alone, and what follows it with it.
    const bool device_menu = menus.device_menu_open;
    const auto overlays = [&](const RenderFlags& band) {
      // Messages float over the city and the device menu, under the bars.
      draw_messages(scene.hud.messages, scene.assets.textures, band, target);
      if (scene.clock.elapsed < kLetterboxEnd) letterbox(scene.clock.elapsed, band, target);
    };
    draw_in_bands(target, flags, [&](const RenderFlags& band) {
      draw_world(scene, band, target);
      draw_grapple_effects(scene.grapple, scene.objects.cars, scene.view, band, target);
      if (!device_menu) overlays(band);
    });
    if (device_menu) {
      draw_device_menu(scene, picture, flags, target);
      overlays(flags);
    }
    if (menus.panel_opened_now) capture_panel_background(picture.panel_background, target);
  }
  // The frame-rate readout goes over everything, the panel included.
  if (scene.assets.textures.size() > texture_slot::kSmallFont) {
    fps_readout(scene.hud.fps_text, scene.settings_copy.show_fps,
                scene.assets.textures[texture_slot::kSmallFont], scene.view.render_flags, target);
  }
}

void CityScene::end_frame(const Framebuffer& framebuffer, float dt, float time,
                          const Settings& settings, FrameEvents& frame_events) {
  // The timed ending, whatever the input.
  if (clock.elapsed > kRunLength && run_end) run_end(framebuffer);

  // The next frame draws the other field of an interlaced picture.
  view.render_flags.odd_field = view.render_flags.odd_field ? 0 : 1;
  count_frame(hud, dt);

  // A completed level gives way to the next city once its moment is over;
  // this frame's picture is the last of the old one.
  if (rules.level_advance && !switch_request.requested && rules_level_step(*this, settings, time)) {
    frame_events.add(EventKind::level_advanced, static_cast<float>(city.level));
  }
}

void CityScene::listen(Soundscape& heard) const {
  listen_to_city(*this, heard);
}

}  // namespace vel
