// file_bytes.h: the one way the program reads a whole file into memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vel {

// The whole file, or the operating system's error text in `error`.
struct FileBytes {
  std::vector<uint8_t> bytes;
  std::string error;  // empty on success
};
FileBytes read_file_bytes(const std::string& path);

}  // namespace vel
