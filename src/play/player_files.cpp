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
    // A first run (or one after a damaged file) leaves the player a file to
    // find, with every choice spelled out.
    if (!read_player_file(files.options_path).text) save_player_options(files, messages);
  }
  if (data.problem.empty()) {
    files.progress_path = data.path + kProgressName;
    LoadedProgress loaded = load_progress_file(files.progress_path);
    if (!loaded.message.empty()) say(messages, loaded.message);
    files.progress = std::move(loaded.progress);
  }
  return files;
}

Settings choose_play_settings(const PlayerOptions& saved, const Settings& settings_file,
                              uint32_t named, PlayOptions& command_line) {
  PlayerOptions chosen = saved;
  apply_settings_file(settings_file, named, chosen);
  const PlayOptions::Given& given = command_line.given;
  if (!given.sensitivity) command_line.look.sensitivity = chosen.sensitivity;
  if (!given.invert_y) command_line.look.invert_y = chosen.invert_y;
  if (!given.interlace) command_line.interlace = chosen.interlaced;
  if (!given.scale) command_line.scale = chosen.scale;
  command_line.grapple_toggle = chosen.grapple_toggle;
  chosen.interlaced = command_line.interlace;
  return play_settings(chosen, settings_file.load_status);
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
