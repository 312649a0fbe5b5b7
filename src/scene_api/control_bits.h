// control_bits.h: what each bit of the input's held mask means to the city
// (bit i is control slot i). Walking and vertical moves act while held; the
// others act on the frame their bit goes down.
#pragma once

#include <cstdint>

namespace vel {

inline constexpr uint32_t kWalkForward = 0x1;
inline constexpr uint32_t kWalkBack = 0x2;
inline constexpr uint32_t kWalkLeft = 0x4;
inline constexpr uint32_t kWalkRight = 0x8;
inline constexpr uint32_t kMoveWithView = 0x10;
inline constexpr uint32_t kMoveAgainstView = 0x20;
inline constexpr uint32_t kJumpBit = 0x40;     // jump on the ground, air brake in the air
inline constexpr uint32_t kGrappleBit = 0x80;  // fire, or release an attached rope
inline constexpr uint32_t kMenuUpBit = 0x100;
inline constexpr uint32_t kMenuDownBit = 0x200;
inline constexpr uint32_t kMenuLeftBit = 0x400;
inline constexpr uint32_t kMenuRightBit = 0x800;
inline constexpr uint32_t kMenuSelectBit = 0x1000;
inline constexpr uint32_t kPanelToggleBit = 0x2000;

}  // namespace vel
