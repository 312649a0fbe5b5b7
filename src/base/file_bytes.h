// file_bytes.h: the one way the program reads a whole file into memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vel {

// The most any asset or settings.txt may hold: far above the largest real
// asset (well under 1 MiB), and low enough that a file that never ends or a
// runaway one is refused long before memory runs out.
inline constexpr uint64_t kFileSizeLimit = uint64_t{64} << 20;  // 64 MiB

// The whole file, or the operating system's error text in `error`.
struct FileBytes {
  std::vector<uint8_t> bytes;
  std::string error;  // empty on success
};

// Only a regular file is read: a FIFO, a device or a socket is refused
// without waiting for it (the open does not block), and so is a file
// holding more than `size_limit` bytes.
FileBytes read_file_bytes(const std::string& path, uint64_t size_limit = kFileSizeLimit);

}  // namespace vel
