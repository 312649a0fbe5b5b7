// asset_path.h: where the tests find the committed assets, whatever the
// working directory.
#pragma once

#include <string>

namespace vel::test {

// assets/<name> in the source tree.
inline std::string asset_path(const std::string& name) {
  return std::string(VEL_SOURCE_DIR) + "/assets/" + name;
}

}  // namespace vel::test
