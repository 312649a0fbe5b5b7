// car.h: the flying car, its mesh and its picture (the mesh's texture
// coordinates point into that picture).
#pragma once

#include "canvas.h"
#include "obj_mesh.h"

namespace vel {

// 64 x 64 atlas: crimson body paint with a cyan side stripe, canopy glass,
// headlights, a red tail-light bar, dark underside, glowing thrusters.
Canvas paint_car_texture();

// A 4.6-unit flying car, nose towards +z (the game moves vehicles along
// their own +z): hull with sloped nose and raised tail, a glass canopy, a
// rear wing on struts and four hover pods with thrusters underneath.
ObjMesh build_car_mesh();

}  // namespace vel
