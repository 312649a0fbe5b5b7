// shell.h: the application shell: SDL2 window, renderer and streaming
// texture, the list of scenes and the main loop that drives them.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "main/letterbox.h"
#include "scene_api/scene.h"
#include "scene_api/settings.h"

struct SDL_Window;

namespace vel {

using SceneList = std::vector<std::unique_ptr<Scene>>;
// Builds the scenes once SDL2, the texture and the framebuffer are up; entry
// 0 is initialised and run first.
using SceneListFactory = std::function<SceneList()>;

// How run_shell ended: normally (quit event or a scene asking for -1), or
// with a start-up error text from SDL2.
struct ShellResult {
  std::optional<std::string> error;
};

// Brings up SDL2, runs the scenes until the window is closed or a scene
// quits, and releases everything in reverse order of creation, also when
// start-up fails part-way. A failed must-succeed step (display mode,
// clear, texture upload, copy) ends the process with status 101.
ShellResult run_shell(const Settings& settings, const SceneListFactory& make_scenes);

// Prints `Error: "<text>"` to standard error for an error; 0 or 1 for the
// process.
int shell_exit_status(const ShellResult& result);

// The error text as printed between the quotes: `"` and `\` get a
// backslash, line feed, carriage return and tab read \n \r \t, and every
// other control character reads \u{xx} in lower-case hex.
std::string escape_error_text(std::string_view text);

// Seconds of a monotonic clock difference: whole seconds as a float plus
// the nanoseconds as a float divided by 1e9, in single precision.
float clock_seconds(std::chrono::nanoseconds elapsed);

// Empties the event queue. Returns true at a quit event (left unread
// behind it: the loop ends at once). A resize recomputes dest_rect from the
// window's drawable size; every other event is dropped.
bool poll_shell_events(SDL_Window* window, LetterboxRect& dest_rect);

}  // namespace vel
