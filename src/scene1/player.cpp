// player.cpp: the player body: jump and air brake, walking force, vertical
// moves, the fixed 0.01 s physics steps with collision against the city, and
// the first-person camera that follows it.
#include "scene1/player.h"

#include <algorithm>
#include <cmath>

#include "gfx/geometry.h"
#include "gfx/matrix.h"
#include "scene1/grapple.h"
#include "scene1/play_rules.h"

namespace vel {

namespace {

// Only statics whose bound sphere comes this close to the body are tested
// triangle by triangle.
constexpr float kCollisionReach = 20.0f;
constexpr float kAirDrag = 0.015f;  // drag force = -0.015 |v| v

Vec3 unit(Vec3 v) {
  return v / length(v);
}

bool is_finite(Vec3 v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

struct TriangleContact {
  bool touching = false;
  Vec3 closest;
  Vec3 normal;  // of the touched triangle, front side
};

// The first triangle of the object that the body touches from its front
// side; triangles the centre lies behind are ignored, so the body can never
// be pulled into a block through its far wall.
TriangleContact first_contact(const SceneObject& object, const Mesh& mesh, Vec3 centre) {
  TriangleContact result;
  const size_t triangles = mesh.corners.size() / 3;
  for (size_t t = 0; t < triangles; ++t) {
    const Corner* corner = &mesh.corners[3 * t];
    const Vec3 a = mat4_apply_point(object.transform, mesh.positions[corner[0].position]);
    const Vec3 b = mat4_apply_point(object.transform, mesh.positions[corner[1].position]);
    const Vec3 c = mat4_apply_point(object.transform, mesh.positions[corner[2].position]);
    const Vec3 n = unit(cross(b - a, c - a));
    if (dot(n, centre - a) < 0.0f) continue;
    const Contact contact = sphere_triangle_contact(centre, a, b, c, kPlayerRadius);
    if (contact.touching) {
      result.touching = true;
      result.closest = contact.closest;
      result.normal = n;
      return result;
    }
  }
  return result;
}

// Pushes the body out of every solid static it touches and sets on_ground
// and airborne from the contacts.
void collide(PlayerState& player, const std::vector<SceneObject>& statics,
             const std::vector<Mesh>& meshes, bool was_on_ground) {
  PlayerBody& body = player.body;
  for (const SceneObject& object : statics) {
    if (!object.solid || object.mesh >= meshes.size()) continue;
    // Only objects provably within reach are tested: a gap that is not a
    // number (a broken bound) keeps the object out rather than in.
    const float gap =
        distance(body.position, object.bound_center) - (object.bound_radius + kPlayerRadius);
    if (!(gap <= kCollisionReach)) continue;

    const bool roof = is_roof(object.kind);
    const TriangleContact contact = first_contact(object, meshes[object.mesh], body.position);
    if (!contact.touching) continue;

    // The last touching object of the step decides on_ground.
    player.on_ground = roof;
    if (roof) {
      if (!was_on_ground && player.airborne) player.airborne = false;  // landing
    } else {
      player.airborne = false;
    }

    // Push the centre out to exactly one radius from the closest point. A
    // centre lying exactly on the surface has no direction of its own; it
    // leaves along the triangle's normal rather than turning into NaN.
    const Vec3 away = body.position - contact.closest;
    const float away_length = length(away);
    const Vec3 out = away_length > 0.0f ? away / away_length : contact.normal;
    if (!is_finite(out)) continue;
    body.position = contact.closest + out * kPlayerRadius;

    if (!roof) {
      // Slide along the wall: keep only the velocity within its plane.
      const Vec3 n = unit(body.position - contact.closest);
      const Vec3 side = cross(n, body.velocity);
      if (!(side == Vec3{0.0f, 0.0f, 0.0f})) {
        const Vec3 along = unit(cross(side, n));
        body.velocity = along * dot(body.velocity, along);
      }
    }
  }
}

void apply_forces(PlayerState& player) {
  PlayerBody& body = player.body;
  if (player.on_ground) {
    // Heavy damping and no gravity: a body on a terrace comes to rest.
    body.damping = {kGroundDamping, kGroundDamping, kGroundDamping};
    return;
  }
  body.damping = {0.0f, 0.0f, 0.0f};
  body.force.y += -kGravity * body.gravity_scale;
  const float drag = -kAirDrag * length(body.velocity);
  body.force = body.force + body.velocity * drag;
}

// Integrates force and torque over h: position gets the velocity and half
// the acceleration term (v h + a h^2 / 2), velocity the full a h.
void integrate_body(PlayerBody& body, float h) {
  const float h_squared = h * h;
  body.force.x -= body.damping.x * body.velocity.x;
  body.force.y -= body.damping.y * body.velocity.y;
  body.force.z -= body.damping.z * body.velocity.z;
  const Vec3 a = body.force / body.mass;
  body.position.x += body.velocity.x * h + a.x * h_squared / 2.0f;
  body.position.y += body.velocity.y * h + a.y * h_squared / 2.0f;
  body.position.z += body.velocity.z * h + a.z * h_squared / 2.0f;
  body.velocity = body.velocity + a * h;

  // The angular part, integrated alike; nothing in the game applies torque,
  // so the orientation stays as created.
  const Vec3 tau{body.torque.x - body.angular_damping.x * body.angular_velocity.x,
                 body.torque.y - body.angular_damping.y * body.angular_velocity.y,
                 body.torque.z - body.angular_damping.z * body.angular_velocity.z};
  const float* inv = body.inverse_inertia;
  const Vec3 alpha{inv[0] * tau.x + inv[1] * tau.y + inv[2] * tau.z,
                   inv[3] * tau.x + inv[4] * tau.y + inv[5] * tau.z,
                   inv[6] * tau.x + inv[7] * tau.y + inv[8] * tau.z};
  const Vec3 w = body.angular_velocity;
  Quaternion& q = body.orientation;
  // dq = (h/2) (0, w) * q
  const float half = 0.5f * h;
  const Quaternion dq{
      half * (-w.x * q.x - w.y * q.y - w.z * q.z), half * (w.x * q.w + w.y * q.z - w.z * q.y),
      half * (w.y * q.w + w.z * q.x - w.x * q.z), half * (w.z * q.w + w.x * q.y - w.y * q.x)};
  q = {q.w + dq.w, q.x + dq.x, q.y + dq.y, q.z + dq.z};
  const float q_length = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
  if (q_length > 0.0f) q = {q.w / q_length, q.x / q_length, q.y / q_length, q.z / q_length};
  body.angular_velocity = body.angular_velocity + alpha * h;
}

// The walk keys' push: the horizontal parts of the view's axes as they are,
// not normalised before they are summed, then the sum scaled to `thrust`.
void push_along_walk(PlayerBody& body, uint32_t held, const CameraAxes& axes, float thrust) {
  Vec2 h{0.0f, 0.0f};
  if (held & kWalkForward) h = {h.x + axes.forward.x, h.y + axes.forward.z};
  if (held & kWalkBack) h = {h.x - axes.forward.x, h.y - axes.forward.z};
  if (held & kWalkLeft) h = {h.x - axes.right.x, h.y - axes.right.z};
  if (held & kWalkRight) h = {h.x + axes.right.x, h.y + axes.right.z};
  const float h_length = std::sqrt(h.x * h.x + h.y * h.y);
  if (!(h_length > 0.0f)) return;
  body.force.x += h.x / h_length * thrust;
  body.force.z += h.y / h_length * thrust;
}

// The jump's push at the jump module's level.
float jump_impulse(const Economy& economy) {
  return 1000.0f +
         6000.0f * static_cast<float>(economy.levels.jump) / static_cast<float>(kModuleTopLevel);
}

}  // namespace

CameraAxes camera_axes(const Camera& camera) {
  // The view matrix maps world to eye; its rows are the eye's axes in world
  // space. The eye looks down its -z.
  const Mat4 r = quaternion_matrix(camera.orientation);
  const Vec3 back{r.at(2, 0), r.at(2, 1), r.at(2, 2)};
  CameraAxes axes;
  axes.forward = unit(-back);
  axes.right = {r.at(0, 0), r.at(0, 1), r.at(0, 2)};
  return axes;
}

void player_jump(PlayerState& player, Economy& economy, float elapsed) {
  PlayerBody& body = player.body;
  if (player.on_ground) {
    const float impulse = jump_impulse(economy);
    body.force.y += impulse;
    // A running jump also pushes along the motion, never more than the
    // jump itself (a NaN in the minimum takes the jump).
    const float speed = length(body.velocity);
    if (speed >= 0.0001f) {
      const float carried = 30.0f * speed;
      const float push = carried < impulse ? carried : impulse;
      body.force = body.force + (body.velocity / speed) * push;
    }
    economy.energy -= kJumpEnergyCost;
    player.airborne = true;
    player.takeoff_time = elapsed;
  } else {
    // Air brake: only the upper bound is applied.
    body.force.x += std::min(-10.0f * body.velocity.x, 1000.0f);
    body.force.z += std::min(-10.0f * body.velocity.z, 1000.0f);
  }
}

void player_drive(PlayerState& player, int32_t drive_level, uint32_t held, const CameraAxes& axes) {
  if (!player.on_ground) return;
  const float thrust =
      100.0f + 300.0f * static_cast<float>(drive_level) / static_cast<float>(kModuleTopLevel);
  push_along_walk(player.body, held, axes, thrust);
}

void player_leap(PlayerState& player, Economy& economy, Vec3 forward, float elapsed) {
  PlayerBody& body = player.body;
  const float impulse = jump_impulse(economy);
  body.velocity = {body.velocity.x * 0.5f, std::max(body.velocity.y, 0.0f), body.velocity.z * 0.5f};
  body.force.y += impulse;
  const float flat = std::sqrt(forward.x * forward.x + forward.z * forward.z);
  if (flat > 0.0f) {
    body.force.x += forward.x / flat * 0.4f * impulse;
    body.force.z += forward.z / flat * 0.4f * impulse;
  }
  economy.energy -= kJumpEnergyCost;
  player.airborne = true;
  player.takeoff_time = elapsed;
}

void player_steer_in_air(PlayerState& player, float share, uint32_t held, const CameraAxes& axes) {
  if (player.on_ground || !(share > 0.0f)) return;
  push_along_walk(player.body, held, axes, 100.0f * share);
}

void player_reel(PlayerBody& body, uint32_t held, const GrappleState& grapple, float dt) {
  const Vec3 to_anchor = grapple.anchor - body.position;
  const float rope = length(to_anchor);
  if (!(rope > 0.0f)) return;
  const Vec3 along = to_anchor / rope;
  // Reeling in stops where the rope pulls to, out of the facade: closer,
  // the body is pressed into the wall and thrown off it, the rope swinging
  // back through the roof.
  const float shortest = std::max(kReelShortest, length(grapple.pull_offset));
  const float reel_in = std::min(10.0f * dt, rope - shortest);
  if ((held & kMoveWithView) && reel_in > 0.0f) body.position = body.position + along * reel_in;
  if (held & kMoveAgainstView) body.position = body.position - along * (10.0f * dt);
}

void player_vertical(PlayerBody& body, uint32_t held, Vec3 forward, float dt) {
  // Looking level (forward.y = 0) these do nothing.
  if (held & kMoveWithView) body.position.y += 10.0f * dt * forward.y;
  if (held & kMoveAgainstView) body.position.y -= 10.0f * dt * forward.y;
}

void physics_step(CityScene& scene) {
  const bool was_on_ground = scene.player.on_ground;
  scene.player.on_ground = false;
  collide(scene.player, scene.objects.statics, scene.assets.meshes, was_on_ground);
  apply_forces(scene.player);
  if (scene.progress.climb_steps_left > 0) rules_climb_step(scene);
  if (scene.grapple.attached) {
    grapple_pull(scene.grapple, scene.player.body, scene.objects, scene.economy, scene.hud.messages,
                 scene.clock.elapsed, scene.events, scene.rules);
  }
  integrate_body(scene.player.body, kPhysicsStep);
  scene.player.physics_accumulator -= kPhysicsStep;
  scene.player.body.force = {0.0f, 0.0f, 0.0f};
  scene.player.body.torque = {0.0f, 0.0f, 0.0f};
}

void physics_steps(CityScene& scene, float dt) {
  // Raw dt, also while paused: the body falls during the opening letterbox.
  scene.player.physics_accumulator += dt;
  // A frame owes at most a quarter second of steps: a long frame time (a
  // machine back from sleep, a damaged file) would otherwise spin for ever,
  // once the accumulator is too large for a step to lessen it. The time
  // past the ceiling is dropped, as the played game drops a long pause.
  int32_t steps = 0;
  while (scene.player.physics_accumulator >= kPhysicsStep) {
    if (steps == kMaxPhysicsStepsPerFrame) {
      scene.player.physics_accumulator = 0.0f;
      break;
    }
    physics_step(scene);
    ++steps;
  }
}

void camera_update(ViewState& view, const PlayerState& player, Vec2 look, float dt) {
  view.camera.eye = player.body.position;
  if (player.control_enabled) {
    view.yaw += 0.5f * dt * look.x;
    view.pitch += 0.5f * dt * look.y;
  }
  camera_look(view.camera, view.yaw, view.pitch, view.camera.eye);
}

}  // namespace vel
