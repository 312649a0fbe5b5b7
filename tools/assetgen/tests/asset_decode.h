// asset_decode.h: the generated files as the game sees them: read by the
// game's own TGA and OBJ readers and laid out for the generator's tests
// (texels as bytes in stored order, triangles with their corners resolved).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vel::test {

struct Texel {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct DecodedTga {
  int image_type = 0;
  int depth = 0;
  int descriptor = 0;
  int width = 0;
  int height = 0;
  int palette_size = 0;
  std::vector<Texel> texels;  // stored order, first stored row = top
  std::string error;
};

DecodedTga decode_tga(const std::vector<uint8_t>& bytes);

// The texel the game's rasteriser shows for texture coordinates (u, v):
// wrap into [0, 1), column trunc(u (w - 1)), row trunc((1 - v) (h - 1)).
Texel sample(const DecodedTga& image, float u, float v);

struct V3 {
  float x = 0, y = 0, z = 0;
};

struct Triangle {
  V3 p[3];
  float u[3] = {0, 0, 0};
  float v[3] = {0, 0, 0};
  V3 normal[3];
  int position_index[3] = {0, 0, 0};
};

struct DecodedObj {
  std::vector<V3> positions;
  std::vector<Triangle> triangles;
  std::string error;  // first malformed line, if any
};

// What the game's OBJ reader makes of the text; its message when it
// refuses it.
DecodedObj decode_obj(const std::string& text);

V3 sub(V3 a, V3 b);
V3 cross(V3 a, V3 b);
float dot(V3 a, V3 b);
V3 facing(const Triangle& t);  // (B - A) x (C - A)

std::vector<uint8_t> read_file(const std::string& path);

}  // namespace vel::test
