// asset_decode.cpp: the generated files read through the game's own TGA
// and OBJ readers, in the shapes the generator's tests compare.
#include "asset_decode.h"

#include <cmath>
#include <fstream>
#include <iterator>

#include "gfx/obj_reader.h"
#include "gfx/tga_reader.h"

namespace vel::test {

namespace {

int u16(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8);
}

// The game's channels are byte / 255, so rounding gives the byte back.
uint8_t channel_byte(float channel) {
  return static_cast<uint8_t>(std::lround(channel * 255.0f));
}

Texel texel_of(const Colour& colour) {
  return {channel_byte(colour.r), channel_byte(colour.g), channel_byte(colour.b),
          channel_byte(colour.a)};
}

V3 v3_of(const Vec3& v) {
  return {v.x, v.y, v.z};
}

}  // namespace

DecodedTga decode_tga(const std::vector<uint8_t>& bytes) {
  DecodedTga image;
  if (bytes.size() < 18) {
    image.error = "shorter than a header";
    return image;
  }
  // The header fields the game's reader does not keep, for the writer's
  // own checks.
  image.image_type = bytes[2];
  image.palette_size = u16(bytes, 5);
  image.depth = bytes[16];
  image.descriptor = bytes[17];
  const ParseResult<Image> parsed = parse_tga(bytes, "generated.tga");
  if (!parsed) {
    image.error = parsed.error;
    return image;
  }
  const Image& decoded = *parsed.value;
  image.width = decoded.width;
  image.height = decoded.height;
  if (decoded.colour_mapped) {
    for (const uint8_t index : decoded.indices)
      image.texels.push_back(texel_of(decoded.palette[index]));
  } else {
    for (const Colour& pixel : decoded.pixels) image.texels.push_back(texel_of(pixel));
  }
  return image;
}

Texel sample(const DecodedTga& image, float u, float v) {
  u = u - static_cast<float>(static_cast<int>(u));
  if (u < 0.0f) u += 1.0f;
  v = v - static_cast<float>(static_cast<int>(v));
  if (v < 0.0f) v += 1.0f;
  const float column_f = u * static_cast<float>(image.width - 1);
  const float row_f = (1.0f - v) * static_cast<float>(image.height - 1);
  const int column = column_f > 0.0f ? static_cast<int>(column_f) : 0;
  const int row = row_f > 0.0f ? static_cast<int>(row_f) : 0;
  return image.texels[static_cast<size_t>(row) * image.width + column];
}

DecodedObj decode_obj(const std::string& text) {
  DecodedObj mesh;
  const ParseResult<Mesh> parsed = parse_obj(text, "generated.obj");
  if (!parsed) {
    mesh.error = parsed.error;
    return mesh;
  }
  const Mesh& decoded = *parsed.value;
  for (const Vec3& p : decoded.positions) mesh.positions.push_back(v3_of(p));
  for (size_t first = 0; first + 2 < decoded.corners.size(); first += 3) {
    Triangle t;
    for (size_t k = 0; k < 3; ++k) {
      const Corner& corner = decoded.corners[first + k];
      t.p[k] = v3_of(decoded.positions[corner.position]);
      t.position_index[k] = static_cast<int>(corner.position);
      t.u[k] = decoded.texcoords[corner.texcoord].x;
      t.v[k] = decoded.texcoords[corner.texcoord].y;
      t.normal[k] = v3_of(decoded.normals[corner.normal]);
    }
    mesh.triangles.push_back(t);
  }
  return mesh;
}

V3 sub(V3 a, V3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 cross(V3 a, V3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(V3 a, V3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 facing(const Triangle& t) {
  return cross(sub(t.p[1], t.p[0]), sub(t.p[2], t.p[0]));
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace vel::test
