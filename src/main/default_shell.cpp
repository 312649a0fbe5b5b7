// default_shell.cpp: what the game runs: settings.txt from the working
// directory and the city scene as the one entry of the scene list.
#include <memory>

#include "main/shell.h"
#include "scene1/city_scene.h"

namespace vel {

ShellResult run_default_shell() {
  const Settings settings = load_settings("settings.txt");
  return run_shell(settings, [] {
    SceneList scenes;
    scenes.push_back(std::make_unique<CityScene>());
    return scenes;
  });
}

}  // namespace vel
