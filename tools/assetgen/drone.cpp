// drone.cpp: the quad-rotor drone and its texture atlas.
#include "drone.h"

#include "solids.h"

namespace vel {

namespace {

constexpr int32_t kTexture = 32;

// Atlas regions, pixel rectangles [x0, x1) x [y0, y1), rows from the top.
struct Region {
  int32_t x0, y0, x1, y1;
};
constexpr Region kBodySide{0, 0, 16, 8};
constexpr Region kBodyFront{0, 8, 16, 16};
constexpr Region kBodyTop{16, 0, 32, 16};
constexpr Region kArm{0, 16, 16, 24};
constexpr Region kRotor{16, 16, 32, 32};
constexpr Region kRotorEdge{0, 24, 8, 32};
constexpr Region kRedLight{8, 24, 12, 32};
constexpr Region kGreenLight{12, 24, 16, 32};

constexpr Rgba kGraphite{52, 54, 64};

UvRect uv(Region r) {
  return atlas_rect(r.x0, r.y0, r.x1, r.y1, kTexture, kTexture);
}

void fill(Canvas& canvas, Region r, Rgba colour) {
  fill_rect(canvas, r.x0, r.y0, r.x1, r.y1, colour);
}

}  // namespace

Canvas paint_drone_texture() {
  Canvas canvas = make_canvas(kTexture, kTexture, kGraphite);
  fill_rect(canvas, kBodySide.x0, kBodySide.y0 + 4, kBodySide.x1, kBodySide.y0 + 5,
            Rgba{70, 200, 230});
  // Sensor strip across the front, with the camera eye in its middle.
  fill_rect(canvas, kBodyFront.x0, kBodyFront.y0 + 2, kBodyFront.x1, kBodyFront.y0 + 5,
            Rgba{60, 230, 255});
  fill_rect(canvas, kBodyFront.x0 + 6, kBodyFront.y0 + 2, kBodyFront.x0 + 10, kBodyFront.y0 + 5,
            Rgba{220, 255, 255});
  // Top: panel outline, yellow chevron pointing forward (down the picture),
  // white strobe in the middle.
  fill_rect(canvas, kBodyTop.x0 + 1, kBodyTop.y0 + 1, kBodyTop.x1 - 1, kBodyTop.y1 - 1,
            Rgba{40, 42, 50});
  fill_rect(canvas, kBodyTop.x0 + 2, kBodyTop.y0 + 2, kBodyTop.x1 - 2, kBodyTop.y1 - 2, kGraphite);
  for (int32_t k = 0; k < 4; ++k) {
    set_pixel(canvas, kBodyTop.x0 + 4 + k, kBodyTop.y0 + 9 + k, Rgba{240, 200, 40});
    set_pixel(canvas, kBodyTop.x1 - 5 - k, kBodyTop.y0 + 9 + k, Rgba{240, 200, 40});
  }
  glow_around(canvas, kBodyTop.x0 + 7, kBodyTop.y0 + 5, kBodyTop.x0 + 9, kBodyTop.y0 + 7,
              Rgba{255, 255, 255}, 1, 140);
  fill_rect(canvas, kBodyTop.x0 + 7, kBodyTop.y0 + 5, kBodyTop.x0 + 9, kBodyTop.y0 + 7,
            Rgba{255, 255, 255});
  // Carbon weave on the arms.
  for (int32_t y = kArm.y0; y < kArm.y1; ++y) {
    for (int32_t x = kArm.x0; x < kArm.x1; ++x) {
      set_pixel(canvas, x, y, (x + y) % 2 == 0 ? Rgba{34, 34, 40} : Rgba{46, 46, 54});
    }
  }
  // Rotor disc: a dark blur with the lighter ring swept by the blade tips.
  fill(canvas, kRotor, Rgba{44, 46, 54});
  const int32_t cx2 = kRotor.x0 + kRotor.x1, cy2 = kRotor.y0 + kRotor.y1;
  for (int32_t y = kRotor.y0; y < kRotor.y1; ++y) {
    for (int32_t x = kRotor.x0; x < kRotor.x1; ++x) {
      if (in_ring(x, y, cx2, cy2, 6, 13)) set_pixel(canvas, x, y, Rgba{80, 84, 96});
      if (in_ring(x, y, cx2, cy2, 13, 16)) set_pixel(canvas, x, y, Rgba{150, 156, 172});
      if (in_ring(x, y, cx2, cy2, 0, 4)) set_pixel(canvas, x, y, Rgba{24, 24, 28});
    }
  }
  fill(canvas, kRotorEdge, Rgba{124, 128, 140});
  fill(canvas, kRedLight, Rgba{255, 48, 40});
  fill(canvas, kGreenLight, Rgba{40, 255, 100});
  return canvas;
}

ObjMesh build_drone_mesh() {
  ObjMesh mesh;
  const UvRect body_side = uv(kBodySide);
  add_hexahedron(mesh,
                 {IVec3{-220, -110, -280}, IVec3{220, -110, -280}, IVec3{220, -110, 280},
                  IVec3{-220, -110, 280}, IVec3{-180, 110, -230}, IVec3{180, 110, -230},
                  IVec3{180, 110, 230}, IVec3{-180, 110, 230}},
                 {uv(kBodyFront), body_side, body_side, body_side, uv(kBodyTop), body_side});
  constexpr int32_t reach = 520;  // motor centres on the diagonals
  for (const int32_t sx : {-1, 1}) {
    for (const int32_t sz : {-1, 1}) {
      // Arm: a beam from the body out along the diagonal, 100 wide.
      const IVec3 start{sx * 100, 0, sz * 100}, end{sx * reach, 0, sz * reach};
      const IVec3 across{sz * 35, 0, -sx * 35};
      const IVec3 low{0, -30, 0}, high{0, 30, 0};
      add_hexahedron(
          mesh,
          {start + across + low, end + across + low, end - across + low, start - across + low,
           start + across + high, end + across + high, end - across + high, start - across + high},
          same_faces(uv(kArm)));
      // Motor housing: its light is red on the left (+x, seen facing +z)
      // and green on the right, as navigation lights go.
      const IVec3 motor{sx * reach, 0, sz * reach};
      const UvRect light = sx > 0 ? uv(kRedLight) : uv(kGreenLight);
      add_box(mesh, motor + IVec3{-70, -60, -70}, motor + IVec3{70, 80, 70}, same_faces(light));
      add_drum(mesh, motor + IVec3{0, 80, 0}, 300, 30, uv(kRotorEdge), uv(kRotor), uv(kRotor));
    }
  }
  return mesh;
}

}  // namespace vel
