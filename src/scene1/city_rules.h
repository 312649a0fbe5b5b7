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
  falls_on,       // for ever: the city has no ground
  back_to_start,  // starts again where the city began
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
inline constexpr CityRules kPlayRules{
    .points_per_chip = 2,
    .module_cap = kModuleTopLevel,
    .refund_on_close = true,
    .energy_floor = true,
    .ground_recharge = 0.02f,
    .fall = FallRule::back_to_start,
    .fall_floor = -30.0f,
    .station_closable = true,
    .devices = DeviceChoice::installs,
    .level_advance = true,
    .draw_pickups = true,
};

// Seconds of "LEVEL COMPLETE!" before the next city is built.
inline constexpr float kLevelCompleteDelay = 2.5f;

}  // namespace vel
