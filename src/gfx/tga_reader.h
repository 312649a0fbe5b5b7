// tga_reader.h: Truevision TGA files (8-bit colour-mapped, 24/32-bit
// true-colour, uncompressed) into Images.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/parse_result.h"
#include "gfx/image.h"

namespace vel {

// Decodes the bytes of a file; never reads outside them. The error text names
// the path.
ParseResult<Image> parse_tga(std::span<const uint8_t> bytes, const std::string& path);
// Reads and decodes the file; on any failure prints the message and exits 101.
Image read_tga(const std::string& path);

}  // namespace vel
