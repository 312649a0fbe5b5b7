// antenna.h: the transmitter mast on the tallest tower, its mesh and its
// picture (the mesh's texture coordinates point into that picture).
#pragma once

#include "canvas.h"
#include "obj_mesh.h"

namespace vel {

// 32 x 32: red and white mast bands, beacon light, bare metal, panel
// antennas and the concrete plinth.
Canvas paint_antenna_texture();

// A banded lattice-style mast about 5 units tall standing on y = 0 (the
// game scales it by 3), with two cross arms, two panel antennas and red
// beacons at the tip and the arm ends.
ObjMesh build_antenna_mesh();

}  // namespace vel
