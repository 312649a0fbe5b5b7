// grapple.cpp: the grapple: the shot along the view (release, drones, cars,
// solid statics), the rope's pull and snap inside each physics step, the
// captured-drone bursts, the cooldown, and drawing the rope and the bursts.
#include "scene1/grapple.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "base/saturate.h"
#include "gfx/draw2d.h"
#include "gfx/geometry.h"
#include "gfx/matrix.h"
#include "scene1/hud_message.h"
#include "scene_api/asset_slots.h"

namespace vel {

namespace {

// A shot whose nearest hit lies this far or farther is a miss.
constexpr float kGrappleRange = 200.0f;
constexpr float kMaxPull = 100.0f;
// How fast a rope on a lower roof's edge draws the body onto it.
constexpr float kEdgeDrawSpeed = 10.0f;
// Buildings snap the rope as axis-aligned boxes one block (15 units) tall,
// standing on their translation.
constexpr float kBlockHalf = 7.5f;
// A burst advances one frame every 0.05 s and is gone after frame 9.
constexpr float kBurstFrameTime = 0.05f;
constexpr int32_t kBurstLastFrame = 9;

constexpr float kMissCost = -0.01f;
constexpr float kHitCost = -kShotEnergyCost;  // the dearer outcome: what the floor asks
constexpr float kSnapCost = 0.15f;

enum class HitKind { none = 0, surface = 1, drone = 2, car = 3 };

void add_message(CityScene& scene, const char* text, Colour colour) {
  post_message(scene.hud.messages, text, colour, scene.clock.elapsed);
}

// The ray against a bound sphere by the quadratic a t^2 + b t + c = 0;
// the nearer root, meaningful only when the discriminant is not negative.
struct SphereCrossing {
  float discriminant = -1.0f;
  float t = 0.0f;
};

SphereCrossing ray_sphere(Vec3 origin, Vec3 direction, Vec3 centre, float radius) {
  const Vec3 offset = origin - centre;
  const float a = dot(direction, direction);
  const float b = dot(direction * 2.0f, offset);
  const float c = length_squared(offset) - radius * radius;
  SphereCrossing crossing;
  crossing.discriminant = b * b - 4.0f * a * c;
  if (crossing.discriminant >= 0.0f) {
    crossing.t = (-b - std::sqrt(crossing.discriminant)) / (2.0f * a);
  }
  return crossing;
}

struct ShotResult {
  float best = std::numeric_limits<float>::max();
  HitKind kind = HitKind::none;
  size_t index = 0;
  Vec3 normal;
};

// Bound spheres of one list; only a strictly nearer hit replaces the best,
// so at equal distance the list searched first keeps it.
void shoot_spheres(const std::vector<SceneObject>& objects, HitKind kind, Vec3 origin,
                   Vec3 direction, ShotResult& shot) {
  for (size_t i = 0; i < objects.size(); ++i) {
    const SphereCrossing crossing =
        ray_sphere(origin, direction, objects[i].bound_center, objects[i].bound_radius);
    if (crossing.discriminant >= 0.0f && crossing.t >= 0.0f && crossing.t < shot.best) {
      shot.best = crossing.t;
      shot.kind = kind;
      shot.index = i;
    }
  }
}

void shoot_statics(const std::vector<SceneObject>& statics, const std::vector<Mesh>& meshes,
                   Vec3 origin, Vec3 direction, ShotResult& shot) {
  for (size_t index = 0; index < statics.size(); ++index) {
    const SceneObject& object = statics[index];
    if (!object.solid || object.mesh >= meshes.size()) continue;
    // The bound sphere only filters: its crossing distance does not matter.
    if (ray_sphere(origin, direction, object.bound_center, object.bound_radius).discriminant <
        0.0f) {
      continue;
    }
    const Mesh& mesh = meshes[object.mesh];
    const size_t count = mesh.positions.size();
    for (size_t k = 0; k + 2 < mesh.corners.size(); k += 3) {
      const Corner* corner = &mesh.corners[k];
      if (corner[0].position >= count || corner[1].position >= count ||
          corner[2].position >= count) {
        continue;
      }
      const Vec3 a = mat4_apply_point(object.transform, mesh.positions[corner[0].position]);
      const Vec3 b = mat4_apply_point(object.transform, mesh.positions[corner[1].position]);
      const Vec3 c = mat4_apply_point(object.transform, mesh.positions[corner[2].position]);
      const Vec3 edge_normal = cross(b - a, c - a);
      const float edge_length = length(edge_normal);
      if (!(edge_length > 0.0f)) continue;  // no area, nothing to hit
      const Vec3 normal = edge_normal / edge_length;
      // Seen from behind (the shooter is on the inner side): not a surface.
      if (dot(normal, a - origin) > 0.0f) continue;
      const RayHit hit = ray_triangle_hit(origin, direction, a, b, c, normal);
      if (hit.hit != 0 && hit.t >= 0.0f && hit.t < shot.best) {
        shot.best = hit.t;
        shot.kind = HitKind::surface;
        shot.index = index;
        shot.normal = normal;
      }
    }
  }
}

SceneObject hit_indicator(Vec3 point) {
  SceneObject marker;
  marker.kind = ObjectKind::hit_marker;
  marker.name = "hitindicator";
  marker.mesh = mesh_slot::kCar;
  marker.texture = texture_slot::kStationTerrace;
  set_translation(marker.transform, point);
  marker.visible = true;
  marker.solid = false;
  return marker;
}

// The separating-axis test of the segment (centre m, half h) against a
// cube of half-size kBlockHalf whose centre is box_centre.
bool segment_meets_block(Vec3 m, Vec3 h, Vec3 box_centre) {
  const Vec3 c = m - box_centre;
  const float hx = std::fabs(h.x);
  const float hy = std::fabs(h.y);
  const float hz = std::fabs(h.z);
  if (std::fabs(c.x) > kBlockHalf + hx) return false;
  if (std::fabs(c.y) > kBlockHalf + hy) return false;
  if (std::fabs(c.z) > kBlockHalf + hz) return false;
  if (std::fabs(c.x * h.y - c.y * h.x) > kBlockHalf * (hx + hy)) return false;
  if (std::fabs(c.y * h.z - c.z * h.y) > kBlockHalf * (hy + hz)) return false;
  if (std::fabs(c.z * h.x - c.x * h.z) > kBlockHalf * (hz + hx)) return false;
  return true;
}

// Screen position of a world point, or false when it lies behind the eye.
bool project_to_screen(const Camera& camera, Vec3 point, int32_t width, int32_t height,
                       Vec2& screen) {
  const Vec4 clip = mat4_apply(camera.view_projection, point);
  if (!(clip.w > 0.0001f)) return false;
  const float x = clip.x / clip.w;
  const float y = clip.y / clip.w;
  screen = {(x + 1.0f) * 0.5f * static_cast<float>(width),
            (y + 1.0f) * 0.5f * static_cast<float>(height)};
  return std::isfinite(screen.x) && std::isfinite(screen.y);
}

// Cuts the segment a-b to the picture (one pixel of margin) so that a far
// projected anchor never makes draw_line walk millions of columns. False
// when nothing of it is on the picture.
bool clip_to_picture(Vec2& a, Vec2& b, float width, float height) {
  float t0 = 0.0f;
  float t1 = 1.0f;
  const float dx = b.x - a.x;
  const float dy = b.y - a.y;
  const float p[4] = {-dx, dx, -dy, dy};
  const float q[4] = {a.x + 1.0f, width - a.x, a.y + 1.0f, height - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0f) {
      if (q[i] < 0.0f) return false;
      continue;
    }
    const float r = q[i] / p[i];
    if (p[i] < 0.0f) {
      t0 = std::max(t0, r);
    } else {
      t1 = std::min(t1, r);
    }
    if (t0 > t1) return false;
  }
  const Vec2 start = a;
  a = {start.x + dx * t0, start.y + dy * t0};
  b = {start.x + dx * t1, start.y + dy * t1};
  return true;
}

Point2 to_pixel(Vec2 p) {
  return {trunc_i32(p.x), trunc_i32(p.y)};
}

void draw_rope(const GrappleState& grapple, const std::vector<SceneObject>& cars,
               const ViewState& view, const RenderFlags& flags, Framebuffer& target) {
  Vec3 anchor = grapple.anchor;
  // Follow the car in the picture too, also before the first physics step
  // after the hit has moved the anchor onto it.
  if (grapple.anchor_car >= 0 && static_cast<size_t>(grapple.anchor_car) < cars.size()) {
    anchor = translation_of(cars[static_cast<size_t>(grapple.anchor_car)].transform);
  }
  Vec2 end;
  if (!project_to_screen(view.camera, anchor, layout_width(target), layout_height(target), end))
    return;
  // The rope leaves from just below the view centre, where the hand is.
  Vec2 start{static_cast<float>(layout_width(target) / 2),
             static_cast<float>(layout_height(target) / 2 - 6)};
  if (!clip_to_picture(start, end, static_cast<float>(layout_width(target)),
                       static_cast<float>(layout_height(target)))) {
    return;
  }
  draw_line(to_pixel(start), to_pixel(end), Colour{0.6f, 0.7f, 0.8f, 1.0f},
            Colour{0.9f, 0.95f, 1.0f, 0.6f}, flags, target);
}

// Eight short rays pushed outward and fading as the burst ages.
void draw_burst(const ViewState& view, const DroneBurst& burst, const RenderFlags& flags,
                Framebuffer& target) {
  static constexpr Vec2 kRays[8] = {{1.0f, 0.0f},        {0.7071f, 0.7071f}, {0.0f, 1.0f},
                                    {-0.7071f, 0.7071f}, {-1.0f, 0.0f},      {-0.7071f, -0.7071f},
                                    {0.0f, -1.0f},       {0.7071f, -0.7071f}};
  Vec2 centre;
  if (!project_to_screen(view.camera, burst.position, layout_width(target), layout_height(target),
                         centre)) {
    return;
  }
  const float age = static_cast<float>(burst.frame);
  const float inner = 2.0f + age;
  const float outer = 4.0f + 2.0f * age;
  // Off the picture by more than the longest ray: nothing to draw.
  if (centre.x < -outer || centre.y < -outer ||
      centre.x > static_cast<float>(layout_width(target)) + outer ||
      centre.y > static_cast<float>(layout_height(target)) + outer) {
    return;
  }
  const float fade = 1.0f - age / 10.0f;
  const Colour hot{1.0f, 1.0f, 0.8f, fade};
  const Colour cool{1.0f, 0.5f, 0.1f, 0.0f};
  for (const Vec2 ray : kRays) {
    const Point2 from = to_pixel({centre.x + ray.x * inner, centre.y + ray.y * inner});
    const Point2 to = to_pixel({centre.x + ray.x * outer, centre.y + ray.y * outer});
    draw_line(from, to, hot, cool, flags, target);
  }
}

}  // namespace

