// car.cpp: the flying car and its texture atlas.
#include "car.h"

#include "solids.h"

namespace vel {

namespace {

constexpr int32_t kTexture = 64;

// Atlas regions, pixel rectangles [x0, x1) x [y0, y1), rows from the top.
struct Region {
  int32_t x0, y0, x1, y1;
};
constexpr Region kSide{0, 0, 64, 16};
constexpr Region kTop{0, 16, 32, 32};
constexpr Region kGlass{32, 16, 64, 32};
constexpr Region kFront{0, 32, 32, 48};
constexpr Region kRear{32, 32, 64, 48};
constexpr Region kUnder{0, 48, 16, 64};
constexpr Region kThruster{16, 48, 32, 64};
constexpr Region kPodSide{32, 48, 64, 56};
constexpr Region kPodTop{32, 56, 48, 64};
constexpr Region kWing{48, 56, 64, 64};

constexpr Rgba kPaint{206, 36, 78};
constexpr Rgba kPaintLight{244, 84, 120};
constexpr Rgba kPaintDark{128, 20, 50};
constexpr Rgba kTrim{30, 30, 38};

UvRect uv(Region r) {
  return atlas_rect(r.x0, r.y0, r.x1, r.y1, kTexture, kTexture);
}

void fill(Canvas& canvas, Region r, Rgba colour) {
  fill_rect(canvas, r.x0, r.y0, r.x1, r.y1, colour);
}

void paint_side(Canvas& canvas) {
  fill(canvas, kSide, kPaint);
  fill_rect(canvas, kSide.x0, kSide.y0, kSide.x1, kSide.y0 + 2, kPaintLight);  // shoulder line
  fill_rect(canvas, kSide.x0, kSide.y0 + 11, kSide.x1, kSide.y0 + 12, Rgba{80, 236, 255});
  fill_rect(canvas, kSide.x0, kSide.y0 + 12, kSide.x1, kSide.y1, kPaintDark);
  // Door seams, symmetric so both flanks read the same way round.
  for (int32_t x : {20, 43}) fill_rect(canvas, x, kSide.y0 + 2, x + 1, kSide.y0 + 11, kPaintDark);
  // Small amber marker lights at both ends.
  fill_rect(canvas, kSide.x0, kSide.y0 + 7, kSide.x0 + 3, kSide.y0 + 10, Rgba{255, 170, 40});
  fill_rect(canvas, kSide.x1 - 3, kSide.y0 + 7, kSide.x1, kSide.y0 + 10, Rgba{255, 170, 40});
}

void paint_top(Canvas& canvas) {
  fill(canvas, kTop, kPaint);
  // Twin racing stripes along the length (picture columns run front to back).
  for (int32_t x : {12, 18}) fill_rect(canvas, x, kTop.y0, x + 2, kTop.y1, kPaintLight);
  fill_rect(canvas, kTop.x0, kTop.y0, kTop.x0 + 1, kTop.y1, kPaintDark);
  fill_rect(canvas, kTop.x1 - 2, kTop.y0, kTop.x1, kTop.y1, kPaintDark);
}

void paint_glass(Canvas& canvas) {
  for (int32_t y = kGlass.y0; y < kGlass.y1; ++y) {
    const Rgba tint = mix(Rgba{44, 74, 118}, Rgba{16, 30, 56}, (y - kGlass.y0) * 256 / 16);
    fill_rect(canvas, kGlass.x0, y, kGlass.x1, y + 1, tint);
  }
  // A reflection streak and the dashboard glow along the lower edge.
  for (int32_t k = 0; k < 12; ++k) {
    set_pixel(canvas, kGlass.x0 + 6 + k, kGlass.y0 + 13 - k, Rgba{130, 180, 230});
    set_pixel(canvas, kGlass.x0 + 7 + k, kGlass.y0 + 13 - k, Rgba{90, 140, 200});
  }
  fill_rect(canvas, kGlass.x0, kGlass.y1 - 2, kGlass.x1, kGlass.y1, Rgba{60, 210, 240});
}

void paint_front(Canvas& canvas) {
  fill(canvas, kFront, kPaint);
  fill_rect(canvas, kFront.x0, kFront.y1 - 4, kFront.x1, kFront.y1, kTrim);  // bumper
  for (int32_t x : {2, 20}) {
    const int32_t y = kFront.y0 + 4;
    glow_around(canvas, x, y, x + 10, y + 6, Rgba{255, 250, 220}, 2, 120);
    fill_rect(canvas, x, y, x + 10, y + 6, Rgba{255, 246, 214});
    fill_rect(canvas, x + 2, y + 1, x + 8, y + 5, Rgba{255, 255, 255});
  }
  fill_rect(canvas, 13, kFront.y0 + 6, 19, kFront.y0 + 11, kTrim);  // intake
  fill_rect(canvas, 14, kFront.y0 + 8, 18, kFront.y0 + 9, Rgba{80, 236, 255});
}

void paint_rear(Canvas& canvas) {
  fill(canvas, kRear, kPaint);
  fill_rect(canvas, kRear.x0, kRear.y1 - 4, kRear.x1, kRear.y1, kTrim);
  const int32_t y = kRear.y0 + 4;
  glow_around(canvas, kRear.x0 + 1, y, kRear.x1 - 1, y + 5, Rgba{255, 40, 50}, 2, 110);
  fill_rect(canvas, kRear.x0 + 1, y, kRear.x1 - 1, y + 5, Rgba{255, 36, 48});
  for (int32_t x : {kRear.x0 + 3, kRear.x1 - 11}) {
    fill_rect(canvas, x, y + 1, x + 8, y + 4, Rgba{255, 150, 150});  // brightest lamps
  }
  fill_rect(canvas, kRear.x0 + 12, y + 7, kRear.x1 - 12, y + 10, Rgba{230, 230, 210});  // plate
}

void paint_running_gear(Canvas& canvas) {
  fill(canvas, kUnder, Rgba{28, 28, 34});
  for (int32_t k = kUnder.y0 + 3; k < kUnder.y1; k += 5) {
    fill_rect(canvas, kUnder.x0, k, kUnder.x1, k + 1, Rgba{44, 44, 52});
  }
  // Thruster: white-hot centre inside cyan rings, seen from below.
  fill(canvas, kThruster, Rgba{24, 26, 32});
  const int32_t cx2 = kThruster.x0 + kThruster.x1, cy2 = kThruster.y0 + kThruster.y1;
  for (int32_t y = kThruster.y0; y < kThruster.y1; ++y) {
    for (int32_t x = kThruster.x0; x < kThruster.x1; ++x) {
      if (in_ring(x, y, cx2, cy2, 0, 16)) set_pixel(canvas, x, y, Rgba{30, 100, 130});
      if (in_ring(x, y, cx2, cy2, 0, 12)) set_pixel(canvas, x, y, Rgba{80, 230, 255});
      if (in_ring(x, y, cx2, cy2, 0, 6)) set_pixel(canvas, x, y, Rgba{230, 255, 255});
    }
  }
  fill(canvas, kPodSide, Rgba{44, 44, 54});
  fill_rect(canvas, kPodSide.x0, kPodSide.y0 + 3, kPodSide.x1, kPodSide.y0 + 5, Rgba{255, 170, 40});
  fill(canvas, kPodTop, kPaint);
  fill_rect(canvas, kPodTop.x0 + 5, kPodTop.y0 + 2, kPodTop.x1 - 5, kPodTop.y1 - 2, kTrim);
  fill(canvas, kWing, kPaintDark);
  fill_rect(canvas, kWing.x0, kWing.y0, kWing.x1, kWing.y0 + 2, Rgba{255, 40, 50});
}

}  // namespace

Canvas paint_car_texture() {
  Canvas canvas = make_canvas(kTexture, kTexture, kTrim);
  paint_side(canvas);
  paint_top(canvas);
  paint_glass(canvas);
  paint_front(canvas);
  paint_rear(canvas);
  paint_running_gear(canvas);
  return canvas;
}

ObjMesh build_car_mesh() {
  ObjMesh mesh;
  const UvRect side = uv(kSide), top = uv(kTop), under = uv(kUnder), glass = uv(kGlass);
  // Hull amidships: wider at the shoulder than at the keel.
  add_hexahedron(mesh,
                 {IVec3{-850, -300, -1500}, IVec3{850, -300, -1500}, IVec3{850, -300, 1200},
                  IVec3{-850, -300, 1200}, IVec3{-1000, 300, -1500}, IVec3{1000, 300, -1500},
                  IVec3{1000, 300, 1200}, IVec3{-1000, 300, 1200}},
                 {side, side, side, side, top, under});
  // Nose: narrows and drops towards the headlights.
  add_hexahedron(mesh,
                 {IVec3{-850, -300, 1200}, IVec3{850, -300, 1200}, IVec3{700, -250, 2300},
                  IVec3{-700, -250, 2300}, IVec3{-1000, 300, 1200}, IVec3{1000, 300, 1200},
                  IVec3{700, 50, 2300}, IVec3{-700, 50, 2300}},
                 {uv(kFront), side, side, side, top, under});
  // Tail: rises slightly to the tail lights.
  add_hexahedron(mesh,
                 {IVec3{-800, -250, -2300}, IVec3{800, -250, -2300}, IVec3{850, -300, -1500},
                  IVec3{-850, -300, -1500}, IVec3{-900, 350, -2300}, IVec3{900, 350, -2300},
                  IVec3{1000, 300, -1500}, IVec3{-1000, 300, -1500}},
                 {side, uv(kRear), side, side, top, under});
  // Canopy: glass all round, swept back at the front.
  add_hexahedron(
      mesh,
      {IVec3{-820, 300, -1100}, IVec3{820, 300, -1100}, IVec3{820, 300, 700}, IVec3{-820, 300, 700},
       IVec3{-640, 820, -800}, IVec3{640, 820, -800}, IVec3{640, 820, 150}, IVec3{-640, 820, 150}},
      {glass, glass, glass, glass, top, under});
  // Rear wing on two struts.
  const UvRect wing = uv(kWing);
  add_box(mesh, {-950, 430, -2300}, {950, 510, -1950}, same_faces(wing));
  add_box(mesh, {-680, 330, -2200}, {-600, 430, -2050}, same_faces(wing));
  add_box(mesh, {600, 330, -2200}, {680, 430, -2050}, same_faces(wing));
  // Hover pods at the four corners, thrusters facing down.
  for (const int32_t x : {-1150, 1150}) {
    for (const int32_t z : {-1650, 1450}) {
      add_drum(mesh, {x, -460, z}, 380, 300, uv(kPodSide), uv(kPodTop), uv(kThruster));
    }
  }
  return mesh;
}

}  // namespace vel
