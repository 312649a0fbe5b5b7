// play_shell.cpp: the played game's main loop: devices in, the shared
// frame step, the status overlay, the recording, and the window's comfort
// (pacing to the display, full screen, focus, the F12 picture).
#include "play/play_shell.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

#include "base/asset_root.h"
#include "base/file_bytes.h"
#include "base/termination_signals.h"
#include "base/user_folders.h"
#include "gfx/draw2d.h"
#include "gfx/draw_workers.h"
#include "gfx/screenshot.h"
#include "main/sdl_display.h"
#include "main/shell.h"
#include "play/options_menu.h"
#include "play/picture_files.h"
#include "play/play_run.h"
#include "play/replay.h"
#include "play/sdl_audio.h"
#include "play/sdl_devices.h"
#include "play/sdl_display_loss.h"
#include "scene_api/asset_slots.h"
#include "scene_api/control_bits.h"
#include "scene_api/scene_requests.h"

namespace vel {

namespace {

using Clock = std::chrono::steady_clock;

constexpr float kMaxFrameTime = 0.25f;   // seconds one live frame may count for
constexpr int kDefaultRefresh = 60;      // when the display does not say
constexpr bool kPlayedWithRules = true;  // chips buy upgrades, levels, ... (kPlayRules)

// Closes the controller and its subsystem before SDL itself is shut down:
// declared after the display, so destroyed before it.
struct PadSubsystem {
  bool open = false;
  Devices* devices = nullptr;
  ~PadSubsystem() {
    if (devices != nullptr) close_pad(*devices);
    if (open) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
};

Clock::duration frame_interval(SDL_Window* window) {
  SDL_DisplayMode mode{};
  const int index = SDL_GetWindowDisplayIndex(window);
  int refresh = kDefaultRefresh;
  if (index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0) {
    refresh = mode.refresh_rate;
  }
  return std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / refresh;
}

// Whether the window is full screen afterwards.
bool toggle_fullscreen(SDL_Window* window) {
  const bool full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  if (SDL_SetWindowFullscreen(window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    std::fprintf(stderr, "veltrocane-play: could not switch full screen: %s\n", SDL_GetError());
    return full;
  }
  return !full;
}

// The F12 picture as PNG files in the player's pictures folder; the name
// of the picture on success (for the window's news), else empty after a
// message.
std::string save_picture(const Framebuffer& framebuffer) {
  const UserFolder folder = pictures_folder(process_environment(), [](const std::string& path) {
    FileBytes file = read_file_bytes(path);
    return file.error.empty()
               ? std::optional<std::string>(std::string(file.bytes.begin(), file.bytes.end()))
               : std::nullopt;
  });
  std::string error = folder.problem;
  PictureNames saved;
  if (error.empty()) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    error = save_picture_files(framebuffer, folder.path, local, saved);
  }
  if (error.empty()) {
    std::printf("Screenshot saved to %s and %s\n", saved.picture.c_str(), saved.scaled.c_str());
    std::fflush(stdout);
    return saved.picture.substr(saved.picture.rfind('/') + 1);
  }
  std::fprintf(stderr, "veltrocane-play: could not save the screenshot: %s\n", error.c_str());
  return {};
}

// What the window shows over the game's picture and no recording holds:
// REPLAY during a replay, a recording that stopped working, the
// screenshot's news for two seconds.
struct ShellNotes {
  bool replay = false;
  bool recording_failed = false;
  std::string news;
  Clock::time_point news_until;
};

void draw_shell_notes(const ShellNotes& notes, const Image* font, Clock::time_point now,
                      Framebuffer& shown) {
  if (font == nullptr) return;
  const RenderFlags whole{.depth_test = 0, .interlace = 0};
  const Colour yellow{1.0f, 0.85f, 0.2f, 1.0f};
  const Colour backing{0.0f, 0.0f, 0.0f, 0.6f};
  const int32_t top = layout_height(shown) - 14;
  if (notes.replay) {
    draw_rectangle({4, top - 3}, {118, top + 9}, backing, true, whole, shown);
    draw_text(*font, "REPLAY  ESC: END", {8, top}, yellow, whole, shown);
  }
  if (notes.recording_failed) {
    draw_rectangle({4, top - 3}, {174, top + 9}, backing, true, whole, shown);
    draw_text(*font, "NOT RECORDING: WRITE FAILED", {8, top}, yellow, whole, shown);
  }
  if (!notes.news.empty() && now < notes.news_until) {
    const int32_t width = static_cast<int32_t>(notes.news.size()) * (font->width / 8 - 2);
    const int32_t x = layout_width(shown) - width - 8;
    draw_rectangle({x - 4, top - 3}, {layout_width(shown) - 4, top + 9}, backing, true, whole,
                   shown);
    draw_text(*font, notes.news, {x, top}, yellow, whole, shown);
  }
}

// What the live run plays with that the options menu changes, besides the
// picture it draws into.
struct LiveChoices {
  Settings settings;  // handed to every frame, and recorded as it changes
  LookOptions look;
  bool grapple_toggle = false;
  bool paced = true;  // sleep to the display's rate (vsync off, not uncapped)
};

// The options menu over the live game: its state, the keys that closed it
// (kept from the game until let go), and its sounds, which only the
// speakers hear (the recorded sound track is the game's alone).
struct LiveMenu {
  OptionsMenu menu;
  uint32_t swallowed = 0;
  uint32_t prev_pad = 0;
  int pointer_x = -1;  // the mouse in the window, as the last frame found it
  int pointer_y = -1;
  FrameEvents sounds;
};

// Where the mouse is over the picture, in its layout pixels (y upward, as
// the drawing's); false when it is off the picture.
bool pointer_in_picture(SDL_Window* window, const LetterboxRect& dest_rect,
                        const Framebuffer& picture, int window_x, int window_y, int32_t& x,
                        int32_t& y) {
  // Window units to drawable pixels (they differ on high-density screens).
  int window_w = 1;
  int window_h = 1;
  int drawable_w = 1;
  int drawable_h = 1;
  SDL_GetWindowSize(window, &window_w, &window_h);
  SDL_GL_GetDrawableSize(window, &drawable_w, &drawable_h);
  if (window_w <= 0 || window_h <= 0 || dest_rect.width <= 0 || dest_rect.height <= 0) {
    return false;
  }
  const int64_t px = int64_t{window_x} * drawable_w / window_w - dest_rect.x;
  const int64_t py = int64_t{window_y} * drawable_h / window_h - dest_rect.y;
  if (px < 0 || py < 0 || px >= dest_rect.width || py >= dest_rect.height) return false;
  const int64_t h = layout_height(picture);
  x = static_cast<int32_t>(px * layout_width(picture) / dest_rect.width);
  y = static_cast<int32_t>(h - 1 - py * h / dest_rect.height);
  return true;
}

uint32_t pointer_clicks(const DeviceState& devices) {
  return (devices.tapped.test(kMouseButtonBase + 1) ? kPointerLeftClick : 0u) |
         (devices.tapped.test(kMouseButtonBase + 3) ? kPointerRightClick : 0u);
}

// The mouse over the options menu: hovering and the left or right click.
void point_at_menu(SDL_Window* window, const LetterboxRect& dest_rect, const Framebuffer& picture,
                   const DeviceState& devices, PlayerOptions& options, LiveMenu& live) {
  int x = 0;
  int y = 0;
  SDL_GetMouseState(&x, &y);
  const bool moved = x != live.pointer_x || y != live.pointer_y;
  live.pointer_x = x;
  live.pointer_y = y;
  const uint32_t clicks = pointer_clicks(devices);
  const int32_t click = (clicks & kPointerLeftClick) ? 1 : (clicks & kPointerRightClick) ? -1 : 0;
  int32_t layout_x = 0;
  int32_t layout_y = 0;
  if ((!moved && click == 0) ||
      !pointer_in_picture(window, dest_rect, picture, x, y, layout_x, layout_y)) {
    return;
  }
  options_menu_point(live.menu, layout_x, layout_y, layout_height(picture), moved, click, options,
                     live.sounds);
}

// The pointer the scene sees: over the picture while the scene leaves the
// mouse free (its menus), else none.
void pointer_for_scene(SDL_Window* window, const LetterboxRect& dest_rect,
                       const Framebuffer& picture, const DeviceState& devices, bool free,
                       InputState& input) {
  int x = 0;
  int y = 0;
  SDL_GetMouseState(&x, &y);
  if (!free ||
      !pointer_in_picture(window, dest_rect, picture, x, y, input.pointer_x, input.pointer_y)) {
    input.pointer_x = -1;
    input.pointer_y = -1;
    return;
  }
  input.clicks = pointer_clicks(devices);
}

// The first key or mouse button that went down since the last frame.
int32_t first_tapped(const DeviceState& devices) {
  if (devices.tapped.none()) return -1;
  for (size_t code = 0; code < devices.tapped.size(); ++code) {
    if (devices.tapped.test(code)) return static_cast<int32_t>(code);
  }
  return -1;
}

// Puts in force what the options menu changed from `before` to `after`:
// the window, the presentation, the picture's scale, the settings (noted in
// the recording) and the look; `after` keeps what could not be switched.
void put_in_force(const PlayerOptions& before, PlayerOptions& after, bool uncapped,
                  SdlDisplay& display, PlayRun& run, LetterboxRect& dest_rect,
                  RecordingWriter& recording, LiveChoices& live) {
  if (after.fullscreen != before.fullscreen) {
    if (SDL_SetWindowFullscreen(display.window,
                                after.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
      std::fprintf(stderr, "veltrocane-play: could not switch full screen: %s\n", SDL_GetError());
      after.fullscreen = before.fullscreen;
    }
    dest_rect = drawable_letterbox(display.window);
  }
  if (after.vsync != before.vsync &&
      SDL_RenderSetVSync(display.renderer, after.vsync ? 1 : 0) != 0) {
    std::fprintf(stderr, "veltrocane-play: could not switch vsync: %s\n", SDL_GetError());
    after.vsync = before.vsync;
  }
  live.paced = !after.vsync && !uncapped;
  if (after.scale != before.scale) {
    // The texture follows before the picture is shown (match_texture).
    DrawWorkers* const workers = run.loop.framebuffer.workers;
    run.loop.framebuffer = framebuffer_at_scale(after.scale);
    run.loop.framebuffer.workers = workers;
    record_scale(recording, after.scale);
  }
  const Settings next = play_settings(after, live.settings.load_status);
  record_settings(recording, live.settings, next);
  live.settings = next;
  live.look = {after.sensitivity, after.invert_y};
  live.grapple_toggle = after.grapple_toggle;
}

// The texture and the shell's own copy of the picture follow the picture's
// scale when the options menu (or a replayed change) switched it; on a
// failure the picture goes back to the texture's scale (false).
bool match_texture(SdlDisplay& display, Framebuffer& picture, Framebuffer& shown) {
  if (shown.width == picture.width && shown.height == picture.height) return true;
  SDL_Texture* texture = create_picture_texture(display.renderer, picture.width, picture.height);
  if (texture == nullptr) {
    std::fprintf(stderr, "veltrocane-play: could not draw at that scale: %s\n", SDL_GetError());
    DrawWorkers* const workers = picture.workers;
    picture = framebuffer_at_scale(shown.scale);
    picture.workers = workers;
    return false;
  }
  SDL_DestroyTexture(display.texture);
  display.texture = texture;
  shown = framebuffer_at_scale(picture.scale);
  shown.workers = picture.workers;
  return true;
}

// Only the drivers that put a window on a screen: without them SDL2 would
// fall back on one that shows nothing and run on unseen. WAYLAND_DISPLAY
// alone asks for Wayland; otherwise X11 alone, so that a DISPLAY with no
// server behind it fails at once. SDL_VIDEODRIVER, when set, still wins.
void ask_for_a_screen() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  SDL_SetHint(SDL_HINT_VIDEODRIVER,
              wayland != nullptr && wayland[0] != '\0' ? "wayland,x11" : "x11");
}

// The outputs asked for at the end of the run; false after a message when
// one could not be written. A replay that failed part-way keeps no sound
// file: whatever was at its name stays.
bool write_outputs(const PlayOptions& options, const PlayRun& run, RecordingWriter& recording,
                   SoundOut& wav, bool run_failed = false) {
  bool ok = true;
  if (run_failed) {
    sound_out_abandon(wav);
  }
  if (const std::string error = close_recording(recording); !error.empty()) {
    std::fprintf(stderr, "veltrocane-play: cannot write the recording: %s\n", error.c_str());
    ok = false;
  }
  if (const std::string error = sound_out_close(wav); !error.empty()) {
    std::fprintf(stderr, "veltrocane-play: cannot write the sound: %s\n", error.c_str());
    ok = false;
  }
  if (!options.state_path.empty()) {
    if (const std::string error = write_play_state(run, options.state_path); !error.empty()) {
      std::fprintf(stderr, "veltrocane-play: cannot write the state: %s\n", error.c_str());
      ok = false;
    }
  }
  if (!options.ppm_path.empty()) {
    const std::string error = write_picture(run.loop.framebuffer.colour, run.loop.framebuffer.width,
                                            run.loop.framebuffer.height, options.ppm_path);
    if (!error.empty()) {
      std::fprintf(stderr, "veltrocane-play: cannot write the picture: %s\n", error.c_str());
      ok = false;
    }
  }
  return ok;
}

}  // namespace

int run_play_shell(const Settings& settings, const PlayOptions& options, const Recording* replay,
                   PlayerFiles* files) {
  // Before SDL2, which then leaves them to the game (it installs its own
  // only where none is): the loop sees the count and ends as asked.
  catch_termination_signals();
  ask_for_a_screen();
  if (SDL_Init(0) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "veltrocane-play: no display (%s)\n", SDL_GetError());
    SDL_Quit();
    return 2;
  }
  SdlDisplay display;
  if (const std::optional<std::string> error = open_display(display, settings, options.scale)) {
    return shell_exit_status(ShellResult{*error});
  }
  // open_display took its own reference to the video subsystem.
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  Devices devices;
  PadSubsystem pads;
  pads.devices = &devices;
  // Without the controller subsystem the game is still played with the
  // keyboard and mouse.
  pads.open = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;

