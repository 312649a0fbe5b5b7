// sdl_display_loss.cpp: Xlib's handlers for a lost connection: the first
// is kept quiet (its default prints several lines), the second, the exit
// handler, hands over to the shell and ends the process.
#include "play/sdl_display_loss.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

namespace vel {

namespace {

int say_nothing(Display* /*display*/) {
  return 0;
}

void end_the_run(Display* /*display*/, void* data) {
  const int status = (*static_cast<DisplayLost*>(data))();
  std::fflush(nullptr);
  // Nothing of the game or of SDL may run on: the connection they hold is
  // gone, and their destructors would call into it.
  std::_Exit(status);
}

Display* x11_display(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
    return nullptr;
  }
  return info.info.x11.display;
}

}  // namespace

void watch_display_loss(SDL_Window* window, DisplayLost& lost) {
  Display* display = x11_display(window);
  if (display == nullptr) return;
  XSetIOErrorHandler(say_nothing);
  XSetIOErrorExitHandler(display, end_the_run, &lost);
}

void stop_watching_display_loss(SDL_Window* window) {
  Display* display = x11_display(window);
  if (display == nullptr) return;
  // Xlib's own handlers again, for the shut-down after the run.
  XSetIOErrorExitHandler(display, nullptr, nullptr);
  XSetIOErrorHandler(nullptr);
}

}  // namespace vel
