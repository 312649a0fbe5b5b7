// geometry.h: the two collision queries of the game: a ray against a
// triangle (grapple picking) and a sphere against a triangle (the player
// body).
#pragma once

#include <cstdint>

#include "gfx/vec.h"

namespace vel {

struct RayHit {
  uint32_t hit = 0;  // 0 or 1; other fields carry no meaning when 0
  Vec3 point;
  float t = 0.0f;
};

struct Contact {
  bool touching = false;
  Vec3 closest;
};

// Front faces only: a ray running parallel or hitting from behind misses.
RayHit ray_triangle_hit(Vec3 origin, Vec3 direction, Vec3 a, Vec3 b, Vec3 c, Vec3 normal);
// Closest point of triangle abc to centre by Voronoi regions; touching when
// radius^2 >= distance^2.
Contact sphere_triangle_contact(Vec3 centre, Vec3 a, Vec3 b, Vec3 c, float radius);

}  // namespace vel