  RecordingWriter recording;
  LoopOutputs outputs;
  if (!options.record_path.empty()) {
    const RecordingStart start{.play_rules = kPlayedWithRules,
                               .best_level = files != nullptr ? files->progress.best_level : 0,
                               .scale = options.scale};
    if (const std::string error = open_recording(recording, options.record_path, settings, start);
        !error.empty()) {
      std::fprintf(stderr, "veltrocane-play: cannot write the recording: %s\n", error.c_str());
      return 2;
    }
    outputs.recording = &recording;
  }
  ReplayCursor cursor;
  if (replay != nullptr) {
    cursor.recording = replay;
    cursor.path = options.replay_path;
    cursor.keep_scale = options.given.scale;
  }

  // The played game runs its own rules; a replay runs those it was played
  // with. An installed game reads its own data folder, from any folder.
  const std::unique_ptr<PlayRun> run = make_play_run(
      replay != nullptr ? replay->play_rules : kPlayedWithRules, options.scale, played_data_root());
  // Started once, before the first frame; they draw every picture after.
  const std::unique_ptr<DrawWorkers> workers =
      start_draw_workers(options.threads > 0 ? options.threads : machine_threads());
  run->loop.framebuffer.workers = workers.get();
  if (files != nullptr) run->progress = files->progress;
  GrappleToggle grapple_toggle;
  const Clock::time_point start = Clock::now();
  // Sample 0 of the sound is the first scene start: now, or the recorded one.
  const float first_start =
      replay != nullptr ? replay_start_time(*replay) : clock_seconds(Clock::now() - start);
  SdlAudio audio;  // closed before the display shuts SDL down
  open_audio(audio, first_start);
  LiveChoices live{settings, options.look, options.grapple_toggle,
                   !settings.vsync && !options.uncapped};
  LiveMenu menu;
  // The sound follows the settings in force: the menu's, or the recording's.
  const Settings* const heard_settings = replay != nullptr ? &cursor.settings : &live.settings;
  outputs.device_sound = [&audio, &menu, heard_settings](const FrameEvents& events,
                                                         const Soundscape& heard, float time,
                                                         float dt) {
    if (menu.sounds.count == 0) {
      audio_frame(audio, events, heard, time, dt, *heard_settings);
      return;
    }
    FrameEvents both = events;
    for (const FrameEvent& sound : menu.sounds) both.add(sound);
    menu.sounds.clear();
    audio_frame(audio, both, heard, time, dt, *heard_settings);
  };
  SoundOut wav;
  if (!options.wav_path.empty()) {
    if (const std::string error = sound_out_open(wav, options.wav_path, first_start);
        !error.empty()) {
      std::fprintf(stderr, "veltrocane-play: cannot write the sound: %s\n", error.c_str());
      return 2;
    }
    outputs.wav = &wav;
  }
  Clock::time_point last_frame = start;
  LetterboxRect dest_rect = drawable_letterbox(display.window);
  const Clock::duration interval = frame_interval(display.window);
  bool relative_mouse = false;  // as the last frame asked
  bool open_panel = false;      // the focus went: the panel opens for one frame

