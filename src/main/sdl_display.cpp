// sdl_display.cpp: the start-up, per-frame presentation and ordered
// release of the SDL2 window, renderer and texture that every shell shares.
#include "main/sdl_display.h"

#include <SDL.h>

#include <algorithm>

#include "base/fatal.h"
#include "gfx/picture_words.h"

namespace vel {

namespace {

constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 360;

std::string sdl_error() {
  return SDL_GetError();
}

}  // namespace

SdlDisplay::~SdlDisplay() {
  if (texture != nullptr) SDL_DestroyTexture(texture);
  if (renderer != nullptr) SDL_DestroyRenderer(renderer);
  if (window != nullptr) SDL_DestroyWindow(window);
  if (events) SDL_QuitSubSystem(SDL_INIT_EVENTS);
  if (video) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (sdl) SDL_Quit();
}

std::optional<std::string> open_display(SdlDisplay& display, const Settings& settings,
                                        int32_t scale) {
  // Each error text is taken before anything is released (releasing may
  // set SDL's text).
  if (SDL_Init(0) != 0) return sdl_error();
  display.sdl = true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return sdl_error();
  display.video = true;
  display.window =
      SDL_CreateWindow("Veltrocane", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWindowWidth,
                       kWindowHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
  if (display.window == nullptr) return "SDL error: " + sdl_error();
  SDL_SetWindowMaximumSize(display.window, kLargestWindowSide, kLargestWindowSide);
  // Only desktop full-screen is ever used, which ignores the mode; SDL's
  // default (null) is always a valid one.
  if (SDL_SetWindowDisplayMode(display.window, nullptr) < 0) {
    fatal("Could not set the display mode: " + sdl_error());
  }
  if (SDL_SetWindowFullscreen(display.window,
                              settings.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    return sdl_error();
  }
  if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return sdl_error();
  display.events = true;
  SDL_SetRelativeMouseMode(SDL_TRUE);  // a failure here only costs the grab
  display.renderer =
      SDL_CreateRenderer(display.window, -1, settings.vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
  if (display.renderer == nullptr) return "SDL error: " + sdl_error();
  display.texture =
      create_picture_texture(display.renderer, kPictureWidth * scale, kPictureHeight * scale);
  if (display.texture == nullptr) return "SDL error: " + sdl_error();
  return std::nullopt;
}

SDL_Texture* create_picture_texture(SDL_Renderer* renderer, int width, int height) {
  // Words, not three-byte pixels: the renderers take this form as it is,
  // where three-byte pixels are converted again on every upload.
  return SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width,
                           height);
}

LetterboxRect drawable_letterbox(SDL_Window* window) {
  // The picture is placed in drawable pixels, which differ from the
  // window's screen units on high-density displays.
  int width = 0;
  int height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  return letterbox_rect(static_cast<uint32_t>(std::clamp(width, 0, kLargestWindowSide)),
                        static_cast<uint32_t>(std::clamp(height, 0, kLargestWindowSide)));
}

bool keep_window_in_bounds(SDL_Window* window) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window, &width, &height);
  if (width <= kLargestWindowSide && height <= kLargestWindowSide) return false;
  SDL_SetWindowSize(window, std::min(width, kLargestWindowSide),
                    std::min(height, kLargestWindowSide));
  return true;
}

void present_picture(SdlDisplay& display, const Framebuffer& framebuffer,
                     const LetterboxRect& dest_rect) {
  if (SDL_RenderClear(display.renderer) != 0) fatal("Could not clear: " + sdl_error());
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(display.texture, nullptr, &pixels, &pitch) != 0) {
    fatal("Could not update the texture: " + sdl_error());
  }
  picture_to_words(framebuffer, static_cast<uint8_t*>(pixels), pitch);
  SDL_UnlockTexture(display.texture);
  const SDL_Rect dest{dest_rect.x, dest_rect.y, dest_rect.width, dest_rect.height};
  if (SDL_RenderCopy(display.renderer, display.texture, nullptr, &dest) != 0) {
    fatal("Could not copy the texture: " + sdl_error());
  }
  SDL_RenderPresent(display.renderer);
}

}  // namespace vel
