// sdl_display_loss.h: what the play program does when its X11 connection
// is lost (the server ended, the session closed). Xlib cannot go on after
// that, and by default it prints its own lines and exits with nothing of
// the run's outputs written; here the shell's function writes them first.
#pragma once

#include <functional>

struct SDL_Window;

namespace vel {

// Called once, from inside the failed X11 call, between frames of the run
// (every X11 call of the shell is made there). It writes what the run
// promised and says in one line what happened; the process then exits
// with the status it returns. It must not return into the game.
using DisplayLost = std::function<int()>;

// Arms `lost` for the window's X11 connection; does nothing under another
// video driver. `lost` must outlive the watch: stop it before it goes.
void watch_display_loss(SDL_Window* window, DisplayLost& lost);
void stop_watching_display_loss(SDL_Window* window);

}  // namespace vel
