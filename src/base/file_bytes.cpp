// file_bytes.cpp: whole-file reads for every reader of untrusted files
// (images, meshes, settings, input scripts).
#include "base/file_bytes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vel {

namespace {

// Closes the descriptor on every path out of read_file_bytes.
struct FdCloser {
  int fd = -1;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

FileBytes read_file_bytes(const std::string& path) {
  FileBytes result;
  FdCloser file;
  do {
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (file.fd < 0 && errno == EINTR);
  if (file.fd < 0) {
    result.error = std::strerror(errno);
    return result;
  }
  uint8_t chunk[65536];
  for (;;) {
    const ssize_t count = ::read(file.fd, chunk, sizeof chunk);
    if (count < 0) {
      if (errno == EINTR) continue;
      result.error = std::strerror(errno);
      result.bytes.clear();
      return result;
    }
    if (count == 0) break;
    result.bytes.insert(result.bytes.end(), chunk, chunk + count);
  }
  return result;
}

}  // namespace vel
