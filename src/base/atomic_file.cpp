// atomic_file.cpp: all-or-nothing file writes that respect what the name
// already is: a link is written through, a device or FIFO written into, a
// regular file replaced only by a complete one.
#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/termination_signals.h"

namespace vel {

namespace {

// As many links as the kernel itself follows before giving up (ELOOP).
constexpr int kMostLinksFollowed = 40;

FileWriteFailure os_failure(std::string step, int err) {
  return {std::move(step), std::strerror(err), err};
}

// Hands every byte to the file, retrying interrupted and partial writes. A
// write that accepts nothing would loop for ever, so it is an error.
// An interrupted call is tried again unless a termination signal came in
// since `signals_before`: the program is then to end, not to wait on.
bool try_again(int signals_before) {
  return errno == EINTR && termination_signal_count() == signals_before;
}

std::optional<FileWriteFailure> write_all(const FileWriteFn& write_fn, int fd,
                                          std::span<const uint8_t> bytes, const std::string& step,
                                          int signals_before) {
  const uint8_t* data = bytes.data();
  size_t size = bytes.size();
  while (size > 0) {
    errno = 0;
    const ssize_t n = write_fn(fd, data, size);
    if (n < 0) {
      if (try_again(signals_before)) continue;
      return os_failure(step, errno);
    }
    if (n == 0 || static_cast<size_t>(n) > size) {
      return FileWriteFailure{step, "failed to write the buffered data"};
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return std::nullopt;
}

std::optional<FileWriteFailure> write_pieces(const FileWriteFn& write_fn, int fd,
                                             std::span<const std::span<const uint8_t>> pieces,
                                             const std::string& step) {
  const int signals_before = termination_signal_count();
  for (const std::span<const uint8_t> piece : pieces) {
    if (std::optional<FileWriteFailure> failure =
            write_all(write_fn, fd, piece, step, signals_before)) {
      return failure;
    }
  }
  return std::nullopt;
}

// The real path of the folder holding `path` ("" when it cannot be had).
std::string real_folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  char folder[PATH_MAX];
  if (::realpath(path.substr(0, slash + 1).c_str(), folder) == nullptr) return {};
  return folder;
}

// The kernel's links under /proc/PID/fd name what a descriptor holds; for
// a pipe, a socket or an anonymous inode their text ("pipe:[4711]") is no
// path at all, and only the link itself reaches the object.
bool names_no_file(const std::string& path, const std::string& link) {
  const size_t colon = link.find(':');
  if (colon == std::string::npos || colon == 0 ||
      link.find_first_not_of("abcdefghijklmnopqrstuvwxyz_") != colon) {
    return false;
  }
  const std::string folder = real_folder(path);
  return folder.starts_with("/proc/") && folder.ends_with("/fd");
}

// The descriptor number when `path` is this process's /proc/PID/fd/N
// (reached as /proc/self/fd/N, /dev/fd/N or /dev/stdout), else -1.
int own_descriptor(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash + 1 == path.size() || path.size() - slash > 10 ||
      path.find_first_not_of("0123456789", slash + 1) != std::string::npos) {
    return -1;
  }
  if (real_folder(path) != "/proc/" + std::to_string(::getpid()) + "/fd") return -1;
  return std::atoi(path.c_str() + slash + 1);
}

// The name a write to `path` finally lands on: symbolic links are followed
// (a relative target counts from the link's own folder) until a name that
// is not a link, or does not exist yet, or a descriptor's link naming no
// file (`magic` is then set and that link is the name). Any other failure
// to look is left for the write itself to meet and report.
std::string final_name(std::string path, int& err, bool& magic) {
  err = 0;
  magic = false;
  for (int hop = 0; hop < kMostLinksFollowed; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::vector<char> target(static_cast<size_t>(info.st_size) + 2);
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    // Changed since the lstat (or unreadable): written as the name it is.
    if (length < 0 || static_cast<size_t>(length) >= target.size()) return path;
    const std::string link(target.data(), static_cast<size_t>(length));
    if (names_no_file(path, link) && ::stat(path.c_str(), &info) == 0) {
      magic = true;
      return path;
    }
    const size_t slash = path.rfind('/');
    path = (!link.empty() && link.front() == '/') || slash == std::string::npos
               ? link
               : path.substr(0, slash + 1) + link;
  }
  err = ELOOP;
  return path;
}

// A device or FIFO takes the bytes as they come; there is nothing to
// replace, and syncing it means nothing.
std::optional<FileWriteFailure> write_into(const std::string& name,
                                           std::span<const std::span<const uint8_t>> pieces,
                                           const FileWriteFn& write_fn) {
  int fd = -1;
  const int signals_before = termination_signal_count();
  do {
    fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && try_again(signals_before));
  if (fd < 0 && errno == EINTR) {
    return FileWriteFailure{"cannot open " + name,
                            "no reader came before the signal to end the program", EINTR};
  }
  if (fd < 0) return os_failure("cannot open " + name, errno);
  std::optional<FileWriteFailure> failure =
      write_pieces(write_fn, fd, pieces, "cannot write " + name);
  if (::close(fd) != 0 && errno != EINTR && !failure)
    failure = os_failure("cannot write " + name, errno);
  return failure;
}

// A regular file (or a new name) is replaced by a complete temporary file.
std::optional<FileWriteFailure> replace_with(const std::string& name,
                                             std::span<const std::span<const uint8_t>> pieces,
                                             const FileWriteFn& write_fn) {
  const std::string temp = temporary_name(name);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return os_failure("cannot create " + temp, errno);

  const std::string write_step = "cannot write " + temp;
  std::optional<FileWriteFailure> failure = write_pieces(write_fn, fd, pieces, write_step);
  if (!failure && ::fsync(fd) != 0) failure = os_failure(write_step, errno);
  // After a successful fsync an interrupted close has lost nothing.
  if (::close(fd) != 0 && errno != EINTR && !failure) failure = os_failure(write_step, errno);
  if (failure) {
    ::unlink(temp.c_str());
    return failure;
  }
  if (std::rename(temp.c_str(), name.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return os_failure("cannot replace it with " + temp, err);
  }
  return std::nullopt;
}

}  // namespace

OutputTarget output_target(const std::string& path) {
  OutputTarget target;
  bool magic = false;
  target.name = final_name(path, target.os_error, magic);
  if (target.os_error != 0) return target;
  if (magic) {
    target.descriptor = own_descriptor(target.name);
    target.direct = true;
    return target;
  }
  struct stat info {};
  target.direct = ::stat(target.name.c_str(), &info) == 0 &&
                  (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISFIFO(info.st_mode));
  return target;
}

std::string temporary_name(const std::string& name) {
  // The process id keeps two running programs apart.
  return name + ".tmp-" + std::to_string(::getpid());
}

std::optional<FileWriteFailure> write_whole_file(const std::string& path,
                                                 std::span<const std::span<const uint8_t>> pieces,
                                                 const FileWriteFn& write_fn) {
  const OutputTarget target = output_target(path);
  if (target.os_error != 0) return os_failure("cannot follow its links", target.os_error);
  if (target.descriptor >= 0) {
    return write_pieces(write_fn, target.descriptor, pieces, "cannot write " + path);
  }
  if (target.direct) return write_into(target.name, pieces, write_fn);
  return replace_with(target.name, pieces, write_fn);
}

std::optional<FileWriteFailure> write_whole_file(const std::string& path,
                                                 std::span<const std::span<const uint8_t>> pieces) {
  return write_whole_file(
      path, pieces, [](int fd, const void* data, size_t size) { return ::write(fd, data, size); });
}

}  // namespace vel
