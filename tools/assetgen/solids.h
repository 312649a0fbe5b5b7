// solids.h: the building blocks of the generated meshes: texture-atlas
// rectangles, quads, boxes, tapered boxes and eight-sided discs.
#pragma once

#include <array>
#include <cstdint>

#include "obj_mesh.h"

namespace vel {

// The part of a texture a face shows: lo is its bottom-left corner and hi
// its top-right, in texture coordinates (ten-thousandths).
struct UvRect {
  IVec2 lo;
  IVec2 hi;
};

// The texture coordinates that show exactly the pixels [x0, x1) x [y0, y1)
// of a width x height picture, rows counted from the top (stored order).
// The game samples column trunc(u (w - 1)) and row trunc((1 - v) (h - 1))
// after wrapping u and v into [0, 1), so the rectangle is pulled 0.3 pixel
// inside on every side, and kept off u = 1 and v = 0, where wrapping would
// jump to the opposite edge of the picture.
UvRect atlas_rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height);

// The whole picture, (0, 0) to (1, 1): for faces that show one repeat of a
// tiling texture such as a facade.
constexpr UvRect kWholePicture{{0, 0}, {kUvScale, kUvScale}};

// Two triangles, wound as given: bottom-left, bottom-right, top-right,
// top-left must run counter-clockwise seen from outside.
void add_quad(ObjMesh& mesh, IVec3 bl, IVec3 br, IVec3 tr, IVec3 tl, UvRect uv);

// Per-face pictures of a six-sided piece; front faces +z, right +x, top +y.
struct BoxFaces {
  UvRect front;
  UvRect back;
  UvRect right;
  UvRect left;
  UvRect top;
  UvRect bottom;
};

constexpr BoxFaces same_faces(UvRect uv) {
  return {uv, uv, uv, uv, uv, uv};
}

// A convex six-sided piece from its bottom ring b0..b3 and top ring t0..t3,
// each ring in the order (-x, -z), (+x, -z), (+x, +z), (-x, +z) of a box
// (the rings may be tapered, shifted or turned). Every face is turned to
// face away from the piece's middle, so the piece is closed and outward
// whatever the rings' handedness.
void add_hexahedron(ObjMesh& mesh, const std::array<IVec3, 8>& corners, const BoxFaces& faces);

void add_box(ObjMesh& mesh, IVec3 lo, IVec3 hi, const BoxFaces& faces);

// An eight-sided upright disc or drum, closed by two fans; the side picture
// wraps once around it and the caps show their rectangle as a round inset.
void add_drum(ObjMesh& mesh, IVec3 base_centre, int32_t radius, int32_t height, UvRect side,
              UvRect top, UvRect bottom);

}  // namespace vel
