// fatal.h: how a failed must-succeed step ends the program.
#pragma once

#include <string>

namespace vel {

inline constexpr int kExitFatal = 101;

// Writes the message and a newline to standard error and exits with 101.
[[noreturn]] void fatal(const std::string& message);

}  // namespace vel
