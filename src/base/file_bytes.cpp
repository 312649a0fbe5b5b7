// file_bytes.cpp: whole-file reads for every reader of untrusted files
// (images, meshes, settings, input scripts).
#include "base/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
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

std::string size_limit_error(uint64_t size_limit) {
  return "File larger than the limit of " + std::to_string(size_limit) + " bytes";
}

}  // namespace

FileBytes read_file_bytes(const std::string& path, uint64_t size_limit) {
  FileBytes result;
  FdCloser file;
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
  // writer, for ever. O_NOCTTY: a terminal named here never becomes ours.
  do {
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  } while (file.fd < 0 && errno == EINTR);
  if (file.fd < 0) {
    result.error = std::strerror(errno);
    return result;
  }
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) {
    result.error = std::strerror(errno);
    return result;
  }
  // A folder reads as "Is a directory", the error a read of it gives, so
  // the message for a folder named as an asset stays the familiar one.
  if (S_ISDIR(info.st_mode)) {
    result.error = std::strerror(EISDIR);
    return result;
  }
  // A device or a FIFO may never end (/dev/zero) or never start.
  if (!S_ISREG(info.st_mode)) {
    result.error = "Not a regular file";
    return result;
  }
  if (static_cast<uint64_t>(info.st_size) > size_limit) {
    result.error = size_limit_error(size_limit);
    return result;
  }
  // A regular file is read in full whatever the flag says; cleared so the
  // reads below never see EAGAIN.
  ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);
  // Sized from fstat so the vector never grows by doubling; a file that
  // grows while it is read is still cut at the limit.
  result.bytes.reserve(static_cast<size_t>(info.st_size));
  uint8_t chunk[65536];
  for (;;) {
    const ssize_t count = ::read(file.fd, chunk, sizeof chunk);
    if (count < 0) {
      if (errno == EINTR) continue;
      result.error = std::strerror(errno);
      result.bytes = {};
      return result;
    }
    if (count == 0) break;
    if (static_cast<uint64_t>(count) > size_limit - result.bytes.size()) {
      result.error = size_limit_error(size_limit);
      result.bytes = {};
      return result;
    }
    result.bytes.insert(result.bytes.end(), chunk, chunk + count);
  }
  return result;
}

}  // namespace vel
