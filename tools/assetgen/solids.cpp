// solids.cpp: atlas rectangles and closed, outward-facing mesh pieces.
#include "solids.h"

#include <algorithm>

namespace vel {

namespace {

// cos and sin of k * 45 degrees in ten-thousandths: eight directions are
// enough for rotors and pods, and a table keeps them free of libm.
constexpr int32_t kCos8[8] = {10000, 7071, 0, -7071, -10000, -7071, 0, 7071};
constexpr int32_t kSin8[8] = {0, 7071, 10000, 7071, 0, -7071, -10000, -7071};

// Margin that keeps samples 0.3 pixel inside a rectangle, in tenths.
constexpr int64_t kMarginTenths = 3;

int64_t div_floor(int64_t a, int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
int64_t div_ceil(int64_t a, int64_t b) {
  return -div_floor(-a, b);
}

int64_t dot(const I64Vec3& a, IVec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

IVec3 average(const IVec3* points, int32_t count) {
  int64_t x = 0, y = 0, z = 0;
  for (int32_t k = 0; k < count; ++k) {
    x += points[k].x;
    y += points[k].y;
    z += points[k].z;
  }
  return {static_cast<int32_t>(x / count), static_cast<int32_t>(y / count),
          static_cast<int32_t>(z / count)};
}

// A quad of a convex piece, flipped left-to-right when it was given facing
// inwards (the picture is then mirrored, never upside down).
void add_outward_quad(ObjMesh& mesh, IVec3 inside, IVec3 bl, IVec3 br, IVec3 tr, IVec3 tl,
                      UvRect uv) {
  const IVec3 quad[4] = {bl, br, tr, tl};
  const I64Vec3 facing = triangle_cross(bl, br, tr);
  if (dot(facing, average(quad, 4) - inside) < 0) {
    add_quad(mesh, br, bl, tl, tr, uv);
  } else {
    add_quad(mesh, bl, br, tr, tl, uv);
  }
}

void add_outward_triangle(ObjMesh& mesh, IVec3 inside, IVec3 a, IVec3 b, IVec3 c, IVec2 ta,
                          IVec2 tb, IVec2 tc) {
  const IVec3 triangle[3] = {a, b, c};
  if (dot(triangle_cross(a, b, c), average(triangle, 3) - inside) < 0) {
    add_triangle(mesh, a, c, b, ta, tc, tb);
  } else {
    add_triangle(mesh, a, b, c, ta, tb, tc);
  }
}

IVec2 lerp_uv(IVec2 from, IVec2 to, int32_t step, int32_t steps) {
  return {from.u + (to.u - from.u) * step / steps, from.v + (to.v - from.v) * step / steps};
}

}  // namespace

UvRect atlas_rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, int32_t height) {
  const int64_t span_u = static_cast<int64_t>(width - 1) * 10;
  const int64_t span_v = static_cast<int64_t>(height - 1) * 10;
  const int64_t scale = kUvScale;
  // Largest texture coordinate that stays clear of the wrap at 1 (u) and
  // smallest that stays clear of the wrap at 0 (v).
  const int64_t u_limit = div_floor((span_u - kMarginTenths) * scale, span_u);
  const int64_t v_limit = div_ceil(kMarginTenths * scale, span_v);
  const int64_t u_lo = div_ceil((x0 * 10 + kMarginTenths) * scale, span_u);
  const int64_t u_hi = std::min(div_floor((x1 * 10 - kMarginTenths) * scale, span_u), u_limit);
  const int64_t v_lo =
      std::max(div_ceil(((height - 1 - y1) * 10 + kMarginTenths) * scale, span_v), v_limit);
  const int64_t v_hi = div_floor(((height - 1 - y0) * 10 - kMarginTenths) * scale, span_v);
  return {{static_cast<int32_t>(u_lo), static_cast<int32_t>(v_lo)},
          {static_cast<int32_t>(u_hi), static_cast<int32_t>(v_hi)}};
}

void add_quad(ObjMesh& mesh, IVec3 bl, IVec3 br, IVec3 tr, IVec3 tl, UvRect uv) {
  const IVec2 t_bl = uv.lo;
  const IVec2 t_br{uv.hi.u, uv.lo.v};
  const IVec2 t_tr = uv.hi;
  const IVec2 t_tl{uv.lo.u, uv.hi.v};
  add_triangle(mesh, bl, br, tr, t_bl, t_br, t_tr);
  add_triangle(mesh, bl, tr, tl, t_bl, t_tr, t_tl);
}

void add_hexahedron(ObjMesh& mesh, const std::array<IVec3, 8>& corners, const BoxFaces& faces) {
  const IVec3 inside = average(corners.data(), 8);
  const IVec3 b0 = corners[0], b1 = corners[1], b2 = corners[2], b3 = corners[3];
  const IVec3 t0 = corners[4], t1 = corners[5], t2 = corners[6], t3 = corners[7];
  // Each face listed bottom-left, bottom-right, top-right, top-left as seen
  // from outside a box-shaped piece; add_outward_quad mends other shapes.
  add_outward_quad(mesh, inside, b3, b2, t2, t3, faces.front);
  add_outward_quad(mesh, inside, b1, b0, t0, t1, faces.back);
  add_outward_quad(mesh, inside, b2, b1, t1, t2, faces.right);
  add_outward_quad(mesh, inside, b0, b3, t3, t0, faces.left);
  add_outward_quad(mesh, inside, t3, t2, t1, t0, faces.top);
  add_outward_quad(mesh, inside, b0, b1, b2, b3, faces.bottom);
}

void add_box(ObjMesh& mesh, IVec3 lo, IVec3 hi, const BoxFaces& faces) {
  add_hexahedron(mesh,
                 {IVec3{lo.x, lo.y, lo.z}, IVec3{hi.x, lo.y, lo.z}, IVec3{hi.x, lo.y, hi.z},
                  IVec3{lo.x, lo.y, hi.z}, IVec3{lo.x, hi.y, lo.z}, IVec3{hi.x, hi.y, lo.z},
                  IVec3{hi.x, hi.y, hi.z}, IVec3{lo.x, hi.y, hi.z}},
                 faces);
}

void add_drum(ObjMesh& mesh, IVec3 base_centre, int32_t radius, int32_t height, UvRect side,
              UvRect top, UvRect bottom) {
  const IVec3 top_centre = base_centre + IVec3{0, height, 0};
  const IVec3 inside = base_centre + IVec3{0, height / 2, 0};
  const auto rim = [&](IVec3 centre, int32_t k) {
    return centre + IVec3{radius * kCos8[k % 8] / 10000, 0, radius * kSin8[k % 8] / 10000};
  };
  const auto cap_uv = [](UvRect uv, int32_t k) {
    const int32_t mid_u = (uv.lo.u + uv.hi.u) / 2, half_u = (uv.hi.u - uv.lo.u) / 2;
    const int32_t mid_v = (uv.lo.v + uv.hi.v) / 2, half_v = (uv.hi.v - uv.lo.v) / 2;
    return IVec2{mid_u + half_u * kCos8[k % 8] / 10000, mid_v + half_v * kSin8[k % 8] / 10000};
  };
  const IVec2 side_bottom_right{side.hi.u, side.lo.v};
  const IVec2 side_top_left{side.lo.u, side.hi.v};
  for (int32_t k = 0; k < 8; ++k) {
    const UvRect strip{lerp_uv(side.lo, side_bottom_right, k, 8),
                       lerp_uv(side_top_left, side.hi, k + 1, 8)};
    add_outward_quad(mesh, inside, rim(base_centre, k), rim(base_centre, k + 1),
                     rim(top_centre, k + 1), rim(top_centre, k), strip);
    const IVec2 top_mid{(top.lo.u + top.hi.u) / 2, (top.lo.v + top.hi.v) / 2};
    const IVec2 bottom_mid{(bottom.lo.u + bottom.hi.u) / 2, (bottom.lo.v + bottom.hi.v) / 2};
    add_outward_triangle(mesh, inside, top_centre, rim(top_centre, k), rim(top_centre, k + 1),
                         top_mid, cap_uv(top, k), cap_uv(top, k + 1));
    add_outward_triangle(mesh, inside, base_centre, rim(base_centre, k), rim(base_centre, k + 1),
                         bottom_mid, cap_uv(bottom, k), cap_uv(bottom, k + 1));
  }
}

}  // namespace vel
