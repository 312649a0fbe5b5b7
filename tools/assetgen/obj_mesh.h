// obj_mesh.h: the integer mesh record the mesh builders fill and the OBJ
// writer prints.
//
// Everything is kept in fixed point so that the printed files cannot depend
// on a compiler's or a maths library's float rounding: positions in
// thousandths of a world unit, texture coordinates and normals in
// ten-thousandths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vel {

constexpr int32_t kPositionScale = 1000;
constexpr int32_t kUvScale = 10000;
constexpr int32_t kNormalScale = 10000;

struct IVec3 {
  int32_t x = 0;
  int32_t y = 0;
  int32_t z = 0;

  friend bool operator==(const IVec3&, const IVec3&) = default;
};

struct IVec2 {
  int32_t u = 0;
  int32_t v = 0;

  friend bool operator==(const IVec2&, const IVec2&) = default;
};

// 0-based indices; the writer prints them 1-based.
struct ObjCorner {
  uint32_t position = 0;
  uint32_t texcoord = 0;
  uint32_t normal = 0;
};

// Three consecutive corners make one triangle, counter-clockwise seen from
// the side its normal points to.
struct ObjMesh {
  std::vector<IVec3> positions;
  std::vector<IVec2> texcoords;
  std::vector<IVec3> normals;
  std::vector<ObjCorner> corners;
};

inline IVec3 operator+(IVec3 a, IVec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline IVec3 operator-(IVec3 a, IVec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}

struct I64Vec3 {
  int64_t x = 0;
  int64_t y = 0;
  int64_t z = 0;
};

// (b - a) x (c - a): the facing of triangle a, b, c (exact in 64 bits for
// coordinates below a million).
I64Vec3 triangle_cross(IVec3 a, IVec3 b, IVec3 c);

// Appends one triangle with its flat normal; corners already present are
// shared. A triangle without area is dropped.
void add_triangle(ObjMesh& mesh, IVec3 a, IVec3 b, IVec3 c, IVec2 ta, IVec2 tb, IVec2 tc);

// The OBJ text: a comment line, then v, vt, vn and f lines. Every face is a
// triangle written as "f p/t/n p/t/n p/t/n" with single spaces.
std::string write_obj_text(const ObjMesh& mesh, const std::string& title);

}  // namespace vel
