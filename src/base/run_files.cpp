// run_files.cpp: telling whether two names of a run are one file.
#include "base/run_files.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

namespace vel {

namespace {

// What a name stands for: the file's device and inode when it exists,
// else its folder's real path and its own name (or the name as given when
// even the folder cannot be resolved).
struct Identity {
  bool exists = false;
  bool device = false;  // a character device: shared freely
  dev_t dev = 0;
  ino_t ino = 0;
  std::string name;
};

Identity identity_of(const std::string& path) {
  Identity id;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    id.exists = true;
    id.device = S_ISCHR(info.st_mode);
    id.dev = info.st_dev;
    id.ino = info.st_ino;
    return id;
  }
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  char resolved[PATH_MAX];
  id.name =
      ::realpath(folder.c_str(), resolved) != nullptr ? std::string(resolved) + "/" + base : path;
  return id;
}

bool same_file(const Identity& a, const Identity& b) {
  if (a.exists != b.exists) return false;
  if (a.exists) return a.dev == b.dev && a.ino == b.ino;
  return a.name == b.name;
}

}  // namespace

std::string clashing_run_file(std::span<const RunFile> inputs, std::span<const RunFile> outputs) {
  std::vector<std::pair<const RunFile*, Identity>> seen;
  for (const RunFile& input : inputs) {
    if (!input.path.empty()) seen.emplace_back(&input, identity_of(input.path));
  }
  for (const RunFile& output : outputs) {
    if (output.path.empty()) continue;
    Identity id = identity_of(output.path);
    if (id.device) continue;
    for (const auto& [earlier, earlier_id] : seen) {
      if (same_file(id, earlier_id)) {
        return output.option + " " + output.path + " is the same file as " + earlier->option + " " +
               earlier->path + ": one file cannot be both";
      }
    }
    seen.emplace_back(&output, std::move(id));
  }
  return {};
}

std::string empty_option_value(std::span<const RunFile> given) {
  for (const RunFile& option : given) {
    if (option.path.empty()) return option.option + " needs a file name, not an empty one";
  }
  return {};
}

}  // namespace vel
