// world_draw.h: the world pass of the frame (sky, city, traffic, rain,
// lightning) and the weather rules of the world advance.
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

// Sky, city (only while the player is above ground), cars and drones, rain,
// and in the storm the lightning timer and flash. Mutates only the weather,
// the view's distance and fog switch, and the generator.
void draw_world(CityScene& scene, Framebuffer& target, float step_dt);
// Moves the rain drops (one draw each) and runs the storm timer.
void advance_rain(CityScene& scene, Vec2 look, float step_dt);

}  // namespace vel