void grapple_release(CityScene& scene) {
  // Letting go is free and does not reload; it also drops whatever was
  // pushed on the body earlier in this frame (a jump, say).
  scene.grapple.attached = false;
  scene.grapple.anchor_car = -1;
  scene.player.body.force = {};
  scene.player.body.torque = {};
  add_message(scene, message_text::kReleased, Colour{0.0f, 0.3f, 1.0f, 1.0f});
  scene.events.add(EventKind::grapple_released);
}

void grapple_fire(CityScene& scene, Vec3 forward) {
  if (scene.grapple.cooldown != 0.0f) return;

  if (scene.grapple.attached) {
    grapple_release(scene);
    return;
  }

  const Vec3 origin = scene.player.body.position;
  scene.events.add(EventKind::shot_fired);
  ShotResult shot;
  // Drones, then cars, then statics: a later hit must be strictly nearer.
  shoot_spheres(scene.objects.drones, HitKind::drone, origin, forward, shot);
  shoot_spheres(scene.objects.cars, HitKind::car, origin, forward, shot);
  shoot_statics(scene.objects.statics, scene.assets.meshes, origin, forward, shot);

  float energy_change = kHitCost;
  if (shot.best >= kGrappleRange) {
    add_message(scene, message_text::kMissed, Colour{1.0f, 0.3f, 0.3f, 1.0f});
    scene.events.add(EventKind::grapple_missed);
    energy_change = kMissCost;
  } else {
    const Vec3 point = origin + forward * shot.best;
    switch (shot.kind) {
      case HitKind::surface:
        scene.objects.markers.push_back(hit_indicator(point));
        scene.grapple.attached = true;
        scene.grapple.anchor = point;
        scene.grapple.anchor_static = static_cast<int32_t>(shot.index);
        // The snap test runs to just outside the surface, so the building
        // that holds the anchor does not cut its own rope.
        scene.grapple.rope_end = point + shot.normal * 0.2f;
        scene.grapple.pull_offset = shot.normal * scene.rules.rope_standoff;
        add_message(scene, message_text::kEngaged, Colour{0.0f, 1.0f, 0.2f, 1.0f});
        scene.events.add(EventKind::grapple_engaged, 0.0f, point);
        break;
      case HitKind::drone:
        add_message(scene, message_text::kDroneCaught, Colour{0.5f, 1.0f, 1.0f, 1.0f});
        scene.events.add(EventKind::grapple_drone, 0.0f, point);
        scene.objects.drones.erase(scene.objects.drones.begin() +
                                   static_cast<std::ptrdiff_t>(shot.index));
        scene.grapple.drone_bursts.push_back(DroneBurst{point, 0, 0.0f});
        break;
      case HitKind::car:
        scene.grapple.anchor_car = static_cast<int32_t>(shot.index);
        scene.grapple.anchor_static = -1;
        scene.grapple.attached = true;
        scene.grapple.pull_offset = {};
        add_message(scene, message_text::kCarHitched, Colour{0.0f, 1.0f, 0.2f, 1.0f});
        scene.events.add(EventKind::grapple_car, 0.0f, point);
        break;
      case HitKind::none:
        break;  // unreachable: no hit leaves best at the largest float
    }
  }
  scene.economy.energy += energy_change;
  scene.grapple.cooldown = scene.grapple.reload;
}

