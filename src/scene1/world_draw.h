// world_draw.h: the world pass of the frame (sky, city, traffic, rain, the
// lightning's light) and the weather rules of the frame's step (rain
// movement, storm timer, the lightning's timers).
#pragma once

#include "gfx/framebuffer.h"
#include "gfx/vec.h"
#include "scene1/city_scene.h"
#include "scene1/city_style.h"

namespace vel {

inline constexpr float kSkyFieldOfView = 39.375f;  // degrees, for the gradient's slide
inline constexpr float kDistantDetail = 100.0f;    // floors this far use the small texture
inline constexpr float kClearViewDistance = 150.0f;
inline constexpr float kStormViewDistance = 80.0f;

// The sky's upper colour at height factor t (0 at y = 10, 1 at the roofs).
Rgb sky_high_colour(CityStyle style, float t);
// Grey of the rain streaks; 0 for the dry styles.
float rain_grey(CityStyle style);

// Sky, city (only while the player is above ground), cars and drones, the
// pickups where the rules draw them, rain, and a lit flash doubling the
// picture, with the distance and fog the frame began with. Reads the scene
// only.
void draw_world(const CityScene& scene, const RenderFlags& flags, Framebuffer& target);
// Moves the rain drops (one draw each) and runs the storm timer.
void advance_rain(CityScene& scene, Vec2 look, float step_dt);
// In the storm, on every frame the city is drawn: two draws, the wait and
// the flash, the fog and view distance for the next frame; flash_began
// when a flash lights up. First records the distance and fog the frame's
// picture uses.
void advance_lightning(CityScene& scene, float step_dt, FrameEvents& events);

}  // namespace vel
