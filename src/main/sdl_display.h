// sdl_display.h: the SDL2 window, renderer and streaming texture that every
// shell opens the same way, and the per-frame steps that put the picture on
// screen. Both the game's shell and the play shell are built on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gfx/framebuffer.h"
#include "main/letterbox.h"
#include "scene_api/settings.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace vel {

// Owns what SDL2 handed out and gives it back in reverse order of
// creation, however far start-up got. Not run when the process exits from
// inside a frame (screenshot, fatal step): then the OS reclaims everything.
class SdlDisplay {
 public:
  SdlDisplay() = default;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;
  ~SdlDisplay();

  bool sdl = false;
  bool video = false;
  SDL_Window* window = nullptr;
  bool events = false;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
};

// Start-up in its fixed order: SDL, video, the 640x360 window titled
// "Veltrocane", the display mode (must succeed), desktop full screen when
// asked, events, relative mouse, the renderer (vsync when asked) and the
// texture of the picture at `scale` (320x180 at 1). Returns the error
// text of the first step that failed; what was opened stays in `display`
// for its destructor.
std::optional<std::string> open_display(SdlDisplay& display, const Settings& settings,
                                        int32_t scale = 1);

// The largest window side the shells keep. Past it the renderer's buffers
// run to gigabytes (a 32767-pixel square is 4 GiB, which the X connection
// cannot even carry) and its textures' limit of 16384 is near.
inline constexpr int kLargestWindowSide = 8192;

// The streaming texture the picture goes up in, `width` x `height` pixels of
// 32-bit words (picture_words.h); null on failure, SDL_GetError saying why.
SDL_Texture* create_picture_texture(SDL_Renderer* renderer, int width, int height);

// Puts a window grown past kLargestWindowSide on a side (by the user, the
// window manager or another program) back within it. True when it did.
bool keep_window_in_bounds(SDL_Window* window);

// The letterbox of the window's current drawable size, at most
// kLargestWindowSide on a side (a window on its way back within bounds).
LetterboxRect drawable_letterbox(SDL_Window* window);

// Clear, upload the picture (of the texture's size, widened to words by its
// workers), copy it into dest_rect
// and present. A failed
// clear, upload or copy is a must-succeed step: the process ends with 101.
void present_picture(SdlDisplay& display, const Framebuffer& framebuffer,
                     const LetterboxRect& dest_rect);

}  // namespace vel
