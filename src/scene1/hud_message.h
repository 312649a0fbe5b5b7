// hud_message.h: a floating message appended by the grapple and the pickups,
// and the burst a captured drone leaves.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "gfx/vec.h"

namespace vel {

struct HudMessage {
  std::string text;
  Colour colour;
  Vec2 position{0.5f, 0.5f};  // fractions of the screen, y upward
  float born = 0.0f;          // elapsed when made
  bool rising = false;
};

// The texts the grapple and the pickups post, named once: the sound reads
// what happened from the messages born in a frame, so both sides must spell
// them alike.
namespace message_text {
inline constexpr const char* kMissed = "MISSED!";
inline constexpr const char* kEngaged = "ENGAGED!";
inline constexpr const char* kDroneCaught = "PLACEHOLDER";  // what a caught drone shows
inline constexpr const char* kCarHitched = "HITCHHIKING!";
inline constexpr const char* kReleased = "DISENGAGED!";
inline constexpr const char* kSnapped = "SNAPPED!";
inline constexpr const char* kChipsSuffix = " CHIPS!";    // after "+<amount>"
inline constexpr const char* kEnergySuffix = " ENERGY!";  // after "+<percent>"
}  // namespace message_text

// A message born at `elapsed` in the middle of the screen, drifting down:
// how the grapple and the pickups report what happened.
inline void post_message(std::vector<HudMessage>& messages, std::string text, Colour colour,
                         float elapsed) {
  messages.push_back(HudMessage{std::move(text), colour, {0.5f, 0.5f}, elapsed, false});
}

// The flash where a captured drone was.
struct DroneBurst {
  Vec3 position;
  int32_t frame = 0;
  float timer = 0.0f;
};

}  // namespace vel
