// user_folders.h: where the player's own files live on a Linux desktop —
// options under the configuration home, progress under the data home,
// screenshots under the pictures folder — found from the environment the
// caller hands in, so nothing here reads a process-wide variable itself.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vel {

// Looks up one environment variable; empty optional when it is not set.
// The shells pass one over getenv, tests pass a table.
using EnvLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The folder of one kind of the player's files, for this game, and why it
// could not be found (no HOME and no XDG variable: an empty path and a
// reason to say once).
struct UserFolder {
  std::string path;
  std::string problem;
};

// $XDG_CONFIG_HOME/veltrocane, else $HOME/.config/veltrocane.
UserFolder config_folder(const EnvLookup& env);
// $XDG_DATA_HOME/veltrocane, else $HOME/.local/share/veltrocane.
UserFolder data_folder(const EnvLookup& env);
// The pictures folder's veltrocane folder: $XDG_PICTURES_DIR, else the
// XDG_PICTURES_DIR line of the configuration home's user-dirs.dirs (the
// file the desktop keeps), else the data folder (a picture is never lost
// for want of a Pictures folder). `read_text` reads a small text file whole.
UserFolder pictures_folder(
    const EnvLookup& env,
    const std::function<std::optional<std::string>(const std::string& path)>& read_text);

// The value of XDG_PICTURES_DIR in a user-dirs.dirs text ("$HOME/Pictures"
// with $HOME expanded), or empty when the file does not name one.
std::string pictures_dir_from_user_dirs(const std::string& text, const std::string& home);

// Creates `path` and any missing parents (mode 0700 for new ones, as the
// desktop's own folders are); an empty optional on success, else the
// reason naming the folder.
std::optional<std::string> make_folders(const std::string& path);

// An EnvLookup over the process's real environment, for the shells.
EnvLookup process_environment();

}  // namespace vel