  if (replay == nullptr) {
    loop_enter(run->loop, kTitleSceneIndex, live.settings, first_start, outputs);
  }
  ShellNotes notes;
  notes.replay = replay != nullptr;
  const Image* font = run->assets.textures.size() > texture_slot::kSmallFont
                          ? &run->assets.textures[texture_slot::kSmallFont]
                          : nullptr;
  Framebuffer shown = framebuffer_at_scale(run->loop.framebuffer.scale);
  shown.workers = run->loop.framebuffer.workers;  // they widen it for the texture

  // The X11 connection lost between frames: the outputs are written there
  // and then, and the process ends.
  DisplayLost lost = [&]() {
    std::fputs("veltrocane-play: the connection to the display was lost; the game ends here\n",
               stderr);
    return write_outputs(options, *run, recording, wav) ? 1 : 2;
  };
  watch_display_loss(display.window, lost);

  int status = 0;
  bool run_failed = false;
  while (true) {
    WindowRequests requests;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) device_event(event, devices, requests);
    if (requests.quit || termination_signal_count() > 0) break;
    if (requests.toggle_fullscreen) {
      const bool full = toggle_fullscreen(display.window);
      if (files != nullptr && full != files->options.fullscreen) {
        files->options.fullscreen = full;
        files->in_force.fullscreen = full;
        save_player_options(*files, stderr);
      }
    }
    if (requests.resized || requests.toggle_fullscreen) {
      keep_window_in_bounds(display.window);
      dest_rect = drawable_letterbox(display.window);
    }
    if (requests.focus_lost) {
      release_all(devices);
      // Only where the scene holds the mouse (the city in play): on the
      // title the panel bit quits, and an open panel would close.
      if (relative_mouse) open_panel = true;
    }
    const bool focused = (SDL_GetWindowFlags(display.window) & SDL_WINDOW_INPUT_FOCUS) != 0;

