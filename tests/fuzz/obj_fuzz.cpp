// obj_fuzz.cpp: libFuzzer target for the OBJ parser: arbitrary text must be
// parsed or refused, never crash, only ever yield indices the mesh drawer
// can follow, and give the same result twice.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/reader_invariants.h"
#include "gfx/obj_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = "fuzz/input.obj";
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vel::ParseResult<vel::Mesh> first = vel::parse_obj(text, path);
  const std::string broken = vel::fuzz::check_mesh(first, path);
  if (!broken.empty()) {
    std::fprintf(stderr, "obj_fuzz: %s\n", broken.c_str());
    std::abort();
  }
  if (!vel::fuzz::same_mesh(first, vel::parse_obj(text, path))) {
    std::fprintf(stderr, "obj_fuzz: second parse differs\n");
    std::abort();
  }
  return 0;
}
