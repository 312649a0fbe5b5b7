// antenna.cpp: the transmitter mast and its texture atlas.
#include "antenna.h"

#include "solids.h"

namespace vel {

namespace {

constexpr int32_t kTexture = 32;

// Atlas regions, pixel rectangles [x0, x1) x [y0, y1), rows from the top.
constexpr int32_t kBands[4] = {0, 0, 16, 32};
constexpr int32_t kBeacon[4] = {16, 0, 32, 8};
constexpr int32_t kMetal[4] = {16, 8, 32, 16};
constexpr int32_t kPanel[4] = {16, 16, 32, 24};
constexpr int32_t kPlinth[4] = {16, 24, 32, 32};

UvRect region(const int32_t (&r)[4]) {
  return atlas_rect(r[0], r[1], r[2], r[3], kTexture, kTexture);
}

}  // namespace

Canvas paint_antenna_texture() {
  Canvas canvas = make_canvas(kTexture, kTexture, Rgba{64, 66, 74});
  // Warning bands, four rows each, lit edge on the left and shade on the right.
  for (int32_t y = kBands[1]; y < kBands[3]; ++y) {
    const Rgba band = (y / 4) % 2 == 0 ? Rgba{214, 44, 40} : Rgba{226, 226, 232};
    fill_rect(canvas, kBands[0], y, kBands[2], y + 1, band);
    set_pixel(canvas, kBands[0], y, offset(band, 24));
    set_pixel(canvas, kBands[2] - 2, y, scaled(band, 70));
    set_pixel(canvas, kBands[2] - 1, y, scaled(band, 70));
  }
  // Beacon: a hot core inside red glass.
  fill_rect(canvas, kBeacon[0], kBeacon[1], kBeacon[2], kBeacon[3], Rgba{255, 52, 36});
  fill_rect(canvas, kBeacon[0] + 4, kBeacon[1] + 2, kBeacon[2] - 4, kBeacon[3] - 2,
            Rgba{255, 200, 180});
  // Metal with a row of rivets.
  for (int32_t x = kMetal[0] + 1; x < kMetal[2]; x += 3) {
    set_pixel(canvas, x, kMetal[1] + 1, Rgba{104, 106, 116});
    set_pixel(canvas, x, kMetal[3] - 2, Rgba{104, 106, 116});
  }
  // Panel antennas: light grey with grooves and a green status light.
  fill_rect(canvas, kPanel[0], kPanel[1], kPanel[2], kPanel[3], Rgba{128, 132, 142});
  for (int32_t x = kPanel[0] + 2; x < kPanel[2]; x += 4) {
    fill_rect(canvas, x, kPanel[1], x + 1, kPanel[3], Rgba{84, 88, 98});
  }
  fill_rect(canvas, kPanel[0] + 6, kPanel[1] + 3, kPanel[0] + 8, kPanel[1] + 5, Rgba{60, 255, 110});
  // Plinth: concrete with hazard stripes along its top.
  fill_rect(canvas, kPlinth[0], kPlinth[1], kPlinth[2], kPlinth[3], Rgba{58, 58, 64});
  for (int32_t x = kPlinth[0]; x < kPlinth[2]; ++x) {
    for (int32_t y = kPlinth[1]; y < kPlinth[1] + 3; ++y) {
      set_pixel(canvas, x, y, ((x + y) / 2) % 2 == 0 ? Rgba{230, 184, 40} : Rgba{26, 24, 22});
    }
  }
  return canvas;
}

ObjMesh build_antenna_mesh() {
  ObjMesh mesh;
  const UvRect bands = region(kBands);
  const UvRect upper_bands{bands.lo, {bands.hi.u, (bands.lo.v + bands.hi.v) / 2}};
  const UvRect metal = region(kMetal);
  const UvRect beacon = region(kBeacon);

  add_box(mesh, {-400, 0, -400}, {400, 200, 400}, same_faces(region(kPlinth)));
  // Two tapering mast sections.
  const auto mast_section = [&](int32_t y0, int32_t half0, int32_t y1, int32_t half1, UvRect uv) {
    add_hexahedron(mesh,
                   {IVec3{-half0, y0, -half0}, IVec3{half0, y0, -half0}, IVec3{half0, y0, half0},
                    IVec3{-half0, y0, half0}, IVec3{-half1, y1, -half1}, IVec3{half1, y1, -half1},
                    IVec3{half1, y1, half1}, IVec3{-half1, y1, half1}},
                   {uv, uv, uv, uv, metal, metal});
  };
  mast_section(200, 150, 3400, 90, bands);
  mast_section(3400, 90, 4700, 45, upper_bands);
  // Cross arms with red lights at their ends.
  add_box(mesh, {-560, 2100, -45}, {560, 2200, 45}, same_faces(metal));
  add_box(mesh, {-45, 3200, -460}, {45, 3280, 460}, same_faces(metal));
  add_box(mesh, {-640, 2080, -60}, {-560, 2230, 60}, same_faces(beacon));
  add_box(mesh, {560, 2080, -60}, {640, 2230, 60}, same_faces(beacon));
  // Panel antennas on two sides of the mast.
  add_box(mesh, {110, 2500, -160}, {190, 2950, 160}, same_faces(region(kPanel)));
  add_box(mesh, {-190, 2500, -160}, {-110, 2950, 160}, same_faces(region(kPanel)));
  // Tip beacon.
  add_box(mesh, {-80, 4700, -80}, {80, 4960, 80}, same_faces(beacon));
  return mesh;
}

}  // namespace vel
