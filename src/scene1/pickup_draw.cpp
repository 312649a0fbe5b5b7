// pickup_draw.cpp: chips, batteries, their beams and the bursts of taken
// ones, drawn with the play art over the city picture.
#include "scene1/pickup_draw.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/saturate.h"
#include "gfx/matrix.h"
#include "gfx/mesh_draw.h"
#include "scene1/pickups.h"

namespace vel {

namespace {

// The items float up and down by this much around their place, each on a
// phase of its own so that neighbours do not move in step.
constexpr float kBobHeight = 0.12f;
constexpr float kBobRate = 2.4f;  // radians a second
constexpr float kBobPhasePerUnit = 0.5f;

// A beam is this wide near the viewer; further away it widens with the
// distance so it never thins below about four pixels of the picture.
constexpr float kBeamWidth = 0.3f;
constexpr float kBeamWidening = 0.016f;
// It rises from the roof to this far above the tallest roof (the station),
// and shows from anywhere in the city.
constexpr float kBeamAboveRoofs = 40.0f;
constexpr float kBeamRange = 400.0f;
// Share of the projection's far plane a far beam is brought within, and
// the height of the pieces it is then drawn in.
constexpr float kBeamPull = 0.92f;
constexpr float kBeamPiece = 6.0f;

// A burst: twelve small copies of the item fly out along the corners of an
// icosahedron, shrinking and turning as they go.
constexpr float kShardReach = 2.5f;
constexpr float kShardSize = 0.25f;
constexpr float kShardSpin = 9.0f;  // radians a second
constexpr float kIcoA = 0.5257311f;
constexpr float kIcoB = 0.8506508f;
constexpr Vec3 kShardDirections[12] = {
    {0.0f, kIcoA, kIcoB}, {0.0f, kIcoA, -kIcoB}, {0.0f, -kIcoA, kIcoB}, {0.0f, -kIcoA, -kIcoB},
    {kIcoA, kIcoB, 0.0f}, {kIcoA, -kIcoB, 0.0f}, {-kIcoA, kIcoB, 0.0f}, {-kIcoA, -kIcoB, 0.0f},
    {kIcoB, 0.0f, kIcoA}, {-kIcoB, 0.0f, kIcoA}, {kIcoB, 0.0f, -kIcoA}, {-kIcoB, 0.0f, -kIcoA}};

// What every draw of the pass shares.
struct PickupPass {
  const CityScene& scene;
  const PlayArt& art;
  Lighting lighting;  // the scene's with its fog off: the pickups are lights
  RenderFlags flags;
  Vec3 eye;
};

void draw_art(const PickupPass& pass, uint64_t mesh, uint64_t texture, const Mat4& model,
              const RenderFlags& flags, Framebuffer& target, Vec2 uv_offset = {0.0f, 0.0f},
              Vec2 uv_scale = {1.0f, 1.0f}) {
  draw_mesh(pass.art.meshes[mesh],
            {.model = model,
             .material = Material::textured(pass.art.textures[texture]),
             .uv_offset = uv_offset,
             .uv_scale = uv_scale,
             .lighting = pass.lighting,
             .camera = pass.scene.view.camera,
             .flags = flags,
             .path = pass.scene.raster_path},
            target);
}

// Scales the upper 3x3 of `model` by s.
void scale_turn(Mat4& model, float s) {
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) model.at(r, c) *= s;
  }
}

void draw_items(const PickupPass& pass, const std::vector<SceneObject>& items, uint64_t mesh,
                uint64_t texture, Framebuffer& target) {
  const float elapsed = pass.scene.clock.elapsed;
  for (const SceneObject& item : items) {
    const Vec3 at = translation_of(item.transform);
    if (distance(pass.eye, at) > pass.scene.view.frame_distance) continue;
    const float phase = kBobPhasePerUnit * (at.x + at.z);
    Mat4 model = item.transform;
    set_translation(model, {at.x, at.y + kBobHeight * std::sin(kBobRate * elapsed + phase), at.z});
    draw_art(pass, mesh, texture, model, pass.flags, target);
  }
}

// Where the projection puts its far plane: z / w reaches 1 at w = m23 /
// (1 + m22). Nothing wholly beyond it is drawn.
float far_plane(const Mat4& projection) {
  return projection.at(2, 3) / (1.0f + projection.at(2, 2));
}

