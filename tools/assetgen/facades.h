// facades.h: the building wall pictures: a storey of night windows (near and
// distant versions) and the street-level storey with its shops and signs.
#pragma once

#include <cstdint>

#include "canvas.h"

namespace vel {

// One 15-unit storey: 8 window columns by 4 window rows of dark glass with
// some warm, cool, dim and neon lit rooms. size is 64 (near floors) or 32
// (distant floors, the same rooms lit the same way).
Canvas paint_storey_facade(int32_t size);

// The street-level storey: one row of windows, a band of neon signs, an
// awning lit from below, two shops around a glass entrance, and the wet
// pavement edge reflecting them.
Canvas paint_street_facade();

}  // namespace vel
