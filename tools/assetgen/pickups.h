// pickups.h: the played game's chips and batteries as they are drawn, and
// the beams of light that mark them from afar: meshes and pictures (the
// meshes' texture coordinates point into their pictures).
#pragma once

#include "canvas.h"
#include "obj_mesh.h"

namespace vel {

// Which pickup a beam marks: each has its own colour.
enum class BeamHue { chip, battery };

// 32 x 32 atlas: a dark teal circuit face with bright cyan traces, gold
// contact pads and a white-hot die in the middle; the glowing rim; the
// die's top and sides. Bright on purpose: the game draws it unlit and
// unfogged, as a light of its own.
Canvas paint_chip_texture();

// A circuit tile 1.1 units square and 0.2 thick with a raised die on both
// faces, centred on the origin (the scene turns it about x and y).
ObjMesh build_chip_mesh();

// 32 x 32 atlas: an amber cell with steel ends and a wide green charge band
// in four segments; the caps' discs; the terminal.
Canvas paint_battery_texture();

// An eight-sided cell 0.72 across and 1.1 tall with a terminal on top,
// centred on the origin.
ObjMesh build_battery_mesh();

// 8 x 32 with alpha: a white core fading to the hue at the sides and to
// almost nothing at the top, so a beam reads as light rising from its foot.
Canvas paint_beam_texture(BeamHue hue);

// One upright quad, x -0.5..0.5 and y 0..1 in the plane z = 0, facing +z:
// the scene scales it to a beam's width and height and turns it to the
// viewer.
ObjMesh build_beam_mesh();

}  // namespace vel
