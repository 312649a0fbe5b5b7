// screenshot_test.cpp: the PPM file's bytes, and that a failed write leaves
// the previous screenshot as it was and says why.
#include "gfx/screenshot.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/temp_dir.h"

namespace vel {
namespace {

namespace fs = std::filesystem;

constexpr size_t kFrameBytes = 320 * 180 * 3;

std::vector<uint8_t> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A frame whose every byte differs from its neighbours, so a swapped or
// shifted byte shows.
std::vector<uint8_t> test_frame() {
  std::vector<uint8_t> bgr(kFrameBytes);
  for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bgr;
}

std::vector<uint8_t> expected_file(const std::vector<uint8_t>& bgr) {
  const std::string header = "P6\n320 180\n255\n";
  std::vector<uint8_t> out(header.begin(), header.end());
  for (size_t i = 0; i < bgr.size(); i += 3) {
    out.insert(out.end(), {bgr[i + 2], bgr[i + 1], bgr[i]});
  }
  return out;
}

class Screenshot : public testing::Test {
 protected:
  test::TempDir dir;
  const std::string target = dir.file("screenshot.ppm");
  const std::string temp = target + ".tmp-" + std::to_string(getpid());
  const std::vector<uint8_t> previous{'o', 'l', 'd'};

  void write_previous() { std::ofstream(target, std::ios::binary).write("old", 3); }
  void expect_previous_kept_and_no_temp() {
    EXPECT_EQ(read_bytes(target), previous);
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));
  }
};

TEST_F(Screenshot, WritesHeaderThenRgbPixels) {
  std::vector<uint8_t> bgr = test_frame();
  bgr[0] = 10;  // blue of the top-left pixel
  bgr[1] = 20;
  bgr[2] = 30;
  ASSERT_EQ(write_screenshot(bgr, target), "");
  const std::vector<uint8_t> file = read_bytes(target);
  ASSERT_EQ(file.size(), 172815u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 15), "P6\n320 180\n255\n");
  EXPECT_EQ(file[15], 30);  // red first
  EXPECT_EQ(file[16], 20);
  EXPECT_EQ(file[17], 10);
  EXPECT_EQ(file, expected_file(bgr));
  EXPECT_FALSE(fs::exists(temp));
}

TEST_F(Screenshot, OverwritesThePreviousFileWithUmaskedPermissions) {
  write_previous();
  const mode_t old_mask = umask(022);
  const std::string error = write_screenshot(test_frame(), target);
  umask(old_mask);
  ASSERT_EQ(error, "");
  EXPECT_EQ(read_bytes(target), expected_file(test_frame()));
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(Screenshot, DefaultNameLandsInTheWorkingDirectory) {
  // Runs in a child so the test process keeps its own working directory.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (chdir(dir.path().c_str()) != 0) _exit(2);
    _exit(write_screenshot(test_frame()).empty() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(fs::file_size(target), 172815u);
}

TEST_F(Screenshot, RemovedWorkingDirectoryIsReported) {
  const fs::path gone = fs::path(dir.path()) / "gone";
  fs::create_directory(gone);
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(pipe_fds[0]);
    if (chdir(gone.c_str()) != 0 || rmdir(gone.c_str()) != 0) _exit(2);
    const std::string error = write_screenshot(test_frame());
    const ssize_t written = write(pipe_fds[1], error.data(), error.size());
    _exit(written == static_cast<ssize_t>(error.size()) ? 0 : 3);
  }
  close(pipe_fds[1]);
  std::string error;
  char chunk[256];
  for (ssize_t n; (n = read(pipe_fds[0], chunk, sizeof chunk)) > 0;) error.append(chunk, n);
  close(pipe_fds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(error.find("screenshot.ppm"), std::string::npos) << error;
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST_F(Screenshot, BlockedTemporaryNameIsReported) {
  write_previous();
  fs::create_directory(temp);
  const std::string error = write_screenshot(test_frame(), target);
  EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
  EXPECT_EQ(read_bytes(target), previous);
  EXPECT_TRUE(fs::is_directory(temp));  // not ours to remove
}

TEST_F(Screenshot, TargetThatCannotBeReplacedIsReported) {
  fs::create_directory(target);
  const std::string error = write_screenshot(test_frame(), target);
  EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_FALSE(fs::exists(temp));
}

TEST_F(Screenshot, WriteFailingPartWayKeepsThePreviousFile) {
  write_previous();
  size_t accepted = 0;
  const FileWriteFn fail_after_header = [&](int fd, const void* data, size_t size) -> ssize_t {
    if (accepted > 0) {
      errno = EIO;
      return -1;
    }
    accepted += size;
    return write(fd, data, size);
  };
  const std::string error = write_screenshot(test_frame(), target, fail_after_header);
  EXPECT_EQ(accepted, 15u);  // the header went out alone before the pixels
  EXPECT_NE(error.find("Input/output error"), std::string::npos) << error;
  expect_previous_kept_and_no_temp();
}

TEST_F(Screenshot, WriteAcceptingNothingIsAnError) {
  write_previous();
  const FileWriteFn stalls = [](int, const void*, size_t) -> ssize_t { return 0; };
  const std::string error = write_screenshot(test_frame(), target, stalls);
  EXPECT_NE(error.find("failed to write the buffered data"), std::string::npos) << error;
  expect_previous_kept_and_no_temp();
}

TEST_F(Screenshot, InterruptedAndShortWritesAreContinued) {
  int calls = 0;
  const FileWriteFn choppy = [&](int fd, const void* data, size_t size) -> ssize_t {
    if (++calls % 3 == 1) {
      errno = EINTR;
      return -1;
    }
    return write(fd, data, std::min<size_t>(size, 1000));
  };
  ASSERT_EQ(write_screenshot(test_frame(), target, choppy), "");
  EXPECT_EQ(read_bytes(target), expected_file(test_frame()));
}

}  // namespace
}  // namespace vel
