// world_draw.cpp: the world pass of the frame (sky, city with distance
// culling and far-floor texture, traffic, rain, the flash) and the weather
// rules of the step (rain movement, storm timer, lightning timers).
#include "scene1/world_draw.h"

#include <algorithm>

#include "base/rng.h"
#include "base/saturate.h"
#include "gfx/camera.h"
#include "gfx/draw2d.h"
#include "gfx/mesh_draw.h"
#include "scene1/city_style.h"
#include "scene1/pickup_draw.h"

namespace vel {

namespace {

constexpr float kSkyRampStart = 10.0f;  // below this height the sky is flat fog

// What every object of one frame's world pass is drawn with.
struct WorldPass {
  const CityScene& scene;
  Lighting lighting;  // the scene's, with the fog the frame began with
  const RenderFlags& flags;
};

void draw_object(const WorldPass& pass, const SceneObject& object, uint64_t texture, Vec2 uv_offset,
                 Vec2 uv_scale, Framebuffer& target) {
  const CityScene& scene = pass.scene;
  if (object.mesh >= scene.assets.meshes.size() || texture >= scene.assets.textures.size()) return;
  draw_mesh(scene.assets.meshes[object.mesh],
            {.model = object.transform,
             .material = Material::textured(scene.assets.textures[texture]),
             .uv_offset = uv_offset,
             .uv_scale = uv_scale,
             .lighting = pass.lighting,
             .camera = scene.view.camera,
             .flags = pass.flags,
             .path = scene.raster_path},
            target);
}

bool beyond_view(const CityScene& scene, const SceneObject& object, Vec3 viewer, float* d) {
  *d = distance(viewer, translation_of(object.transform));
  return *d > scene.view.frame_distance + object.bound_radius;
}

void draw_sky(const CityScene& scene, const RenderFlags& flags, Framebuffer& target) {
  const Rgb fog = style_look(scene.city.style).fog_colour;
  const float y = scene.player.body.position.y;
  if (y > kSkyRampStart) {
    const float roofs = 15.0f * static_cast<float>(scene.city.height_steps) - kSkyRampStart;
    const float t = std::min((y - kSkyRampStart) / roofs, 1.0f);
    draw_sky_gradient(fog, sky_high_colour(scene.city.style, t), flags, target, 2.0f,
                      scene.view.pitch, kSkyFieldOfView);
  } else {
    clear_framebuffer(fog, flags, target);
  }
}

void draw_city(const WorldPass& pass, Framebuffer& target) {
  const CityScene& scene = pass.scene;
  const Vec3 viewer = scene.player.body.position;
  // At or below the ground the city is not drawn at all.
  if (viewer.y > 0.0f) {
    const uint64_t distant_floor = style_look(scene.city.style).distant_floor_texture;
    for (const SceneObject& object : scene.objects.statics) {
      if (!object.visible) continue;
      float d = 0.0f;
      if (beyond_view(scene, object, viewer, &d)) continue;
      const uint64_t texture = d >= kDistantDetail && object.kind == ObjectKind::floor_block
                                   ? distant_floor
                                   : object.texture;
      draw_object(pass, object, texture, object.uv_offset, object.uv_scale, target);
    }
    for (const SceneObject& fan : scene.objects.fans) {
      if (!fan.visible) continue;
      float d = 0.0f;
      if (beyond_view(scene, fan, viewer, &d)) continue;
      draw_object(pass, fan, fan.texture, fan.uv_offset, fan.uv_scale, target);
    }
  }
  // Vehicles have no visible flag and always draw with unscaled texture
  // coordinates.
  const Vec2 no_offset{0.0f, 0.0f};
  const Vec2 no_scale{1.0f, 1.0f};
  for (const std::vector<SceneObject>* list : {&scene.objects.cars, &scene.objects.drones}) {
    for (const SceneObject& vehicle : *list) {
      float d = 0.0f;
      if (beyond_view(scene, vehicle, viewer, &d)) continue;
      draw_object(pass, vehicle, vehicle.texture, no_offset, no_scale, target);
    }
  }
}

// Each drop is a streak three layout pixels long and one wide (N times that
// in the picture's pixels at scale N, so the rain looks the same at every
// scale) hanging down from its point; its weight squared is the streak's
// opacity.
void draw_rain(const std::vector<Vec3>& rain, CityStyle style, const RenderFlags& flags,
               Framebuffer& target) {
  const float grey = rain_grey(style);
  const float width = static_cast<float>(target.width);
  const float height = static_cast<float>(target.height);
  const int32_t n = target.scale;
  for (const Vec3& drop : rain) {
    const int32_t px = trunc_i32(width * drop.x);
    const int32_t py = trunc_i32(height * drop.y);
    // A streak hangs below its point: above the bottom row none of it is
    // on screen, and the bottom of a saturated py would overflow.
    if (py < 0) continue;
    const Colour colour{grey, grey, grey, drop.z * drop.z};
    blend_block({px, py - 3 * n + 1}, {n, 3 * n}, colour, flags, target);
  }
}

// A drop that leaves the screen on one side comes back on the other: below
// 0 add 1, then above 1 subtract 1.
float wrap_screen_fraction(float v) {
  if (v < 0.0f) v += 1.0f;
  if (v > 1.0f) v -= 1.0f;
  return v;
}

}  // namespace

Rgb sky_high_colour(CityStyle style, float t) {
  switch (style) {
    case CityStyle::grey_rain:
      return {0.5f + 0.3f * t, 0.5f + 0.3f * t, 0.5f + 0.3f * t};
    case CityStyle::storm:
      return {0.1f + 0.05f * t, 0.05f + 0.05f * t, 0.12f + 0.32f * t};
    case CityStyle::fan_roofs:
      return {0.05f, 0.27f + 0.33f * t, 0.03f};
    case CityStyle::clear_night:
    default:
      return {0.05f + 0.05f * t, 0.05f + 0.05f * t, 0.03f + 0.32f * t};
  }
}

float rain_grey(CityStyle style) {
  if (style == CityStyle::grey_rain) return 0.8f;
  if (style == CityStyle::storm) return 0.6f;
  return 0.0f;
}

void draw_world(const CityScene& scene, const RenderFlags& flags, Framebuffer& target) {
  WorldPass pass{scene, scene.view.lighting, flags};
  pass.lighting.fog_enabled = scene.view.frame_fog;
  draw_sky(scene, flags, target);
  draw_city(pass, target);
  if (scene.rules.draw_pickups) draw_pickups(scene, flags, target);
  if (has_rain(scene.city.style)) draw_rain(scene.weather.rain, scene.city.style, flags, target);
  if (scene.weather.flash_lit) brighten_framebuffer(flags, target, 1.0f);
}

// Waiting (fog on, short view) -> flashing (fog off, long view, picture
// doubled) -> re-armed. The two draws happen every frame, needed or not.
// The distance and fog chosen here take effect from the next frame.
void advance_lightning(CityScene& scene, float step_dt, FrameEvents& events) {
  ViewState& view = scene.view;
  view.frame_distance = view.distance;
  view.frame_fog = view.lighting.fog_enabled;
  const bool was_lit = scene.weather.flash_lit;
  scene.weather.flash_lit = false;
  if (scene.city.style != CityStyle::storm) return;
  Weather& weather = scene.weather;
  const int32_t r1 = rng_next(scene.rng_state);
  const int32_t r2 = rng_next(scene.rng_state);
  weather.lightning_wait -= step_dt;
  view.lighting.fog_enabled = true;
  view.distance = kStormViewDistance;
  if (weather.lightning_wait < 0.0f) {
    weather.lightning_flash -= step_dt;
    if (weather.lightning_flash > 0.0f) {
      view.lighting.fog_enabled = false;
      view.distance = kClearViewDistance;
      weather.flash_lit = true;
      if (!was_lit) events.add(EventKind::flash_began);
    } else {
      weather.lightning_wait = 0.5f + 9.5f * rng_unit(r1);
      weather.lightning_flash = 0.05f + 0.15f * rng_unit(r2);
    }
  }
}

void advance_rain(CityScene& scene, Vec2 look, float step_dt) {
  if (has_rain(scene.city.style)) {
    const bool light_rain = scene.city.style == CityStyle::grey_rain;
    const float sideways = light_rain ? 1.0f : 0.0f;  // jitter only in the light rain
    const float fall = light_rain ? 1.0f : 4.0f;      // the storm's rain falls faster
    // Rising and falling with the body shifts the streaks; looking down
    // (c = cos(pitch) < 1) slows their fall across the screen.
    const float v = std::clamp(scene.player.body.velocity.y / 5.0f, -1.0f, 1.0f);
    const float c = quaternion_matrix(scene.view.camera.orientation).at(1, 1);
    for (Vec3& drop : scene.weather.rain) {
      const int32_t r = rng_next(scene.rng_state);
      const float w = drop.z;
      drop.x +=
          (2.0f * rng_unit(r) - 1.0f) * step_dt * 0.2f * sideways * w - look.x * 0.5f * step_dt;
      drop.y -= (0.5f * w + v) * step_dt * c * fall;
      drop.x = wrap_screen_fraction(drop.x);
      drop.y = wrap_screen_fraction(drop.y);
    }
  }
  if (scene.city.style == CityStyle::storm) {
    scene.weather.storm_timer -= step_dt;
    if (scene.weather.storm_timer < 0.0f) {
      const int32_t r = rng_next(scene.rng_state);
      scene.weather.storm_timer = 5.0f + 5.0f * rng_unit(r);
    }
  }
}

}  // namespace vel
