// tga_fuzz.cpp: libFuzzer target for the TGA decoder: arbitrary bytes must be
// decoded or refused, never crash, never allocate beyond what the file holds,
// and give the same result twice.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "fuzz/reader_invariants.h"
#include "gfx/tga_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = "fuzz/input.tga";
  const std::span<const uint8_t> bytes(data, size);
  const vel::ParseResult<vel::Image> first = vel::parse_tga(bytes, path);
  const std::string broken = vel::fuzz::check_image(first, path);
  if (!broken.empty()) {
    std::fprintf(stderr, "tga_fuzz: %s\n", broken.c_str());
    std::abort();
  }
  if (!vel::fuzz::same_image(first, vel::parse_tga(bytes, path))) {
    std::fprintf(stderr, "tga_fuzz: second decode differs\n");
    std::abort();
  }
  return 0;
}
