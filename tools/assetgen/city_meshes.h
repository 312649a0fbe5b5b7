// city_meshes.h: the two meshes the city is built from: the flat quad of
// the roof terraces and the one-storey building block.
#pragma once

#include "obj_mesh.h"

namespace vel {

// A square from -1 to 1 in its local x-y plane, texture 0..1 across it.
// It faces local -z: the game turns it about x by +pi/2 (local -z becomes
// world +y) and scales it by 7.5 into a roof, which must then face up to be
// landed on and to survive back-face culling from above.
ObjMesh build_quad_mesh();

// One storey: x and z from -7.5 to 7.5, y from 0 to 15, four walls facing
// out, each showing the whole facade picture once (u left to right seen
// from outside, v bottom to top). No top and no bottom: the roof terrace
// lies exactly at the top and a lid would hide it at equal depth.
ObjMesh build_block_mesh();

}  // namespace vel
