// standard_streams.cpp: fills closed standard descriptors with /dev/null.
#include "base/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

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

}  // namespace vel
