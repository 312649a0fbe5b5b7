// shell.cpp: the only code that talks to SDL2: start-up, the main loop that
// hands frames to the scenes and puts their pictures on screen, and the
// ordered shut-down.
#include "main/shell.h"

#include <SDL.h>

#include <cstdio>
#include <utility>

#include "base/fatal.h"
#include "base/message_text.h"
#include "gfx/framebuffer.h"
#include "scene_api/input.h"

namespace vel {

namespace {

constexpr int kTexturePitch = kPictureWidth * 3;  // BGR24, no row padding
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 360;

// Owns what SDL2 handed out and gives it back in reverse order of
// creation, however far start-up got. Not run when the process exits from
// inside a frame (screenshot, fatal step): then the OS reclaims everything.
class SdlSession {
 public:
  SdlSession() = default;
  SdlSession(const SdlSession&) = delete;
  SdlSession& operator=(const SdlSession&) = delete;
  ~SdlSession() {
    if (texture != nullptr) SDL_DestroyTexture(texture);
    if (renderer != nullptr) SDL_DestroyRenderer(renderer);
    if (window != nullptr) SDL_DestroyWindow(window);
    if (events) SDL_QuitSubSystem(SDL_INIT_EVENTS);
    if (video) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (sdl) SDL_Quit();
  }

  bool sdl = false;
  bool video = false;
  SDL_Window* window = nullptr;
  bool events = false;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
};

// Captures SDL's text before anything is released (releasing may set it).
ShellResult startup_error(std::string text) {
  return ShellResult{std::move(text)};
}

std::string sdl_error() {
  return SDL_GetError();
}

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
      // The event carries the window size in screen units; the picture is
      // placed in drawable pixels, which differ on high-density displays.
      int width = 0;
      int height = 0;
      SDL_GL_GetDrawableSize(window, &width, &height);
      dest_rect = letterbox_rect(static_cast<uint32_t>(width > 0 ? width : 0),
                                 static_cast<uint32_t>(height > 0 ? height : 0));
    }
  }
  return false;
}

ShellResult run_shell(const Settings& settings, const SceneListFactory& make_scenes) {
  // Declared first so it is released last: the scenes and the framebuffer
  // go before any SDL2 object.
  SdlSession sdl;

  if (SDL_Init(0) != 0) return startup_error(sdl_error());
  sdl.sdl = true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return startup_error(sdl_error());
  sdl.video = true;
  sdl.window =
      SDL_CreateWindow("Veltrocane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWindowWidth,
                       kWindowHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
  if (sdl.window == nullptr) return startup_error("SDL error: " + sdl_error());
  // Only desktop full-screen is ever used, which ignores the mode; SDL's
  // default (null) is always a valid one.
  if (SDL_SetWindowDisplayMode(sdl.window, nullptr) < 0) {
    fatal("Could not set the display mode: " + sdl_error());
  }
  if (SDL_SetWindowFullscreen(sdl.window,
                              settings.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    return startup_error(sdl_error());
  }
  if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return startup_error(sdl_error());
  sdl.events = true;
  SDL_SetRelativeMouseMode(SDL_TRUE);  // a failure here only costs the grab
  sdl.renderer = SDL_CreateRenderer(sdl.window, -1, settings.vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
  if (sdl.renderer == nullptr) return startup_error("SDL error: " + sdl_error());
  sdl.texture = SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING,
                                  kPictureWidth, kPictureHeight);
  if (sdl.texture == nullptr) return startup_error("SDL error: " + sdl_error());

  Framebuffer framebuffer = framebuffer_new(kPictureWidth, kPictureHeight);
  const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  // Taken before the scenes are built, so the first frame's dt includes
  // the first init (asset loading).
  std::chrono::steady_clock::time_point last_frame = std::chrono::steady_clock::now();

  SceneList scenes = make_scenes();
  int32_t current_scene = 0;
  LetterboxRect dest_rect;  // 640x360 at the origin until the first resize
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

    const FrameResult result =
        scenes[static_cast<size_t>(current_scene)]->update(input, framebuffer, dt, time, settings);
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

    if (SDL_RenderClear(sdl.renderer) != 0) fatal("Could not clear: " + sdl_error());
    if (SDL_UpdateTexture(sdl.texture, nullptr, framebuffer.colour.data(), kTexturePitch) != 0) {
      fatal("Could not update the texture: " + sdl_error());
    }
    const SDL_Rect dest{dest_rect.x, dest_rect.y, dest_rect.width, dest_rect.height};
    if (SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, &dest) != 0) {
      fatal("Could not copy the texture: " + sdl_error());
    }
    SDL_RenderPresent(sdl.renderer);
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