void grapple_pull(GrappleState& grapple, PlayerBody& body, const CityObjects& objects,
                  Economy& economy, std::vector<HudMessage>& messages, float elapsed,
                  FrameEvents& events, const CityRules& rules) {
  if (grapple.anchor_car >= 0 && static_cast<size_t>(grapple.anchor_car) < objects.cars.size()) {
    grapple.anchor =
        translation_of(objects.cars[static_cast<size_t>(grapple.anchor_car)].transform);
    grapple.rope_end = grapple.anchor;
  }

  // With a standoff the rope pulls to a point held out of the facade.
  const Vec3 target =
      rules.rope_standoff > 0.0f ? grapple.anchor + grapple.pull_offset : grapple.anchor;
  const Vec3 to_anchor = target - body.position;
  const float rope_length = length(to_anchor);
  // A spring that grows with the rope's length and the pull upgrade, capped.
  const float stiffness =
      2.0f * static_cast<float>(economy.levels.pull) / static_cast<float>(kModuleTopLevel) + 1.0f;
  const float pull = std::min(rope_length * stiffness, kMaxPull);
  // At the anchor itself the direction is undefined and the pull is 0
  // anyway; dividing by the zero length would poison the body with NaN.
  if (rope_length > 0.0f) {
    const Vec3 along = to_anchor / rope_length;
    body.force = body.force + along * pull;
    // A rope on a lower roof's edge draws the body straight onto the roof
    // at a steady speed, its weight carried: no swing under the edge.
    if (grapple.edge_caught) {
      body.force = {};
      body.velocity = along * std::min(kEdgeDrawSpeed, rope_length / kPhysicsStep);
    }
    // Damping the motion along the rope settles a bounce; a quarter of it
    // across the rope lets a swing die down instead of going on for ever.
    if (rules.rope_damping > 0.0f && !grapple.edge_caught) {
      const float closing = dot(body.velocity, along);
      const Vec3 across = body.velocity - along * closing;
      body.force = body.force - along * (rules.rope_damping * closing) -
                   across * (0.25f * rules.rope_damping);
    }
  }

  const Vec3 middle = (body.position + grapple.rope_end) / 2.0f;
  const Vec3 half = grapple.rope_end - middle;
  const float half_length = length(half);
  if (!grapple.snaps) return;
  for (size_t index = 0; index < objects.statics.size(); ++index) {
    const SceneObject& object = objects.statics[index];
    if (object.kind != ObjectKind::floor_block) continue;
    // A rope shot over a roof's edge from below crosses the corner of the
    // very block it holds: that block does not cut it.
    if (rules.rope_spares_anchor && static_cast<int32_t>(index) == grapple.anchor_static) continue;
    if (distance(middle, object.bound_center) > object.bound_radius + half_length) continue;
    const Vec3 base = translation_of(object.transform);
    const Vec3 box_centre{base.x, base.y + kBlockHalf, base.z};
    if (segment_meets_block(middle, half, box_centre)) {
      grapple.attached = false;
      grapple.anchor_car = -1;
      post_message(messages, message_text::kSnapped, Colour{1.0f, 0.5f, 0.0f, 1.0f}, elapsed);
      economy.energy -= kSnapCost;
      events.add(EventKind::grapple_snapped);
      return;
    }
  }
}

