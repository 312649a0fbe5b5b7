// screenshot.cpp: saves a frame as "screenshot.ppm" (binary PPM, RGB) so that
// the file is either complete or, on any failure, left as it was before.
#include "gfx/screenshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "gfx/framebuffer.h"

namespace vel {

namespace {

// The header is fixed text: the game only ever saves its 320x180 frame.
constexpr char kHeader[] = "P6\n320 180\n255\n";
static_assert(kPictureWidth == 320 && kPictureHeight == 180, "the header spells the picture size");
constexpr size_t kHeaderSize = sizeof(kHeader) - 1;  // 15 bytes
constexpr size_t kBufferSize = 8192;

std::string os_error(int err) {
  return std::string(std::strerror(err)) + " (os error " + std::to_string(err) + ")";
}

// Hands every byte to the file, retrying interrupted and partial writes. A
// write that accepts nothing would loop for ever, so it is an error.
std::string write_all(const FileWriteFn& write_fn, int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    errno = 0;
    const ssize_t n = write_fn(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return os_error(errno);
    }
    if (n == 0 || static_cast<size_t>(n) > size) return "failed to write the buffered data";
    data += n;
    size -= static_cast<size_t>(n);
  }
  return {};
}

// An output buffer in front of the file: small pieces are gathered, a piece
// larger than the free space first pushes out what is gathered and, if it
// is no smaller than the buffer, goes to the file directly.
struct BufferedFile {
  const FileWriteFn& write_fn;
  int fd = -1;
  std::array<uint8_t, kBufferSize> buffer{};
  size_t used = 0;
};

std::string flush(BufferedFile& file) {
  std::string error = write_all(file.write_fn, file.fd, file.buffer.data(), file.used);
  file.used = 0;
  return error;
}

std::string put(BufferedFile& file, const uint8_t* data, size_t size) {
  if (size > kBufferSize - file.used) {
    if (std::string error = flush(file); !error.empty()) return error;
    if (size >= kBufferSize) return write_all(file.write_fn, file.fd, data, size);
  }
  std::memcpy(file.buffer.data() + file.used, data, size);
  file.used += size;
  return {};
}

std::string write_picture(BufferedFile& file, const std::vector<uint8_t>& rgb) {
  if (std::string error = put(file, reinterpret_cast<const uint8_t*>(kHeader), kHeaderSize);
      !error.empty()) {
    return error;
  }
  if (std::string error = put(file, rgb.data(), rgb.size()); !error.empty()) return error;
  return flush(file);
}

}  // namespace

std::string write_screenshot(std::vector<uint8_t> bgr, const std::string& path,
                             const FileWriteFn& write_fn) {
  // The frame stores blue, green, red; the file wants red, green, blue. A
  // trailing partial pixel (never produced by a real frame) is written as is.
  for (size_t i = 0; i + 2 < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]);

  // The picture is written beside the target and renamed over it only when
  // complete: a failed write never leaves a partial file nor destroys the
  // previous screenshot. The process id keeps two running games apart.
  const std::string temp = path + ".tmp-" + std::to_string(getpid());
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return path + ": cannot create " + temp + ": " + os_error(errno);

  BufferedFile file{write_fn, fd};
  std::string error = write_picture(file, bgr);
  if (error.empty() && fsync(fd) != 0) error = os_error(errno);
  // After a successful fsync an interrupted close has lost nothing.
  if (close(fd) != 0 && errno != EINTR && error.empty()) error = os_error(errno);
  if (!error.empty()) {
    unlink(temp.c_str());
    return path + ": cannot write " + temp + ": " + error;
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    unlink(temp.c_str());
    return path + ": cannot replace it with " + temp + ": " + os_error(err);
  }
  return {};
}

std::string write_screenshot(std::vector<uint8_t> bgr, const std::string& path) {
  return write_screenshot(std::move(bgr), path, [](int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
  });
}

}  // namespace vel
