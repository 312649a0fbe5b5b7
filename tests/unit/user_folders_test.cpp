#include "base/user_folders.h"

#include <gtest/gtest.h>

#include <map>

namespace vel {
namespace {

EnvLookup table(std::map<std::string, std::string> vars) {
  return [vars](const std::string& name) -> std::optional<std::string> {
    auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

TEST(UserFolders, XdgVariablesWinOverHomeAndRelativeOnesAreIgnored) {
  EXPECT_EQ(config_folder(table({{"HOME", "/h"}})).path, "/h/.config/veltrocane");
  EXPECT_EQ(config_folder(table({{"HOME", "/h"}, {"XDG_CONFIG_HOME", "/c"}})).path,
            "/c/veltrocane");
  EXPECT_EQ(data_folder(table({{"HOME", "/h"}, {"XDG_DATA_HOME", "rel"}})).path,
            "/h/.local/share/veltrocane");
  const UserFolder none = data_folder(table({}));
  EXPECT_TRUE(none.path.empty());
  EXPECT_FALSE(none.problem.empty());
}

TEST(UserFolders, PicturesComeFromTheDesktopsFileElseTheDataFolder) {
  const std::string dirs =
      "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
  auto files = [&](const std::string& path) -> std::optional<std::string> {
    if (path == "/h/.config/user-dirs.dirs") return dirs;
    return std::nullopt;
  };
  EXPECT_EQ(pictures_folder(table({{"HOME", "/h"}}), files).path, "/h/Bilder/veltrocane");
  EXPECT_EQ(pictures_folder(table({{"HOME", "/h"}, {"XDG_PICTURES_DIR", "/p"}}), files).path,
            "/p/veltrocane");
  EXPECT_EQ(pictures_folder(table({{"HOME", "/g"}}), files).path, "/g/.local/share/veltrocane");
  // "$HOME/" is how the desktop says the folder is switched off.
  EXPECT_EQ(pictures_dir_from_user_dirs("XDG_PICTURES_DIR=\"$HOME/\"\n", "/h"), "");
}

}  // namespace
}  // namespace vel
