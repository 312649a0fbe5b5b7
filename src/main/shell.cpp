// shell.cpp: the game's shell: start-up through the shared display, the
// main loop that hands frames to the scenes and puts their pictures on
// screen, and the ordered shut-down.
#include "main/shell.h"

#include <SDL.h>

#include <cstdio>
#include <utility>

#include "base/message_text.h"
#include "gfx/framebuffer.h"
#include "main/sdl_display.h"
#include "scene_api/input.h"

namespace vel {

namespace {

float seconds_since(std::chrono::steady_clock::time_point from) {
  return clock_seconds(std::chrono::steady_clock::now() - from);
}

}  // namespace

std::string escape_error_text(std::string_view text) {
  return escape_control_characters(text, true);
}

int shell_exit_status(const ShellResult& result) {
  if (!result.error) return 0;
  std::fflush(stdout);
  const std::string line = "Error: \"" + escape_error_text(*result.error) + "\"\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  return 1;
}

float clock_seconds(std::chrono::nanoseconds elapsed) {
  const std::chrono::seconds whole = std::chrono::duration_cast<std::chrono::seconds>(elapsed);
  const std::chrono::nanoseconds rest = elapsed - whole;
  return static_cast<float>(whole.count()) + static_cast<float>(rest.count()) / 1000000000.0f;
}

bool poll_shell_events(SDL_Window* window, LetterboxRect& dest_rect) {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    if (event.type == SDL_QUIT) return true;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_RESIZED) {
      // The event's own size is in screen units: the drawable is asked.
      keep_window_in_bounds(window);
      dest_rect = drawable_letterbox(window);
    }
  }
  return false;
}

ShellResult run_shell(const Settings& settings, const SceneListFactory& make_scenes) {
  // Declared first so it is released last: the scenes and the framebuffer
  // go before any SDL2 object.
  SdlDisplay sdl;
  if (const std::optional<std::string> error = open_display(sdl, settings)) return {*error};

  Framebuffer framebuffer = framebuffer_new(kPictureWidth, kPictureHeight);
  const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  // Taken before the scenes are built, so the first frame's dt includes
  // the first init (asset loading).
  std::chrono::steady_clock::time_point last_frame = std::chrono::steady_clock::now();

  SceneList scenes = make_scenes();
  int32_t current_scene = 0;
  LetterboxRect dest_rect;  // 640x360 at the origin until the first resize
  FrameEvents events;       // heard by no one here: the fixed run has no sound
  if (!scenes.empty()) scenes[0]->init(settings, seconds_since(start));

  while (!scenes.empty()) {
    if (poll_shell_events(sdl.window, dest_rect)) break;

    // No key, button or motion ever reaches the scene: a run is fixed in
    // its course, and only closing and resizing the window act.
    const InputState input;
    const std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    const float time = clock_seconds(now - start);
    const float dt = clock_seconds(now - last_frame);
    last_frame = now;

    const FrameResult result = run_frame(*scenes[static_cast<size_t>(current_scene)], input, dt,
                                         time, settings, framebuffer, events);
    SDL_SetRelativeMouseMode(result.relative_mouse ? SDL_TRUE : SDL_FALSE);

    if (result.next_scene) {
      const int32_t next = *result.next_scene;
      if (next == -1) break;
      // An index outside the list is ignored: the current scene keeps
      // running rather than the shell reading past the end of `scenes`.
      if (next >= 0 && static_cast<size_t>(next) < scenes.size()) {
        scenes[static_cast<size_t>(next)]->init(settings, seconds_since(start));
        current_scene = next;
      }
    }

    present_picture(sdl, framebuffer, dest_rect);
  }

  // Shut-down: the scenes (each one, then the list), the framebuffer, and
  // then, through `sdl`, the SDL2 objects in reverse order of creation.
  for (std::unique_ptr<Scene>& scene : scenes) scene.reset();
  scenes.clear();
  framebuffer.colour = {};
  framebuffer.depth = {};
  return {};
}

}  // namespace vel