    const Clock::time_point now = Clock::now();
    const float time = clock_seconds(now - start);
    // A frame counts for at most a quarter second: after a suspend or a
    // stall the game goes on from where it was instead of owing the pause.
    const float dt = std::min(clock_seconds(now - last_frame), kMaxFrameTime);
    last_frame = now;

    FrameStep step;
    if (replay != nullptr) {
      // Escape (or Back) ends a replay in the window.
      read_pad(devices);
      if (held_controls(settings, devices.state) & kPanelToggleBit) break;
      if (const std::string error = replay_step(cursor, *run, outputs); !error.empty()) {
        std::fprintf(stderr, "veltrocane-play: %s\n", error.c_str());
        status = 2;
        run_failed = true;
        break;
      }
      if (cursor.ended) break;
      step.relative_mouse = false;  // the devices play no part
    } else {
      read_pad(devices);
      InputState input;
      const uint32_t held = held_controls(live.settings, devices.state);
      if (menu.menu.open && files != nullptr) {
        // The game runs on without the player while the menu is up.
        const uint32_t pad = devices.state.pad.buttons;
        const bool keep = (pad & ~menu.prev_pad & pad_bit(PadButton::back)) != 0;
        menu.prev_pad = pad;
        const PlayerOptions before = files->in_force;
        options_menu_step(menu.menu, held, first_tapped(devices.state), keep, dt, files->in_force,
                          menu.sounds);
        point_at_menu(display.window, dest_rect, run->loop.framebuffer, devices.state,
                      files->in_force, menu);
        if (!(files->in_force == before)) {
          put_in_force(before, files->in_force, options.uncapped, display, *run, dest_rect,
                       recording, live);
          keep_changed_options(before, files->in_force, files->options);
          save_player_options(*files, stderr);
        }
        if (!menu.menu.open) menu.swallowed = held;
        devices.state.mouse_dx = 0;
        devices.state.mouse_dy = 0;
      } else {
        menu.swallowed &= held;
        input.held = held & ~menu.swallowed;
        pointer_for_scene(display.window, dest_rect, run->loop.framebuffer, devices.state,
                          !relative_mouse, input);
      }
      devices.state.tapped.reset();
      if (live.grapple_toggle) {
        const bool rope_held = run->loop.current == kCitySceneIndex && run->city->grapple.attached;
        input.held = toggle_grapple(grapple_toggle, input.held, rope_held);
      }
      if (open_panel) input.held |= kPanelToggleBit;
      open_panel = false;
      // A frame of no measurable length keeps its mouse counts for the next.
      if (dt > 0.0f) {
        input.look = look_input(devices.state, live.look, dt);
        devices.state.mouse_dx = 0;
        devices.state.mouse_dy = 0;
      }
      step = loop_frame(run->loop, input, dt, time, live.settings, outputs);
      for (const FrameEvent& happened : run->loop.events) {
        if (happened.kind == EventKind::options_asked && files != nullptr) {
          open_options_menu(menu.menu);
          menu.prev_pad = ~0u;
        }
      }
      // A completed level is kept at once; the chips and the play time
      // with it, at each scene change and at the end.
      if (files != nullptr && (run->progress.changed || step.enter)) {
        run->progress.changed = false;
        save_player_progress(*files, run->progress, stderr);
      }
      if (recording.failed && !notes.recording_failed) {
        // Told at once, on screen and here; the game itself goes on.
        notes.recording_failed = true;
        std::fprintf(stderr, "veltrocane-play: the recording stopped: %s: %s\n",
                     recording.path.c_str(), std::strerror(recording.os_error));
      }
    }
    if (requests.screenshot) {
      if (const std::string name = save_picture(run->loop.framebuffer); !name.empty()) {
        notes.news = "SAVED " + name;
        notes.news_until = Clock::now() + std::chrono::seconds(2);
      }
    }
    if (menu.menu.open) step.relative_mouse = false;  // a menu: the pointer stays free
    relative_mouse = step.relative_mouse;
    SDL_SetRelativeMouseMode(step.relative_mouse && focused ? SDL_TRUE : SDL_FALSE);
    if (step.quit) break;
    if (step.enter) {
      loop_enter(run->loop, *step.enter, replay != nullptr ? cursor.settings : live.settings,
                 clock_seconds(Clock::now() - start), outputs);
    }

