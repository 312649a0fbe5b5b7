// asset_root.cpp: the installed data folder found from the executable.
#include "base/asset_root.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>

namespace vel {

std::string data_root_for(const std::string& executable,
                          const std::function<bool(const std::string& folder)>& has_assets) {
  const size_t slash = executable.rfind('/');
  if (slash == std::string::npos) return {};
  const std::string root = executable.substr(0, slash + 1) + kInstalledDataFolder;
  return has_assets(root + "/assets") ? root : std::string();
}

std::string played_data_root() {
  std::array<char, 4096> buffer{};
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  // A path the buffer cannot hold is as good as unknown: the working folder.
  if (length <= 0 || static_cast<size_t>(length) >= buffer.size() - 1) return {};
  return data_root_for(std::string(buffer.data(), static_cast<size_t>(length)),
                       [](const std::string& folder) {
                         struct stat info {};
                         return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
                       });
}

std::string under_root(const std::string& root, const char* relative) {
  return root.empty() ? std::string(relative) : root + "/" + relative;
}

}  // namespace vel
