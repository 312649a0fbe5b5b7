// obj_reader.h: Wavefront OBJ text (v, vt, vn, f) into triangle Meshes.
#pragma once

#include <string>
#include <string_view>

#include "base/parse_result.h"
#include "gfx/mesh.h"

namespace vel {

// Parses the text of a file; the error text names the path and the line.
ParseResult<Mesh> parse_obj(std::string_view text, const std::string& path);
// Paths containing "dummy" give an empty mesh; otherwise reads and parses,
// and on any failure prints the message and exits 101.
Mesh read_obj(const std::string& path);

}  // namespace vel
