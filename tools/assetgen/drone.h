// drone.h: the quad-rotor drone, its mesh and its picture (the mesh's
// texture coordinates point into that picture).
#pragma once

#include "canvas.h"
#include "obj_mesh.h"

namespace vel {

// 32 x 32 atlas: graphite body with a cyan sensor strip and a white strobe,
// carbon arms, blurred rotor discs, red and green navigation lights.
Canvas paint_drone_texture();

// A quad-rotor about 1.6 units across its rotors (2 across the diagonal),
// sensor strip towards +z, the direction of flight.
ObjMesh build_drone_mesh();

}  // namespace vel
