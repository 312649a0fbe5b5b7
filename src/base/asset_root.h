// asset_root.h: where the played game finds its assets/ folder. An
// installed game keeps them beside its executable's prefix
// (<prefix>/bin/veltrocane-play reads <prefix>/share/veltrocane/assets), so
// it starts from any folder; a game run from the build tree reads ./assets
// of the working folder, as the fixed run always does.
#pragma once

#include <functional>
#include <string>

namespace vel {

// The folder that holds an installed game's assets/, relative to the
// folder of the executable.
inline constexpr const char* kInstalledDataFolder = "../share/veltrocane";

// The folder the asset paths ("assets/...") are read under: the installed
// data folder of `executable` when `has_assets` says it holds assets/,
// else empty (the working folder). `executable` is the program's own
// absolute path; an empty one (not known) gives the working folder.
std::string data_root_for(const std::string& executable,
                          const std::function<bool(const std::string& folder)>& has_assets);

// The same for this process: its path from /proc/self/exe and a real
// look for the folder.
std::string played_data_root();

// `relative` under `root`, or `relative` itself for the working folder
// (an empty root), so that the fixed run's paths stay the very same text.
std::string under_root(const std::string& root, const char* relative);

}  // namespace vel