    if (!match_texture(display, run->loop.framebuffer, shown) && files != nullptr) {
      // Played on at the old scale: the recording and the menu say so.
      record_scale(recording, shown.scale);
      files->in_force.scale = shown.scale;
      // Never kept: the next start would fail to open its picture.
      files->options.scale = shown.scale;
      save_player_options(*files, stderr);
    }
    const Clock::time_point shown_at = Clock::now();
    if (notes.replay || notes.recording_failed || menu.menu.open ||
        (!notes.news.empty() && shown_at < notes.news_until)) {
      shown.colour = run->loop.framebuffer.colour;  // same size: no allocation
      if (menu.menu.open && font != nullptr && files != nullptr) {
        draw_options_menu(menu.menu, files->in_force, *font, shown);
      }
      draw_shell_notes(notes, font, shown_at, shown);
      present_picture(display, shown, dest_rect);
    } else {
      // Nothing over the game's picture: it goes up as it is, uncopied.
      present_picture(display, run->loop.framebuffer, dest_rect);
    }
    if (live.paced) std::this_thread::sleep_until(now + interval);
  }

  stop_watching_display_loss(display.window);
  if (files != nullptr && replay == nullptr) save_player_progress(*files, run->progress, stderr);
  if (!write_outputs(options, *run, recording, wav, run_failed)) status = 2;
  return status;
}

}  // namespace vel
