// city_meshes.cpp: the terrace quad and the building block.
#include "city_meshes.h"

#include "solids.h"

namespace vel {

ObjMesh build_quad_mesh() {
  ObjMesh mesh;
  constexpr int32_t one = kPositionScale;
  // Listed clockwise seen from local +z, i.e. counter-clockwise from -z.
  const IVec3 bottom_left{-one, -one, 0}, top_left{-one, one, 0};
  const IVec3 top_right{one, one, 0}, bottom_right{one, -one, 0};
  const IVec2 uv_bottom_left{0, 0}, uv_top_left{0, kUvScale};
  const IVec2 uv_top_right{kUvScale, kUvScale}, uv_bottom_right{kUvScale, 0};
  add_triangle(mesh, bottom_left, top_left, top_right, uv_bottom_left, uv_top_left, uv_top_right);
  add_triangle(mesh, bottom_left, top_right, bottom_right, uv_bottom_left, uv_top_right,
               uv_bottom_right);
  return mesh;
}

ObjMesh build_block_mesh() {
  ObjMesh mesh;
  constexpr int32_t h = 7500;  // half the block's width
  constexpr int32_t top = 15000;
  // Each wall bottom-left, bottom-right, top-right, top-left seen from outside.
  add_quad(mesh, {-h, 0, h}, {h, 0, h}, {h, top, h}, {-h, top, h}, kWholePicture);      // +z
  add_quad(mesh, {h, 0, h}, {h, 0, -h}, {h, top, -h}, {h, top, h}, kWholePicture);      // +x
  add_quad(mesh, {h, 0, -h}, {-h, 0, -h}, {-h, top, -h}, {h, top, -h}, kWholePicture);  // -z
  add_quad(mesh, {-h, 0, -h}, {-h, 0, h}, {-h, top, h}, {-h, top, -h}, kWholePicture);  // -x
  return mesh;
}

}  // namespace vel
