// fatal.cpp: the one place that ends the program after a failed
// must-succeed step.
#include "base/fatal.h"

#include <cstdio>
#include <cstdlib>

namespace vel {

void fatal(const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", message.c_str());
  std::fflush(stderr);
  std::exit(kExitFatal);
}

}  // namespace vel
