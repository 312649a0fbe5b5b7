// mesh.h: the triangle mesh record produced by the OBJ reader and drawn by
// draw_mesh.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/vec.h"

namespace vel {

// 0-based indices into the mesh arrays; three consecutive corners make one
// triangle.
struct Corner {
  uint64_t position = 0;
  uint64_t texcoord = 0;
  uint64_t normal = 0;
};

struct Mesh {
  std::string path;
  std::vector<Vec3> positions;
  std::vector<Vec2> texcoords;
  std::vector<Vec3> normals;  // need not be unit length
  std::vector<Corner> corners;
  Vec3 centre;  // mean of all positions (NaN when there are none)
};

}  // namespace vel
