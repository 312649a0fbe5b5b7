// player_files.cpp: finding, reading and writing back the player's files,
// and the order in which a choice's three sources apply.
#include "play/player_files.h"

#include "play/player_file.h"

namespace vel {

namespace {

constexpr const char* kOptionsName = "/options.txt";
constexpr const char* kProgressName = "/progress.txt";

void say(std::FILE* messages, const std::string& line) {
  std::fprintf(messages, "veltrocane-play: %s\n", line.c_str());
  std::fflush(messages);
}

void said_write(PlayerFiles& files, const std::string& error, std::FILE* messages) {
  if (error.empty() || files.write_failure_said) return;
  files.write_failure_said = true;
  say(messages, "cannot keep the player's files: " + error);
}

bool still_there(const std::string& path) {
  const PlayerFileText left = read_player_file(path);
  return left.text.has_value() || !left.problem.empty();
}

}  // namespace

PlayerFiles open_player_files(const EnvLookup& env, std::FILE* messages) {
  PlayerFiles files;
  const UserFolder config = config_folder(env);
  const UserFolder data = data_folder(env);
  if (!config.problem.empty() || !data.problem.empty()) {
    say(messages, "options and progress are not kept: " +
                      (config.problem.empty() ? data.problem : config.problem));
  }
  if (config.problem.empty()) {
    files.options_path = config.path + kOptionsName;
    LoadedOptions loaded = load_options_file(files.options_path);
    if (!loaded.message.empty()) say(messages, loaded.message);
    files.options = loaded.options;
    // A damaged file that could not be moved aside is never written over.
    if (!loaded.message.empty() && still_there(files.options_path)) files.options_path.clear();
    // A first run (or one after a damaged file) leaves the player a file to
    // find, with every choice spelled out.
    if (!read_player_file(files.options_path).text) save_player_options(files, messages);
  }
  if (data.problem.empty()) {
    files.progress_path = data.path + kProgressName;
    LoadedProgress loaded = load_progress_file(files.progress_path);
    if (!loaded.message.empty()) say(messages, loaded.message);
    files.progress = std::move(loaded.progress);
    if (!loaded.message.empty() && still_there(files.progress_path)) files.progress_path.clear();
  }
  return files;
}

PlayerOptions choose_play_options(const PlayerOptions& saved, const Settings& settings_file,
                                  uint32_t named, PlayOptions& command_line) {
  PlayerOptions chosen = saved;
  apply_settings_file(settings_file, named, chosen);
  const PlayOptions::Given& given = command_line.given;
  if (given.sensitivity) chosen.sensitivity = command_line.look.sensitivity;
  if (given.invert_y) chosen.invert_y = command_line.look.invert_y;
  if (given.interlace) chosen.interlaced = command_line.interlace;
  if (given.scale) chosen.scale = command_line.scale;
  command_line.look = {chosen.sensitivity, chosen.invert_y};
  command_line.interlace = chosen.interlaced;
  command_line.scale = chosen.scale;
  command_line.grapple_toggle = chosen.grapple_toggle;
  return chosen;
}

void keep_changed_options(const PlayerOptions& before, const PlayerOptions& after,
                          PlayerOptions& saved) {
  const auto keep = [](const auto& was, const auto& now, auto& into) {
    if (!(was == now)) into = now;
  };
  keep(before.fullscreen, after.fullscreen, saved.fullscreen);
  keep(before.vsync, after.vsync, saved.vsync);
  keep(before.interlaced, after.interlaced, saved.interlaced);
  keep(before.show_fps, after.show_fps, saved.show_fps);
  keep(before.music_volume, after.music_volume, saved.music_volume);
  keep(before.sfx_volume, after.sfx_volume, saved.sfx_volume);
  keep(before.sensitivity, after.sensitivity, saved.sensitivity);
  keep(before.invert_y, after.invert_y, saved.invert_y);
  keep(before.grapple_toggle, after.grapple_toggle, saved.grapple_toggle);
  keep(before.controls, after.controls, saved.controls);
  keep(before.scale, after.scale, saved.scale);
}

void save_player_options(PlayerFiles& files, std::FILE* messages) {
  if (files.options_path.empty()) return;
  said_write(files, save_options_file(files.options_path, files.options), messages);
}

void save_player_progress(PlayerFiles& files, const Progress& progress, std::FILE* messages) {
  if (files.progress_path.empty()) return;
  said_write(files, save_progress_file(files.progress_path, progress), messages);
}

}  // namespace vel
