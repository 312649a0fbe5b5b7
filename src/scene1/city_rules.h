// city_rules.h: every rule the fixed run and the played game differ in, as
// one value, and the two values. The frame driver and the rules read the
// field that names their rule; nothing asks which program is running.
// Adding a rule: a field here with the fixed run's behaviour as its
// default, its play value in kPlayRules, and the code that reads it.
#pragma once

#include <cstdint>

namespace vel {

// What choosing a device on the device menu does.
enum class DeviceChoice : uint8_t {
  ends_run,  // the program stops with status 101 (the fixed run's unfinished ending)
  installs,  // FORCE FIELD and FREQUENCY SCANNER install, MAGNETIC is NOT AVAILABLE
};

// What becomes of a body that falls below the city.
enum class FallRule : uint8_t {
  falls_on,           // for ever: the city has no ground
  back_to_start,      // starts again where the city began
  back_to_last_roof,  // starts again on the roof it last stood on (the start before any)
};

// The city's own energy costs, in both programs: a jump on a roof, and a
// shot's dearest outcome (its hit).
inline constexpr float kJumpEnergyCost = 0.1f;
inline constexpr float kShotEnergyCost = 0.05f;
// The module formulas reach their top values at this level (version 10).
inline constexpr int32_t kModuleTopLevel = 9;

struct CityRules {
  int32_t points_per_chip = 0;         // upgrade points a chip grants
  int32_t module_cap = INT32_MAX;      // the highest level the panel raises a module to
  bool refund_on_close = false;        // the panel key returns the uncommitted drafts' points
  bool energy_floor = false;           // a jump or shot needs its cost; energy stays >= 0
  float ground_recharge = 0.0f;        // energy a second while standing on a roof
  FallRule fall = FallRule::falls_on;  // below fall_floor
  float fall_floor = 0.0f;             // read only with FallRule::back_to_start
  bool station_closable = false;       // the panel key closes the device menu
  DeviceChoice devices = DeviceChoice::ends_run;
  bool level_advance = false;  // the last chip completes the level; a bigger city follows
  // The grapple's feel.
  bool rope_hold = false;           // the rope holds while the key is held; letting go releases it
  float rope_damping = 0.0f;        // damps the motion along the rope (per second, unit mass)
  float rope_standoff = 0.0f;       // the rope pulls to this far out of the facade, not into it
  bool rope_reel = false;           // on a rope the two vertical keys reel in and out along it
  bool rope_leap = false;           // the jump key on a rope lets go with a jump's push up
  bool rope_climb = false;          // that leap, towards a roof's edge above, climbs over it
  bool leap_lands = false;          // that leap, coming down over a roof, stops over it
  bool rope_edge_below = false;     // a rope shot at the wall of a roof below catches its edge
  bool rope_spares_anchor = false;  // the block that holds the anchor never cuts its own rope
  float air_control = 0.0f;         // share of the walking thrust the walk keys give in the air
  // What the player is told.
  bool aim_query = false;           // the step finds what a shot would meet (the crosshair)
  bool edge_hint = false;           // walking towards a roof's edge says so
  bool stack_messages = false;      // a message floats up from above the crosshair, over another
  bool plain_pickup_words = false;  // "+1 CHIP" and its points, not the city's random count
  bool commit_on_close = false;     // the panel key keeps the drafts, as RESUME does
  bool player_panel = false;        // the panel as a player reads it (rows, points, QUIT, HELP)
  bool panel_options = false;       // the played panel's OPTIONS button (the program's menu)
  // Chips and batteries are drawn, each under a beam of light seen over
  // the roofs, and a taken one bursts (the play art is loaded for them).
  bool draw_pickups = false;
  bool operator==(const CityRules&) const = default;
};

// The fixed run: the city's rules as they are.
inline constexpr CityRules kFixedRunRules{};

// The played game. Two points a chip: the cities of levels 1, 2 and 3 hold
// 4, 6 and 13 chips, so level 1 buys 8 of the 27 upgrades, level 2 brings
// the total to 20, and every module can reach its top during level 3.
// Energy a second on a roof: a jump's worth in 5 s, the full gauge in 50 s,
// so a player who spent the last battery is never stuck on a roof. The
// towers stand on y = 0 and the start is at most one block below a roof: a
// body 30 under the streets can only fall on.
// The rope: damped so a swing from a facade settles within about 3 s, held
// 2 units out of the wall so the eye never meets it, reeled with the
// vertical keys, left with a leap (the jump key) onto the roof above (a
// climb over the edge when the rope caught a floor or two below it; a leap
// that comes down over a roof stops over it and drops onto it), and
// shot down at the wall of a lower roof it catches that roof's edge; a
// rope over a roof's edge is not cut by the block it holds on to; a
// quarter of the walking thrust steers in the air. A fall
// or a snapped rope costs the way back to the last roof, not the level.
// Closing the panel keeps what was bought: a purchase is never lost
// without a sign.
inline constexpr CityRules kPlayRules{
    .points_per_chip = 2,
    .module_cap = kModuleTopLevel,
    .refund_on_close = false,
    .energy_floor = true,
    .ground_recharge = 0.02f,
    .fall = FallRule::back_to_last_roof,
    .fall_floor = -30.0f,
    .station_closable = true,
    .devices = DeviceChoice::installs,
    .level_advance = true,
    .rope_hold = true,
    .rope_damping = 3.0f,
    .rope_standoff = 2.0f,
    .rope_reel = true,
    .rope_leap = true,
    .rope_climb = true,
    .leap_lands = true,
    .rope_edge_below = true,
    .rope_spares_anchor = true,
    .air_control = 0.25f,
    .aim_query = true,
    .edge_hint = true,
    .stack_messages = true,
    .plain_pickup_words = true,
    .commit_on_close = true,
    .player_panel = true,
    .panel_options = true,
    .draw_pickups = true,
};

// Seconds of "LEVEL COMPLETE!" before the next city is built.
inline constexpr float kLevelCompleteDelay = 2.5f;

}  // namespace vel
