// input_codes.h: the codes a control slot holds (keyboard scancodes and
// mouse buttons) and the names the menus and the help page show for them.
#pragma once

#include <cstdint>
#include <string>

namespace vel {

// Codes 0..511 are keyboard scancodes; 512 + n is mouse button n.
inline constexpr int32_t kMouseButtonBase = 512;
inline constexpr int32_t kMouseButtons = 32;
inline constexpr int32_t kInputCodes = kMouseButtonBase + kMouseButtons;

// A key or mouse button as a player reads it: "SPACE", "LEFT BUTTON",
// "KEY 100".
std::string input_code_name(int32_t code);

}  // namespace vel
