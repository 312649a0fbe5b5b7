// asset_tree.h: the whole generated asset set, as file paths and bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vel {

struct AssetFile {
  std::string path;  // relative to the asset directory, '/'-separated
  std::vector<uint8_t> bytes;
};

struct AssetTree {
  std::vector<AssetFile> files;
  std::string error;  // empty when every file was built
};

// Every image and mesh the game loads, in the order of its asset slots.
// The same bytes on every run and machine.
AssetTree build_asset_tree();

// Writes the files under `directory`, making sub-folders as needed.
// Returns an error text naming the file, or an empty text.
std::string write_asset_tree(const AssetTree& tree, const std::filesystem::path& directory);

}  // namespace vel
