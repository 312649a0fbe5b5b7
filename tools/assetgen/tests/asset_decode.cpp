// asset_decode.cpp: the test-side TGA and OBJ readers.
#include "asset_decode.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vel::test {

namespace {

int u16(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8);
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : text) {
    if (c == separator) {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}

bool parse_float(const std::string& token, float& out) {
  if (token.empty()) return false;
  char* end = nullptr;
  out = std::strtof(token.c_str(), &end);
  return end == token.c_str() + token.size();
}

bool parse_index(const std::string& token, size_t limit, int& out) {
  if (token.empty() || token.find_first_not_of("0123456789") != std::string::npos) return false;
  const long value = std::strtol(token.c_str(), nullptr, 10);
  if (value < 1 || static_cast<size_t>(value) > limit) return false;
  out = static_cast<int>(value - 1);
  return true;
}

}  // namespace

DecodedTga decode_tga(const std::vector<uint8_t>& bytes) {
  DecodedTga image;
  if (bytes.size() < 18) {
    image.error = "shorter than a header";
    return image;
  }
  image.image_type = bytes[2];
  image.width = u16(bytes, 12);
  image.height = u16(bytes, 14);
  image.depth = bytes[16];
  image.descriptor = bytes[17];
  const size_t count = static_cast<size_t>(image.width) * image.height;
  std::vector<Texel> palette;
  size_t at = 18;
  if (image.image_type == 1) {
    const size_t entries = u16(bytes, 5), stride = bytes[7] / 8;
    image.palette_size = static_cast<int>(entries);
    if (image.depth != 8 || stride < 3 || bytes.size() < at + entries * stride + count) {
      image.error = "bad colour-mapped layout";
      return image;
    }
    for (size_t k = 0; k < entries; ++k, at += stride) {
      palette.push_back({bytes[at + 2], bytes[at + 1], bytes[at], 255});
    }
    for (size_t k = 0; k < count; ++k) {
      if (bytes[at + k] >= entries) {
        image.error = "index beyond the palette";
        return image;
      }
      image.texels.push_back(palette[bytes[at + k]]);
    }
  } else if (image.image_type == 2 && (image.depth == 24 || image.depth == 32)) {
    const size_t stride = image.depth / 8;
    if (bytes.size() < at + count * stride) {
      image.error = "pixels cut short";
      return image;
    }
    for (size_t k = 0; k < count; ++k, at += stride) {
      image.texels.push_back(
          {bytes[at + 2], bytes[at + 1], bytes[at], stride == 4 ? bytes[at + 3] : uint8_t{255}});
    }
  } else {
    image.error = "a kind the game refuses";
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
  std::vector<std::pair<float, float>> texcoords;
  std::vector<V3> normals;
  int line_number = 0;
  for (const std::string& line : split(text, '\n')) {
    ++line_number;
    const std::vector<std::string> tokens = split(line, ' ');
    const std::string where = "line " + std::to_string(line_number) + ": ";
    const std::string& kind = tokens[0];
    if (kind == "v" || kind == "vn") {
      V3 p;
      if (tokens.size() != 4 || !parse_float(tokens[1], p.x) || !parse_float(tokens[2], p.y) ||
          !parse_float(tokens[3], p.z)) {
        mesh.error = where + line;
        return mesh;
      }
      (kind == "v" ? mesh.positions : normals).push_back(p);
    } else if (kind == "vt") {
      float u = 0, v = 0;
      if (tokens.size() != 3 || !parse_float(tokens[1], u) || !parse_float(tokens[2], v)) {
        mesh.error = where + line;
        return mesh;
      }
      texcoords.emplace_back(u, v);
    } else if (kind == "f") {
      Triangle t;
      if (tokens.size() != 4) {
        mesh.error = where + "not a triangle";
        return mesh;
      }
      for (int k = 0; k < 3; ++k) {
        const std::vector<std::string> parts = split(tokens[k + 1], '/');
        int p = 0, tc = 0, n = 0;
        if (parts.size() != 3 || !parse_index(parts[0], mesh.positions.size(), p) ||
            !parse_index(parts[1], texcoords.size(), tc) ||
            !parse_index(parts[2], normals.size(), n)) {
          mesh.error = where + "bad corner " + tokens[k + 1];
          return mesh;
        }
        t.p[k] = mesh.positions[p];
        t.position_index[k] = p;
        t.u[k] = texcoords[tc].first;
        t.v[k] = texcoords[tc].second;
        t.normal[k] = normals[n];
      }
      mesh.triangles.push_back(t);
    } else if (!line.empty() && line[0] != '#') {
      mesh.error = where + "unexpected statement";
      return mesh;
    }
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
