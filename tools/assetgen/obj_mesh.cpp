// obj_mesh.cpp: corner sharing, flat normals and the OBJ text of a mesh.
#include "obj_mesh.h"

#include <algorithm>
#include <cstdlib>

namespace vel {

namespace {

template <class T>
uint32_t index_of(std::vector<T>& list, const T& value) {
  const auto found = std::find(list.begin(), list.end(), value);
  if (found != list.end()) return static_cast<uint32_t>(found - list.begin());
  list.push_back(value);
  return static_cast<uint32_t>(list.size() - 1);
}

int64_t integer_sqrt(int64_t value) {
  // Newton's iteration from above; exact floor(sqrt) without floats.
  if (value < 2) return value;
  int64_t x = value;
  int64_t y = (x + 1) / 2;
  while (y < x) {
    x = y;
    y = (x + value / x) / 2;
  }
  return x;
}

// "-1.25" for (-1250, 1000): shortest exact decimal, no exponent, no
// trailing zeros, which the game's float syntax reads back exactly as
// written.
std::string fixed_decimal(int32_t value, int32_t scale) {
  std::string text = value < 0 ? "-" : "";
  const int64_t magnitude = std::llabs(static_cast<int64_t>(value));
  text += std::to_string(magnitude / scale);
  int64_t fraction = magnitude % scale;
  if (fraction != 0) {
    std::string digits;
    for (int32_t place = scale / 10; place > 0; place /= 10) {
      digits += static_cast<char>('0' + fraction / place);
      fraction %= place;
    }
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    text += "." + digits;
  }
  return text;
}

}  // namespace

I64Vec3 triangle_cross(IVec3 a, IVec3 b, IVec3 c) {
  const int64_t ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
  const int64_t vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
  return {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
}

void add_triangle(ObjMesh& mesh, IVec3 a, IVec3 b, IVec3 c, IVec2 ta, IVec2 tb, IVec2 tc) {
  const I64Vec3 n = triangle_cross(a, b, c);
  const int64_t length = integer_sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  if (length == 0) return;
  // Unit length to four decimals, truncated toward zero on every axis.
  const IVec3 normal{static_cast<int32_t>(n.x * kNormalScale / length),
                     static_cast<int32_t>(n.y * kNormalScale / length),
                     static_cast<int32_t>(n.z * kNormalScale / length)};
  const uint32_t normal_index = index_of(mesh.normals, normal);
  const IVec3 points[3] = {a, b, c};
  const IVec2 uvs[3] = {ta, tb, tc};
  for (int32_t k = 0; k < 3; ++k) {
    mesh.corners.push_back(
        {index_of(mesh.positions, points[k]), index_of(mesh.texcoords, uvs[k]), normal_index});
  }
}

std::string write_obj_text(const ObjMesh& mesh, const std::string& title) {
  std::string text = "# " + title + "\n";
  for (const IVec3& p : mesh.positions) {
    text += "v " + fixed_decimal(p.x, kPositionScale) + " " + fixed_decimal(p.y, kPositionScale) +
            " " + fixed_decimal(p.z, kPositionScale) + "\n";
  }
  for (const IVec2& t : mesh.texcoords) {
    text += "vt " + fixed_decimal(t.u, kUvScale) + " " + fixed_decimal(t.v, kUvScale) + "\n";
  }
  for (const IVec3& n : mesh.normals) {
    text += "vn " + fixed_decimal(n.x, kNormalScale) + " " + fixed_decimal(n.y, kNormalScale) +
            " " + fixed_decimal(n.z, kNormalScale) + "\n";
  }
  for (size_t k = 0; k + 2 < mesh.corners.size(); k += 3) {
    text += "f";
    for (size_t c = k; c < k + 3; ++c) {
      text += " " + std::to_string(mesh.corners[c].position + 1) + "/" +
              std::to_string(mesh.corners[c].texcoord + 1) + "/" +
              std::to_string(mesh.corners[c].normal + 1);
    }
    text += "\n";
  }
  return text;
}

}  // namespace vel
