// main.cpp: the composition root of the game: settings.txt from the working
// directory, the city scene as the one entry of the scene list, and the
// shell's result turned into the process's exit status (0, or 1 after a
// start-up error).
#include <memory>

#include "base/standard_streams.h"
#include "main/shell.h"
#include "scene1/city_scene.h"
#include "scene_api/settings.h"

int main() {
  vel::open_closed_standard_streams();
  const vel::Settings settings = vel::load_settings("settings.txt");
  const vel::ShellResult result = vel::run_shell(settings, [] {
    vel::SceneList scenes;
    scenes.push_back(std::make_unique<vel::CityScene>());
    return scenes;
  });
  return vel::shell_exit_status(result);
}
