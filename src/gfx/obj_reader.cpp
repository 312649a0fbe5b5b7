// obj_reader.cpp: reads the v, vt, vn and f statements of Wavefront OBJ text
// into a triangle Mesh, refusing malformed statements and out-of-range
// corner indices with the file and line.
#include "gfx/obj_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/fatal.h"
#include "base/file_bytes.h"
#include "base/message_text.h"
#include "base/text_syntax.h"

namespace vel {

namespace {

// Only the statement word and three operands are ever read; anything after
// the fourth token is ignored, so it is not split.
constexpr size_t kMaxTokens = 4;

struct Tokens {
  std::array<std::string_view, kMaxTokens> token;
  size_t count = 0;
};

// Every single space separates, so "v 1  2" holds an empty token; tabs are
// ordinary characters.
Tokens split_tokens(std::string_view line) {
  Tokens tokens;
  size_t start = 0;
  while (tokens.count < kMaxTokens) {
    const size_t space = line.find(' ', start);
    tokens.token[tokens.count++] = line.substr(start, space - start);
    if (space == std::string_view::npos) break;
    start = space + 1;
  }
  return tokens;
}

struct LineError {
  std::string text;
};

// The file's own bytes, escaped and cut short, so a message can neither
// drive the terminal nor grow with the file.
std::string quoted(std::string_view text) {
  return "\"" + message_token(text) + "\"";
}

// The operands of a v, vt or vn statement.
template <size_t N>
std::optional<std::array<float, N>> parse_floats(const Tokens& tokens, LineError& error) {
  if (tokens.count < N + 1) {
    error.text = quoted(tokens.token[0]) + " needs " + std::to_string(N) + " numbers";
    return std::nullopt;
  }
  std::array<float, N> values{};
  for (size_t i = 0; i < N; ++i) {
    const std::optional<float> value = parse_float(tokens.token[i + 1]);
    if (!value) {
      error.text = quoted(tokens.token[i + 1]) + " is not a number";
      return std::nullopt;
    }
    values[i] = *value;
  }
  return values;
}

// One 1-based index part of a corner, returned 0-based.
std::optional<uint64_t> parse_corner_index(std::string_view part, std::string_view corner,
                                           const char* role, LineError& error) {
  if (part.empty()) {
    error.text = "corner " + quoted(corner) + " has an empty " + role + " index";
    return std::nullopt;
  }
  if (part.front() == '-') {
    error.text = "corner " + quoted(corner) + " has a negative (relative) " + role +
                 " index, which is not supported";
    return std::nullopt;
  }
  const std::optional<uint64_t> index = parse_index(part);
  if (!index) {
    error.text = "corner " + quoted(corner) + " has " + role + " index " + quoted(part) +
                 ", which is not an index";
    return std::nullopt;
  }
  if (*index == 0) {
    error.text = "corner " + quoted(corner) + " has " + role + " index 0; indices count from 1";
    return std::nullopt;
  }
  return *index - 1;
}

// The position and texture indices are always required; the normal index
// only once the file has had a vn line, before that a third field is ignored
// and the normal index stays 0.
std::optional<Corner> parse_corner(std::string_view corner, bool has_normals, LineError& error) {
  const size_t slash1 = corner.find('/');
  if (slash1 == std::string_view::npos) {
    error.text = "corner " + quoted(corner) + " has no \"/\" before its texture index";
    return std::nullopt;
  }
  const size_t slash2 = corner.find('/', slash1 + 1);
  const std::string_view position_part = corner.substr(0, slash1);
  const std::string_view texcoord_part = corner.substr(slash1 + 1, slash2 - (slash1 + 1));

  Corner result;
  const std::optional<uint64_t> position =
      parse_corner_index(position_part, corner, "position", error);
  if (!position) return std::nullopt;
  result.position = *position;
  const std::optional<uint64_t> texcoord =
      parse_corner_index(texcoord_part, corner, "texture", error);
  if (!texcoord) return std::nullopt;
  result.texcoord = *texcoord;

  if (has_normals) {
    if (slash2 == std::string_view::npos) {
      error.text = "corner " + quoted(corner) + " has no normal index, but the file has normals";
      return std::nullopt;
    }
    const size_t slash3 = corner.find('/', slash2 + 1);
    const std::string_view normal_part = corner.substr(slash2 + 1, slash3 - (slash2 + 1));
    const std::optional<uint64_t> normal = parse_corner_index(normal_part, corner, "normal", error);
    if (!normal) return std::nullopt;
    result.normal = *normal;
  }
  return result;
}

std::string at_line(const std::string& path, size_t line) {
  return path + ":" + std::to_string(line) + ": ";
}

// Indices are checked against the whole file's arrays, so a face may refer
// to a vertex listed further down. The mesh drawer reads every index without
// a check. A file without any vn line keeps normal index 0 on every corner
// and an empty normal array, as its faces carry no normals.
std::optional<std::string> check_indices(const Mesh& mesh, const std::vector<size_t>& face_lines,
                                         const std::string& path) {
  const auto beyond = [&](size_t face, const char* role, uint64_t index, size_t count) {
    return at_line(path, face_lines[face]) + "face refers to " + role + " " +
           std::to_string(index + 1) + ", but the file has " + std::to_string(count);
  };
  const bool normals_present = !mesh.normals.empty();
  for (size_t k = 0; k < mesh.corners.size(); ++k) {
    const Corner& corner = mesh.corners[k];
    const size_t face = k / 3;
    if (corner.position >= mesh.positions.size()) {
      return beyond(face, "position", corner.position, mesh.positions.size());
    }
    if (corner.texcoord >= mesh.texcoords.size()) {
      return beyond(face, "texture coordinate", corner.texcoord, mesh.texcoords.size());
    }
    if (normals_present && corner.normal >= mesh.normals.size()) {
      return beyond(face, "normal", corner.normal, mesh.normals.size());
    }
  }
  return std::nullopt;
}

}  // namespace

ParseResult<Mesh> parse_obj(std::string_view text, const std::string& path) {
  if (!is_valid_utf8(text)) {
    return ParseResult<Mesh>::fail("File read error: " + path + ": the file is not valid UTF-8");
  }
  Mesh mesh;
  mesh.path = path;
  std::vector<size_t> face_lines;
  // Summed in file order in 32-bit floats, so the centre is reproducible to
  // the bit.
  Vec3 sum;
  uint64_t vertex_count = 0;
  bool has_normals = false;

  size_t line_number = 0;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t feed = text.find('\n', start);
    const std::string_view raw = text.substr(start, feed - start);
    start = feed == std::string_view::npos ? text.size() + 1 : feed + 1;
    ++line_number;

    const Tokens tokens = split_tokens(trim_unicode_space(raw));
    const std::string_view word = tokens.token[0];
    LineError error;
    if (word == "v") {
      const auto xyz = parse_floats<3>(tokens, error);
      if (!xyz) return ParseResult<Mesh>::fail(at_line(path, line_number) + error.text);
      const Vec3 p{(*xyz)[0], (*xyz)[1], (*xyz)[2]};
      mesh.positions.push_back(p);
      sum.x += p.x;
      sum.y += p.y;
      sum.z += p.z;
      ++vertex_count;
    } else if (word == "vt") {
      const auto uv = parse_floats<2>(tokens, error);
      if (!uv) return ParseResult<Mesh>::fail(at_line(path, line_number) + error.text);
      mesh.texcoords.push_back(Vec2{(*uv)[0], (*uv)[1]});
    } else if (word == "vn") {
      const auto xyz = parse_floats<3>(tokens, error);
      if (!xyz) return ParseResult<Mesh>::fail(at_line(path, line_number) + error.text);
      mesh.normals.push_back(Vec3{(*xyz)[0], (*xyz)[1], (*xyz)[2]});
      has_normals = true;
    } else if (word == "f") {
      if (tokens.count < 4) {
        return ParseResult<Mesh>::fail(at_line(path, line_number) + "\"f\" needs 3 corners");
      }
      // Only the first triangle of a larger polygon is kept.
      std::array<Corner, 3> corners;
      for (size_t i = 0; i < 3; ++i) {
        const std::optional<Corner> corner = parse_corner(tokens.token[i + 1], has_normals, error);
        if (!corner) return ParseResult<Mesh>::fail(at_line(path, line_number) + error.text);
        corners[i] = *corner;
      }
      mesh.corners.insert(mesh.corners.end(), corners.begin(), corners.end());
      face_lines.push_back(line_number);
    }
  }

  if (const std::optional<std::string> bad = check_indices(mesh, face_lines, path)) {
    return ParseResult<Mesh>::fail(*bad);
  }
  // 0 / 0 with no vertices: the centre is NaN, which is what the mesh's
  // users expect of an empty mesh.
  mesh.centre = sum / static_cast<float>(vertex_count);
  return ParseResult<Mesh>::ok(std::move(mesh));
}

Mesh read_obj(const std::string& path) {
  // A path naming a dummy mesh stands for an empty one; no file is opened.
  if (path.find("dummy") != std::string::npos) return Mesh{};
  const FileBytes file = read_file_bytes(path);
  if (!file.error.empty()) fatal("File read error: " + path + ": " + file.error);
  const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
  ParseResult<Mesh> result = parse_obj(text, path);
  if (!result) fatal(result.error);
  return std::move(*result.value);
}

}  // namespace vel
