// standard_streams_test.cpp: a closed standard descriptor is taken by
// /dev/null before anything else can open onto it.
#include "base/standard_streams.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vel {
namespace {

// In a child, so the test process keeps its own descriptors: with 0 and 1
// closed, both are /dev/null afterwards and the next open gets 3 (or
// above), never a standard stream.
TEST(StandardStreams, ClosedOnesAreOpenedOnDevNull) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(0);
    close(1);
    if (!open_closed_standard_streams()) _exit(2);
    struct stat null_info {};
    struct stat info {};
    if (stat("/dev/null", &null_info) != 0) _exit(3);
    for (int fd = 0; fd <= 1; ++fd) {
      if (fstat(fd, &info) != 0 || info.st_rdev != null_info.st_rdev) _exit(4);
    }
    const int next = open("/dev/null", O_RDONLY);
    _exit(next > 2 ? 0 : 5);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace vel
