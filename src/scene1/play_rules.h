// play_rules.h: the played game's departures from the city's own rules, all
// in one place. The fixed run never turns them on (its input is all zero,
// so none of the rules they replace could reach it); veltrocane-play does,
// and so does veltrocane-sim --play-rules. Each departure is one function
// here, called from the frame driver only when scene.rules.on is set.
//
//   chips buy upgrades   each chip taken grants kPointsPerChip upgrade point
//   upgrade cap          no module goes past version kUpgradeCap + 1
//   refund on close      closing the panel with its key returns the drafts
//   energy floor         a jump or a shot needs its cost; energy stays >= 0
//   ground recharge      standing on a roof refills kGroundRecharge per second
//   station              the panel key closes the device menu; it opens again
//                        only after the player left the station's reach
//   devices              FORCE FIELD: the rope never snaps; FREQUENCY
//                        SCANNER: the overlay shows the nearest chip's
//                        distance; MAGNETIC says NOT AVAILABLE
//   levels               the last chip completes the level; a bigger city
//                        follows, the upgrades kept
//   fall                 a player fallen below the city starts again where
//                        the city began (it has no ground to land on)
#pragma once

#include <cstdint>

#include "scene1/city_scene.h"
#include "scene_api/settings.h"

namespace vel {

// Two points a chip. The cities of levels 1, 2 and 3 hold 4, 6 and 13
// chips: level 1 buys 8 of the 27 upgrades (3 modules up to kUpgradeCap
// each), level 2 brings the total to 20, and every module can reach its top
// during level 3, where the city is big enough to need it.
inline constexpr int32_t kPointsPerChip = 2;
// The modules' formulas reach their top values at level 9 (version 10).
inline constexpr int32_t kUpgradeCap = 9;
// A jump and a grapple shot cost what the city's rules take for them; a
// shot is asked for its hit cost, the dearer of its outcomes.
inline constexpr float kJumpCost = 0.1f;
inline constexpr float kShotCost = 0.05f;
// Energy a second on a roof: a jump's worth in 5 s, the full gauge in 50 s.
// Without it a player who spent the last battery would stand on a roof
// with no way off; batteries stay the quick way to refill.
inline constexpr float kGroundRecharge = 0.02f;
// The towers stand on y = 0 and the start is at most one block below a
// roof; a body this far down can only fall on.
inline constexpr float kFallFloor = -30.0f;
// Seconds of "LEVEL COMPLETE!" before the next city is built.
inline constexpr float kLevelCompleteDelay = 2.5f;

// The upgrade level the panel may raise a module to: kUpgradeCap with the
// rules, no limit without.
int32_t upgrade_cap(const PlayRules& rules);

// A pressed jump acts unless it would jump (on the ground) without the
// energy: then it says LOW ENERGY and does nothing. Air brakes are free.
bool rules_allow_jump(CityScene& scene);
// A pressed grapple acts unless it would shoot without the energy. Letting
// go of a rope is free.
bool rules_allow_shot(CityScene& scene);
// After the physics: energy is never below 0 (a snap may cost more than is
// left).
void rules_energy_floor(Economy& economy);
// On a roof, with the world running, energy refills slowly up to 1.
void rules_recharge(CityScene& scene, float step_dt);
// Below kFallFloor the body is put back as init placed it (rising from
// beside the lowest tower), the rope let go.
void rules_fall_back(CityScene& scene);

// Upgrade points for the chips taken this frame, and the level's end when
// the last one went.
void rules_chips_taken(CityScene& scene, size_t chips_before);
// Closing the panel with its key: the drafts are dropped and their points
// returned.
void rules_refund_drafts(Economy& economy);

// The station opens the device menu only when armed; leaving its reach
// arms it again.
void rules_station_test(CityScene& scene);
// The panel key over the device menu: the menu closes and the player moves
// again; the station stays shut until the player has left it.
void rules_close_device_menu(CityScene& scene);
// Select on a device: installs it, or says NOT AVAILABLE; never ends the
// game.
void rules_select_device(CityScene& scene);

// After the frame is drawn: once the LEVEL COMPLETE moment is over, the
// next city is built.
void rules_level_step(CityScene& scene, const Settings& settings, float time);
// A fresh city at `level` on the assets already loaded, keeping the
// upgrades, the points, the chip count, the installed devices, the ending,
// the drawing path and the rules. `time` starts its clock, as init's does.
void rebuild_at_level(CityScene& scene, const Settings& settings, float time, int32_t level);

}  // namespace vel
