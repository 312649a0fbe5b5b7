// replay_fuzz.cpp: libFuzzer target for the recording and the frame step it
// drives: an accepted recording is replayed through the title and the city
// for a bounded number of frames, which must never crash, hang or reach
// undefined behaviour, and whose complaints name the file and line.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/replay_run.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  // The scenes read assets/ from the working folder, as the programs do.
  if (::chdir(VEL_SOURCE_DIR) != 0) {
    std::perror("replay_fuzz: " VEL_SOURCE_DIR);
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string broken =
      vel::fuzz::replay_fuzzed(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "replay_fuzz: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
