// recording_fuzz.cpp: libFuzzer target for the recording reader: any text
// gives a recording the replay can run without checks, or a message naming
// the file, and the same result twice.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/reader_invariants.h"
#include "play/recording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string path = "fuzzed.txt";
  const vel::ParseResult<vel::Recording> first = vel::parse_recording(text, path);
  const std::string broken = vel::fuzz::check_recording(first, path);
  if (!broken.empty()) {
    std::fprintf(stderr, "recording_fuzz: %s\n", broken.c_str());
    std::abort();
  }
  if (!vel::fuzz::same_recording(first, vel::parse_recording(text, path))) {
    std::fprintf(stderr, "recording_fuzz: second parse differs\n");
    std::abort();
  }
  return 0;
}
