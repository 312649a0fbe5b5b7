// user_folders.cpp: the XDG base directories of the player's files.
#include "base/user_folders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace vel {
namespace {

constexpr const char* kGame = "veltrocane";

// XDG says a relative value is invalid and must be ignored.
std::optional<std::string> absolute_value(const EnvLookup& env, const std::string& name) {
  std::optional<std::string> v = env(name);
  if (!v || v->empty() || (*v)[0] != '/') {
    return std::nullopt;
  }
  return v;
}

UserFolder under_home(const EnvLookup& env, const std::string& xdg_name,
                      const std::string& home_rest) {
  if (std::optional<std::string> base = absolute_value(env, xdg_name)) {
    return {*base + "/" + kGame, ""};
  }
  if (std::optional<std::string> home = absolute_value(env, "HOME")) {
    return {*home + "/" + home_rest + "/" + kGame, ""};
  }
  return {"", "neither " + xdg_name + " nor HOME is set to an absolute folder"};
}

}  // namespace

UserFolder config_folder(const EnvLookup& env) {
  return under_home(env, "XDG_CONFIG_HOME", ".config");
}

UserFolder data_folder(const EnvLookup& env) {
  return under_home(env, "XDG_DATA_HOME", ".local/share");
}

std::string pictures_dir_from_user_dirs(const std::string& text, const std::string& home) {
  std::istringstream lines(text);
  std::string line;
  std::string found;
  while (std::getline(lines, line)) {
    const std::string key = "XDG_PICTURES_DIR=\"";
    if (line.rfind(key, 0) != 0) {
      continue;
    }
    const size_t end = line.find('"', key.size());
    if (end == std::string::npos) {
      continue;
    }
    std::string value = line.substr(key.size(), end - key.size());
    if (value.rfind("$HOME", 0) == 0) {
      value = home + value.substr(5);
    }
    // The desktop writes "$HOME/" for "no such folder"; only an absolute
    // folder other than the home itself counts.
    if (!value.empty() && value[0] == '/' && value != home && value != home + "/") {
      found = value;
    }
  }
  return found;
}

UserFolder pictures_folder(
    const EnvLookup& env,
    const std::function<std::optional<std::string>(const std::string& path)>& read_text) {
  if (std::optional<std::string> dir = absolute_value(env, "XDG_PICTURES_DIR")) {
    return {*dir + "/" + kGame, ""};
  }
  const std::optional<std::string> home = absolute_value(env, "HOME");
  std::string config_home;
  if (std::optional<std::string> c = absolute_value(env, "XDG_CONFIG_HOME")) {
    config_home = *c;
  } else if (home) {
    config_home = *home + "/.config";
  }
  if (!config_home.empty() && home) {
    if (std::optional<std::string> text = read_text(config_home + "/user-dirs.dirs")) {
      const std::string dir = pictures_dir_from_user_dirs(*text, *home);
      if (!dir.empty()) {
        return {dir + "/" + kGame, ""};
      }
    }
  }
  return data_folder(env);
}

std::optional<std::string> make_folders(const std::string& path) {
  if (path.empty()) {
    return "no folder to create";
  }
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') {
      continue;
    }
    const std::string part = path.substr(0, at);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return "cannot create " + part + ": " + std::strerror(errno);
    }
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    return path + " is not a folder";
  }
  return std::nullopt;
}

EnvLookup process_environment() {
  return [](const std::string& name) -> std::optional<std::string> {
    const char* v = std::getenv(name.c_str());
    if (v == nullptr) {
      return std::nullopt;
    }
    return std::string(v);
  };
}

}  // namespace vel