// Each beam is an upright quad turned to face the viewer. A beam reaching
// beyond `pull` is drawn as a stack of pieces, each showing its share of
// the picture, and a piece whose far end lies beyond `pull` is shrunk about
// the eye until it lies within: the picture of a shape scaled about the eye
// is the same shape, so the piece shows where it stands, past the far plane
// that would drop it, and the depth test still hides it behind whatever is
// nearer than `pull`. Pieces within `pull` keep their true depth.
void draw_beams(const PickupPass& pass, const std::vector<SceneObject>& indicators,
                uint64_t texture, float top, float pull, Framebuffer& target) {
  RenderFlags flags = pass.flags;
  flags.cull_back_faces = 0;  // seen from its back when the eye is above its top
  const Vec3 eye = pass.eye;
  for (const SceneObject& indicator : indicators) {
    const Vec3 foot = translation_of(indicator.transform);
    const float height = top - foot.y;
    const float dx = eye.x - foot.x;
    const float dz = eye.z - foot.z;
    const float across = std::sqrt(dx * dx + dz * dz);
    if (!(height > 0.0f) || across > kBeamRange) continue;
    const float width = std::max(kBeamWidth, across * kBeamWidening);
    const Vec3 head{foot.x, top, foot.z};
    const bool whole = std::max(distance(eye, foot), distance(eye, head)) <= pull;
    const int32_t pieces = whole ? 1 : std::clamp(trunc_i32(height / kBeamPiece) + 1, 1, 64);
    const float piece = height / static_cast<float>(pieces);
    // The quad faces +z; the turn about y by atan2(dx, dz) faces it to the eye.
    const Mat4 turn = axis_rotation(1, std::atan2(dx, dz));
    for (int32_t k = 0; k < pieces; ++k) {
      const Vec3 low{foot.x, foot.y + piece * static_cast<float>(k), foot.z};
      const Vec3 high{foot.x, low.y + piece, foot.z};
      const float farthest = std::max(distance(eye, low), distance(eye, high));
      const float shrink = farthest > pull ? pull / farthest : 1.0f;
      Mat4 model = turn;
      for (int r = 0; r < 3; ++r) {
        model.at(r, 0) *= width * shrink;
        model.at(r, 1) *= piece * shrink;
        model.at(r, 2) *= shrink;
      }
      set_translation(model, eye + (low - eye) * shrink);
      const float share = 1.0f / static_cast<float>(pieces);
      draw_art(pass, play_mesh_slot::kBeam, texture, model, flags, target,
               Vec2{0.0f, share * static_cast<float>(k)}, Vec2{1.0f, share});
    }
  }
}

void draw_bursts(const PickupPass& pass, Framebuffer& target) {
  for (const PickupBurst& burst : pass.scene.objects.pickup_bursts) {
    const float t = std::clamp(burst.age / kPickupBurstLength, 0.0f, 1.0f);
    const float reach = kShardReach * (1.0f - (1.0f - t) * (1.0f - t));
    const float size = kShardSize * (1.0f - t);
    if (!(size > 0.0f)) continue;
    const bool battery = burst.kind == ObjectKind::battery;
    const uint64_t mesh = battery ? play_mesh_slot::kBattery : play_mesh_slot::kChip;
    const uint64_t texture = battery ? play_texture_slot::kBattery : play_texture_slot::kChip;
    const float spin = kShardSpin * burst.age;
    for (size_t k = 0; k < std::size(kShardDirections); ++k) {
      const float angle = spin + static_cast<float>(k);
      Mat4 model = mat4_mul(axis_rotation(0, angle), axis_rotation(1, 1.3f * angle));
      scale_turn(model, size);
      set_translation(model, burst.position + kShardDirections[k] * reach);
      draw_art(pass, mesh, texture, model, pass.flags, target);
    }
  }
}

}  // namespace

void draw_pickups(const CityScene& scene, const RenderFlags& flags, Framebuffer& target) {
  const PlayArt& art = scene.assets.play;
  if (art.meshes.size() < kPlayMeshSlots || art.textures.size() < kPlayTextureSlots) return;
  // At or below the ground the city is not drawn, and neither are these.
  if (!(scene.player.body.position.y > 0.0f)) return;
  PickupPass pass{scene, art, scene.view.lighting, flags, scene.view.camera.eye};
  pass.lighting.lighting_enabled = false;
  pass.lighting.fog_enabled = false;

  draw_items(pass, scene.objects.chips, play_mesh_slot::kChip, play_texture_slot::kChip, target);
  draw_items(pass, scene.objects.batteries, play_mesh_slot::kBattery, play_texture_slot::kBattery,
             target);
  draw_bursts(pass, target);
  // The beams go last: a beam's faint edges still write depth, and must not
  // hide an item or a shard behind them.
  const float top = scene.city.station_position.y + kBeamAboveRoofs;
  float pull = kBeamPull * far_plane(scene.view.camera.projection);
  if (!(pull > 0.0f) || !std::isfinite(pull)) pull = scene.view.frame_distance;
  draw_beams(pass, scene.objects.chip_indicators, play_texture_slot::kChipBeam, top, pull, target);
  draw_beams(pass, scene.objects.battery_indicators, play_texture_slot::kBatteryBeam, top, pull,
             target);
}

}  // namespace vel
