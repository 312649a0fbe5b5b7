// roofs.h: the roof plate pictures. The game repeats them twice along each
// side of a 15 x 15 roof, so each is one quarter of the roof and its edges
// form both the roof's rim and the seams across its middle.
#pragma once

#include "canvas.h"

namespace vel {

// An ordinary roof: tar membrane, a ventilation unit, a hatch with hazard
// stripes and rain puddles.
Canvas paint_roof_plate();

// The device station on the tallest tower: a landing pad with a glowing
// cyan ring around a charging cross, an amber-lit rim and magenta beacons.
Canvas paint_station_plate();

}  // namespace vel
