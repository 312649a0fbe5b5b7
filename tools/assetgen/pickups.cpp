// pickups.cpp: the played game's chip, battery and beam: meshes and
// pictures.
#include "pickups.h"

#include "solids.h"

namespace vel {

namespace {

constexpr int32_t kAtlas = 32;

// Atlas regions, pixel rectangles [x0, x1) x [y0, y1), rows from the top.
struct Region {
  int32_t x0, y0, x1, y1;
};

// The chip's atlas.
constexpr Region kCircuit{0, 0, 24, 24};
constexpr Region kRim{24, 0, 32, 8};
constexpr Region kDieTop{24, 8, 32, 16};
constexpr Region kDieSide{24, 16, 32, 24};

// The battery's atlas.
constexpr Region kCell{0, 0, 32, 24};
constexpr Region kCap{0, 24, 8, 32};
constexpr Region kTerminal{8, 24, 16, 32};

constexpr int32_t kBeamWidth = 8;
constexpr int32_t kBeamHeight = 32;

constexpr Rgba kBoard{8, 52, 64};
constexpr Rgba kTrace{70, 230, 255};
constexpr Rgba kPad{255, 206, 70};
constexpr Rgba kDieHot{225, 255, 255};
constexpr Rgba kAmber{255, 146, 24};
constexpr Rgba kSteel{196, 202, 214};
constexpr Rgba kCharge{90, 255, 110};

UvRect uv(Region r) {
  return atlas_rect(r.x0, r.y0, r.x1, r.y1, kAtlas, kAtlas);
}

void fill(Canvas& canvas, Region r, Rgba colour) {
  fill_rect(canvas, r.x0, r.y0, r.x1, r.y1, colour);
}

}  // namespace

Canvas paint_chip_texture() {
  Canvas canvas = make_canvas(kAtlas, kAtlas, kBoard);
  const Region f = kCircuit;
  // Gold contact pads along all four edges, every third pixel.
  for (int32_t k = f.x0 + 2; k < f.x1 - 2; k += 3) {
    fill_rect(canvas, k, f.y0, k + 2, f.y0 + 2, kPad);
    fill_rect(canvas, k, f.y1 - 2, k + 2, f.y1, kPad);
    fill_rect(canvas, f.x0, k, f.x0 + 2, k + 2, kPad);
    fill_rect(canvas, f.x1 - 2, k, f.x1, k + 2, kPad);
  }
  // Traces from the die out to every other pad, bent once on the way.
  for (int32_t k = f.x0 + 2; k < f.x1 - 2; k += 6) {
    fill_rect(canvas, k, f.y0 + 2, k + 1, f.y0 + 6, kTrace);
    fill_rect(canvas, k, f.y1 - 6, k + 1, f.y1 - 2, kTrace);
    fill_rect(canvas, f.x0 + 2, k, f.x0 + 6, k + 1, kTrace);
    fill_rect(canvas, f.x1 - 6, k, f.x1 - 2, k + 1, kTrace);
  }
  fill_rect(canvas, f.x0 + 5, f.y0 + 5, f.x1 - 5, f.y0 + 6, kTrace);
  fill_rect(canvas, f.x0 + 5, f.y1 - 6, f.x1 - 5, f.y1 - 5, kTrace);
  fill_rect(canvas, f.x0 + 5, f.y0 + 5, f.x0 + 6, f.y1 - 5, kTrace);
  fill_rect(canvas, f.x1 - 6, f.y0 + 5, f.x1 - 5, f.y1 - 5, kTrace);
  // The die: a white-hot square whose light spills onto the board.
  glow_around(canvas, f.x0 + 9, f.y0 + 9, f.x1 - 9, f.y1 - 9, kTrace, 3, 200);
  fill_rect(canvas, f.x0 + 9, f.y0 + 9, f.x1 - 9, f.y1 - 9, kDieHot);
  // The rim glows like the traces; the die's top repeats the hot core on a
  // cyan frame and its sides are the traces' colour.
  fill(canvas, kRim, Rgba{120, 240, 255});
  fill(canvas, kDieTop, kTrace);
  fill_rect(canvas, kDieTop.x0 + 2, kDieTop.y0 + 2, kDieTop.x1 - 2, kDieTop.y1 - 2, kDieHot);
  fill(canvas, kDieSide, Rgba{40, 190, 225});
  return canvas;
}

ObjMesh build_chip_mesh() {
  ObjMesh mesh;
  const UvRect circuit = uv(kCircuit);
  const UvRect rim = uv(kRim);
  add_box(mesh, {-550, -100, -550}, {550, 100, 550}, {rim, rim, rim, rim, circuit, circuit});
  const UvRect die_side = uv(kDieSide);
  const UvRect die_top = uv(kDieTop);
  add_box(mesh, {-200, 100, -200}, {200, 170, 200},
          {die_side, die_side, die_side, die_side, die_top, die_side});
  add_box(mesh, {-200, -170, -200}, {200, -100, 200},
          {die_side, die_side, die_side, die_side, die_side, die_top});
  return mesh;
}

Canvas paint_battery_texture() {
  Canvas canvas = make_canvas(kAtlas, kAtlas, kAmber);
  const Region c = kCell;
  // Rows from the top of the cell: steel cap, amber body, the charge band,
  // amber body, steel foot.
  fill_rect(canvas, c.x0, c.y0, c.x1, c.y0 + 3, kSteel);
  fill_rect(canvas, c.x0, c.y0 + 3, c.x1, c.y0 + 4, scaled(kSteel, 70));
  fill_rect(canvas, c.x0, c.y0 + 8, c.x1, c.y0 + 16, Rgba{20, 60, 24});
  // Four charge segments around the cell, with dark gaps between them so
  // the band reads as a gauge; each has a brighter core line.
  for (int32_t x = c.x0; x < c.x1; ++x) {
    if (x % 8 == 7) continue;
    fill_rect(canvas, x, c.y0 + 9, x + 1, c.y0 + 15, kCharge);
    set_pixel(canvas, x, c.y0 + 11, Rgba{210, 255, 210});
    set_pixel(canvas, x, c.y0 + 12, Rgba{210, 255, 210});
  }
  // A dark label stripe on the body below the band.
  fill_rect(canvas, c.x0, c.y0 + 18, c.x1, c.y0 + 19, Rgba{120, 60, 10});
  fill_rect(canvas, c.x0, c.y1 - 4, c.x1, c.y1 - 3, scaled(kSteel, 70));
  fill_rect(canvas, c.x0, c.y1 - 3, c.x1, c.y1, kSteel);
  // Cap discs: an amber rim round steel, so the cell keeps its colour seen
  // end on; the terminal is bright steel.
  fill(canvas, kCap, kAmber);
  const int32_t cx2 = kCap.x0 + kCap.x1, cy2 = kCap.y0 + kCap.y1;
  for (int32_t y = kCap.y0; y < kCap.y1; ++y) {
    for (int32_t x = kCap.x0; x < kCap.x1; ++x) {
      if (in_ring(x, y, cx2, cy2, 0, 5)) set_pixel(canvas, x, y, kSteel);
      if (in_ring(x, y, cx2, cy2, 3, 5)) set_pixel(canvas, x, y, scaled(kSteel, 60));
    }
  }
  fill(canvas, kTerminal, Rgba{240, 244, 250});
  return canvas;
}

ObjMesh build_battery_mesh() {
  ObjMesh mesh;
  const UvRect cap = uv(kCap);
  add_drum(mesh, {0, -550, 0}, 360, 1100, uv(kCell), cap, cap);
  const UvRect terminal = uv(kTerminal);
  add_drum(mesh, {0, 550, 0}, 130, 140, terminal, terminal, terminal);
  return mesh;
}

Canvas paint_beam_texture(BeamHue hue) {
  const Rgba tint = hue == BeamHue::chip ? Rgba{70, 220, 255} : Rgba{255, 180, 40};
  const Rgba core = hue == BeamHue::chip ? Rgba{220, 255, 255} : Rgba{255, 245, 200};
  // Across the beam: opacity (of 255) and how far each column is from the
  // hue towards the white core (of 256).
  constexpr int32_t kOpacity[kBeamWidth] = {24, 64, 140, 230, 230, 140, 64, 24};
  constexpr int32_t kWhiteness[kBeamWidth] = {0, 0, 64, 192, 192, 64, 0, 0};
  Canvas canvas = make_canvas(kBeamWidth, kBeamHeight, tint);
  for (int32_t y = 0; y < kBeamHeight; ++y) {
    // Row 0 is the top: a quarter of the foot's opacity there.
    const int32_t fade = 64 + (256 - 64) * y / (kBeamHeight - 1);
    for (int32_t x = 0; x < kBeamWidth; ++x) {
      Rgba texel = mix(tint, core, kWhiteness[x]);
      texel.a = static_cast<uint8_t>(kOpacity[x] * fade / 256);
      set_pixel(canvas, x, y, texel);
    }
  }
  return canvas;
}

ObjMesh build_beam_mesh() {
  ObjMesh mesh;
  add_quad(mesh, {-500, 0, 0}, {500, 0, 0}, {500, 1000, 0}, {-500, 1000, 0},
           atlas_rect(0, 0, kBeamWidth, kBeamHeight, kBeamWidth, kBeamHeight));
  return mesh;
}

}  // namespace vel
