// geometry.cpp: the ray-triangle query behind grapple picking and the
// sphere-triangle query behind the player's collisions.
#include "gfx/geometry.h"

namespace vel {

RayHit ray_triangle_hit(Vec3 origin, Vec3 direction, Vec3 a, Vec3 b, Vec3 c, Vec3 normal) {
  RayHit result;
  // Front faces only: the ray must run against the normal. The small margin
  // also rejects rays grazing along the plane.
  const float denom = dot(normal, direction);
  if (denom >= -1e-5f) return result;
  const float s = dot(normal, origin - a);
  if (s < 0.0f) return result;  // origin behind the plane
  const float t = -s / denom;
  const Vec3 point = origin + direction * t;

  // Cheap reject before the barycentric test: farther from a than both
  // other corners means outside the triangle.
  const Vec3 e0 = b - a;
  const Vec3 e1 = c - a;
  const Vec3 e2 = point - a;
  const float d22 = dot(e2, e2);
  if (d22 > dot(e0, e0) && d22 > dot(e1, e1)) return result;

  const float d00 = dot(e0, e0);
  const float d01 = dot(e0, e1);
  const float d11 = dot(e1, e1);
  const float d20 = dot(e2, e0);
  const float d21 = dot(e2, e1);
  // A degenerate triangle makes inv infinite and the weights NaN, which fail
  // every comparison below: no hit.
  const float inv = 1.0f / (d00 * d11 - d01 * d01);
  const float beta = (d11 * d20 - d01 * d21) * inv;
  const float gamma = (d00 * d21 - d01 * d20) * inv;
  if (beta >= 0.0f && gamma >= 0.0f && beta + gamma <= 1.0f) {
    result.hit = 1;
    result.point = point;
    result.t = t;
  }
  return result;
}

// Closest point by Voronoi regions: the three corners, the three edges, then
// the face, each region tested in this order so ties resolve the same way
// every time.
static Vec3 closest_on_triangle(Vec3 p, Vec3 a, Vec3 b, Vec3 c) {
  const Vec3 ab = b - a;
  const Vec3 ac = c - a;
  const Vec3 ap = p - a;
  const float d1 = dot(ab, ap);
  const float d2 = dot(ac, ap);
  if (d1 <= 0.0f && d2 <= 0.0f) return a;

  const Vec3 bp = p - b;
  const float d3 = dot(ab, bp);
  const float d4 = dot(ac, bp);
  if (d3 >= 0.0f && d4 <= d3) return b;

  const float vc = d1 * d4 - d3 * d2;
  if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f) return a + ab * d1 / (d1 - d3);

  const Vec3 cp = p - c;
  const float d5 = dot(ab, cp);
  const float d6 = dot(ac, cp);
  if (d6 >= 0.0f && d5 <= d6) return c;

  const float vb = d5 * d2 - d1 * d6;
  if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f) return a + ac * d2 / (d2 - d6);

  const float va = d3 * d6 - d5 * d4;
  if (va <= 0.0f && d4 - d3 >= 0.0f && d5 - d6 >= 0.0f) {
    return b + (c - b) * (d4 - d3) / ((d4 - d3) + (d5 - d6));
  }

  const float k = 1.0f / (va + vb + vc);
  return a + ab * (vb * k) + ac * (vc * k);
}

Contact sphere_triangle_contact(Vec3 centre, Vec3 a, Vec3 b, Vec3 c, float radius) {
  Contact contact;
  contact.closest = closest_on_triangle(centre, a, b, c);
  // Equal distance counts as touching.
  contact.touching = radius * radius >= length_squared(contact.closest - centre);
  return contact;
}

}  // namespace vel
