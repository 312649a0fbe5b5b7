// play_rules.h: the rules of the played game that the fixed run does not
// have, one function each. The frame driver calls each one when the field
// of CityRules (city_rules.h) that names it asks for it:
//
//   points_per_chip   each chip taken grants that many upgrade points
//   module_cap        no module goes past version module_cap + 1
//   refund_on_close   closing the panel with its key returns the drafts
//   energy_floor      a jump or a shot needs its cost; energy stays >= 0
//   ground_recharge   standing on a roof refills that much per second
//   station_closable  the panel key closes the device menu; it opens again
//                     only after the player left the station's reach
//   devices           FORCE FIELD: the rope never snaps; FREQUENCY
//                     SCANNER: the overlay shows the nearest chip's
//                     distance; MAGNETIC says NOT AVAILABLE
//   level_advance     the last chip completes the level; a bigger city
//                     follows, the upgrades kept
//   rope_climb        the leap off a facade rope towards the facade, with
//                     the roof's edge above the body and within reach,
//                     climbs up the wall and over the edge onto the roof
//   rope_edge_below   a rope shot down at the wall of a roof lower than the
//                     body catches that roof's edge instead: the swing
//                     ends on the roof, not under it against the wall
//   fall              a player fallen below fall_floor starts again where
//                     the city began (it has no ground to land on)
#pragma once

#include <cstdint>

#include "scene1/city_scene.h"
#include "scene_api/settings.h"

namespace vel {

// A pressed jump acts unless it would jump (on the ground) without the
// energy: then it says LOW ENERGY, reports low_energy and does nothing. Air
// brakes are free.
bool rules_allow_jump(CityScene& scene);
// A pressed grapple acts unless it would shoot without the energy. Letting
// go of a rope is free.
bool rules_allow_shot(CityScene& scene);
// After the physics: energy is never below 0 (a snap may cost more than is
// left).
void rules_energy_floor(Economy& economy);
// On a roof, with the world running, energy refills slowly up to 1.
void rules_recharge(CityScene& scene, float step_dt);
// Below the rules' fall_floor the body is put back on the last roof it
// stood on (back_to_last_roof), or as init placed it (rising from beside
// the lowest tower), the rope let go. Also notes the last roof.
void rules_fall_back(CityScene& scene);

// The leap off the rope heading `heading`: when it goes towards the facade
// the rope holds and that facade's roof edge is above the body, within
// reach, with room to stand behind it, a climb starts (true); else false
// and the leap is an ordinary one.
bool rules_start_climb(CityScene& scene, Vec3 heading);
// One physics step of a climb: straight up the wall until the body clears
// the edge, then over it until it stands on the roof (or the climb's time
// runs out).
void rules_climb_step(CityScene& scene);

// A rope that has just caught a facade whose roof is below the body: the
// anchor moves up onto that roof, just behind its edge.
void rules_catch_edge_below(CityScene& scene);
// Such a rope lets go once the body stands on that roof.
void rules_edge_landing(CityScene& scene);
// A leap off a rope that comes down within a few units over a roof, on a
// way that would carry it past that roof's edge, loses its way across: the
// body drops onto that roof instead of sailing past it. Once a leap; a
// landing or a new rope ends it.
void rules_leap_landing(CityScene& scene);

// Upgrade points for the chips taken this frame, and (with level_advance)
// the level's end when the last one went.
void rules_chips_taken(CityScene& scene, size_t chips_before);
// Walking on a roof towards its edge: EDGE! once in a while.
void rules_edge_hint(CityScene& scene);
// Messages born this frame are moved up a line at a time until none
// covers another ("+1 CHIP" and "+2 POINTS" of one pickup both readable).
void rules_stack_messages(std::vector<HudMessage>& messages, float elapsed);
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
// next city is built. True when it was.
bool rules_level_step(CityScene& scene, const Settings& settings, float time);
// A fresh city at `level` on the assets already loaded, keeping what the
// runner chose (keep_runner_choices) and what the player earned: the
// upgrades, the points, the chip count and the installed devices. `time`
// starts its clock, as init's does.
void rebuild_at_level(CityScene& scene, const Settings& settings, float time, int32_t level);

}  // namespace vel
