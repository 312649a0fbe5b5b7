// settings_fuzz.cpp: libFuzzer target for the settings.txt parser: any text
// gives a record within the ranges the shell relies on, the same twice.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/reader_invariants.h"
#include "scene_api/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vel::Settings first = vel::parse_settings(text);
  const std::string broken = vel::fuzz::check_settings(first);
  if (!broken.empty()) {
    std::fprintf(stderr, "settings_fuzz: %s\n", broken.c_str());
    std::abort();
  }
  if (!vel::fuzz::same_settings(first, vel::parse_settings(text))) {
    std::fprintf(stderr, "settings_fuzz: second parse differs\n");
    std::abort();
  }
  return 0;
}
