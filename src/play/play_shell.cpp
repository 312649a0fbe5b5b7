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

void toggle_fullscreen(SDL_Window* window) {
  const bool full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  if (SDL_SetWindowFullscreen(window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    std::fprintf(stderr, "veltrocane-play: could not switch full screen: %s\n", SDL_GetError());
  }
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

int run_play_shell(const Settings& settings, const PlayOptions& options, const Recording* replay) {
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
    if (const std::string error =
            open_recording(recording, options.record_path, settings, kPlayedWithRules);
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
  }

  // The played game runs its own rules; a replay runs those it was played
  // with. An installed game reads its own data folder, from any folder.
  const std::unique_ptr<PlayRun> run = make_play_run(
      replay != nullptr ? replay->play_rules : kPlayedWithRules, options.scale, played_data_root());
  // Started once, before the first frame; they draw every picture after.
  const std::unique_ptr<DrawWorkers> workers =
      start_draw_workers(options.threads > 0 ? options.threads : machine_threads());
  run->loop.framebuffer.workers = workers.get();
  const Clock::time_point start = Clock::now();
  // Sample 0 of the sound is the first scene start: now, or the recorded one.
  const float first_start =
      replay != nullptr ? replay_start_time(*replay) : clock_seconds(Clock::now() - start);
  SdlAudio audio;  // closed before the display shuts SDL down
  open_audio(audio, first_start);
  outputs.device_sound = [&audio, &settings](const FrameEvents& events, const Soundscape& heard,
                                             float time, float dt) {
    audio_frame(audio, events, heard, time, dt, settings);
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
  const bool paced = !settings.vsync && !options.uncapped;
  const Clock::duration interval = frame_interval(display.window);
  bool relative_mouse = false;  // as the last frame asked
  bool open_panel = false;      // the focus went: the panel opens for one frame

  if (replay == nullptr) loop_enter(run->loop, kTitleSceneIndex, settings, first_start, outputs);
  ShellNotes notes;
  notes.replay = replay != nullptr;
  const Image* font = run->assets.textures.size() > texture_slot::kSmallFont
                          ? &run->assets.textures[texture_slot::kSmallFont]
                          : nullptr;
  Framebuffer shown = framebuffer_at_scale(run->loop.framebuffer.scale);

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
    if (requests.toggle_fullscreen) toggle_fullscreen(display.window);
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
      input.held = held_controls(settings, devices.state);
      devices.state.tapped.reset();
      if (open_panel) input.held |= kPanelToggleBit;
      open_panel = false;
      // A frame of no measurable length keeps its mouse counts for the next.
      if (dt > 0.0f) {
        input.look = look_input(devices.state, options.look, dt);
        devices.state.mouse_dx = 0;
        devices.state.mouse_dy = 0;
      }
      step = loop_frame(run->loop, input, dt, time, settings, outputs);
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
    relative_mouse = step.relative_mouse;
    SDL_SetRelativeMouseMode(step.relative_mouse && focused ? SDL_TRUE : SDL_FALSE);
    if (step.quit) break;
    if (step.enter) {
      loop_enter(run->loop, *step.enter, settings, clock_seconds(Clock::now() - start), outputs);
    }

    const Clock::time_point shown_at = Clock::now();
    if (notes.replay || notes.recording_failed ||
        (!notes.news.empty() && shown_at < notes.news_until)) {
      shown.colour = run->loop.framebuffer.colour;  // same size: no allocation
      draw_shell_notes(notes, font, shown_at, shown);
      present_picture(display, shown, dest_rect);
    } else {
      // Nothing over the game's picture: it goes up as it is, uncopied.
      present_picture(display, run->loop.framebuffer, dest_rect);
    }
    if (paced) std::this_thread::sleep_until(now + interval);
  }

  stop_watching_display_loss(display.window);
  if (!write_outputs(options, *run, recording, wav, run_failed)) status = 2;
  return status;
}

}  // namespace vel