AimKind grapple_aim(const CityScene& scene, Vec3 forward, float& distance) {
  distance = 0.0f;
  if (scene.grapple.attached) return AimKind::none;
  const Vec3 origin = scene.player.body.position;
  ShotResult shot;
  shoot_spheres(scene.objects.drones, HitKind::drone, origin, forward, shot);
  shoot_spheres(scene.objects.cars, HitKind::car, origin, forward, shot);
  shoot_statics(scene.objects.statics, scene.assets.meshes, origin, forward, shot);
  if (shot.best >= kGrappleRange) return AimKind::out_of_range;
  distance = shot.best;
  return shot.kind == HitKind::surface ? AimKind::facade : AimKind::vehicle;
}

StaticHit nearest_static(const CityScene& scene, Vec3 origin, Vec3 direction) {
  ShotResult shot;
  shoot_statics(scene.objects.statics, scene.assets.meshes, origin, direction, shot);
  if (shot.kind == HitKind::none) return {};
  return {shot.best, static_cast<int32_t>(shot.index)};
}

float distance_to_statics(const CityScene& scene, Vec3 origin, Vec3 direction) {
  return nearest_static(scene, origin, direction).distance;
}

void drone_bursts_update(std::vector<DroneBurst>& bursts, float step_dt) {
  for (size_t i = bursts.size(); i-- > 0;) {
    DroneBurst& burst = bursts[i];
    burst.timer += step_dt;
    if (burst.timer > kBurstFrameTime) {
      burst.timer = 0.0f;
      burst.frame += 1;
    }
    if (burst.frame > kBurstLastFrame) {
      bursts.erase(bursts.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

void grapple_cooldown_update(GrappleState& grapple, float step_dt) {
  grapple.cooldown = std::max(0.0f, grapple.cooldown - step_dt);
}

void draw_grapple_effects(const GrappleState& grapple, const std::vector<SceneObject>& cars,
                          const ViewState& view, const RenderFlags& flags, Framebuffer& target) {
  if (grapple.attached) draw_rope(grapple, cars, view, flags, target);
  for (const DroneBurst& burst : grapple.drone_bursts) draw_burst(view, burst, flags, target);
}

}  // namespace vel
