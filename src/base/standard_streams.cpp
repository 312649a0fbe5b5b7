// standard_streams.cpp: fills closed standard descriptors with /dev/null.
#include "base/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace vel {

bool open_closed_standard_streams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // Not close-on-exec: like any standard stream it is handed on.
    const int opened = ::open("/dev/null", O_RDWR | O_NOCTTY);
    if (opened < 0) return false;
    // The lowest free descriptor is `fd` itself, as the ones below it are
    // open by now; moved there all the same should that ever differ.
    if (opened != fd) {
      const bool moved = ::dup2(opened, fd) == fd;
      ::close(opened);
      if (!moved) return false;
    }
  }
  return true;
}

std::string standard_output_failure() {
  errno = 0;
  std::cout.flush();
  const bool flushed = std::fflush(stdout) == 0;
  const int err = errno;
  if (flushed && std::ferror(stdout) == 0 && !std::cout.fail()) return {};
  // A write that failed earlier left its flag but perhaps not its errno.
  return std::string("cannot write to standard output") +
         (err != 0 ? std::string(": ") + std::strerror(err) : std::string());
}

}  // namespace vel
