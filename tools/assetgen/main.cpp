// main.cpp: veltrocane-assetgen <output-dir>: writes the game's whole asset
// set into a folder (normally the repository's assets/).
#include <cstdio>

#include "asset_tree.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: veltrocane-assetgen <output-dir>\n");
    return 2;
  }
  const vel::AssetTree tree = vel::build_asset_tree();
  if (!tree.error.empty()) {
    std::fprintf(stderr, "veltrocane-assetgen: %s\n", tree.error.c_str());
    return 1;
  }
  const std::string error = vel::write_asset_tree(tree, argv[1]);
  if (!error.empty()) {
    std::fprintf(stderr, "veltrocane-assetgen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
