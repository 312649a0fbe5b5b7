// scene_requests.h: the scene switches a scene may ask of its program, and
// what each program's scene list makes of them. The system panel asks
// kExitRequest for EXIT and kRestartRequest for RESTART; a program gives
// them meaning by what it keeps at those indices:
//
//   veltrocane, veltrocane-sim     list: [0] city. EXIT builds the city
//                                  afresh; RESTART names no scene and is
//                                  ignored.
//   veltrocane-play (and replays)  list: [0] title, [1] city. EXIT goes back
//                                  to the title; RESTART starts a new game
//                                  (the city built afresh at level 1).
//
// kQuitRequest ends the program in both.
#pragma once

#include <cstdint>

namespace vel {

inline constexpr int32_t kQuitRequest = -1;
inline constexpr int32_t kExitRequest = 0;
inline constexpr int32_t kRestartRequest = 1;

// The play program's list.
inline constexpr int32_t kTitleSceneIndex = kExitRequest;
inline constexpr int32_t kCitySceneIndex = kRestartRequest;

}  // namespace vel
