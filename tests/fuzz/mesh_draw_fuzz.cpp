// mesh_draw_fuzz.cpp: libFuzzer target for the renderer: arbitrary text that
// the OBJ reader accepts is drawn from a few cameras on both raster paths
// and must never crash or reach undefined behaviour.
#include <cstdint>
#include <string_view>

#include "fuzz/mesh_draw_run.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vel::fuzz::draw_fuzzed_mesh(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
