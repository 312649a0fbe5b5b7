// atomic_file_test.cpp: what a whole-file write does with each kind of
// name: links are written through, devices written into (FIFOs: see the
// end-to-end tests, with a pipe as /dev/stdout), a FIFO without a reader
// given up on a signal, and a failing write keeps the previous file.
#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "base/termination_signals.h"
#include "support/temp_dir.h"

namespace vel {
namespace {

namespace fs = std::filesystem;

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<FileWriteFailure> write_text(const std::string& path, std::string_view text,
                                           const FileWriteFn* write_fn = nullptr) {
  const std::array<std::span<const uint8_t>, 1> pieces{
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size())};
  return write_fn ? write_whole_file(path, pieces, *write_fn) : write_whole_file(path, pieces);
}

TEST(WriteWholeFile, WritesThroughLinksToTheirTargets) {
  const test::TempDir dir;
  fs::create_directory(dir.file("real"));
  const std::string target = dir.write("real/state.json", "old");
  fs::create_symlink("real/state.json", dir.file("relative"));  // from the link's folder
  fs::create_symlink(dir.file("relative"), dir.file("chain"));
  fs::create_symlink("real/new.json", dir.file("dangling"));

  ASSERT_EQ(write_text(dir.file("chain"), "new"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(dir.file("chain")));
  EXPECT_TRUE(fs::is_symlink(dir.file("relative")));
  EXPECT_EQ(contents(target), "new");

  ASSERT_EQ(write_text(dir.file("dangling"), "made"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(dir.file("dangling")));
  EXPECT_EQ(contents(dir.file("real/new.json")), "made");

  fs::create_symlink("loop", dir.file("loop"));
  EXPECT_EQ(write_text(dir.file("loop"), "x")->os_error, ELOOP);
}

TEST(WriteWholeFile, WritesIntoDevicesWithoutReplacingThem) {
  ASSERT_EQ(write_text("/dev/null", "nothing"), std::nullopt);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  const std::optional<FileWriteFailure> full = write_text("/dev/full", "x");
  ASSERT_TRUE(full);
  EXPECT_EQ(full->os_error, ENOSPC);
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(WriteWholeFile, AFifoWithNoReaderIsGivenUpOnATerminationSignal) {
  const test::TempDir dir;
  const std::string fifo = dir.file("state.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  catch_termination_signals();
  const pthread_t waiting = ::pthread_self();
  std::thread signaller([waiting] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::pthread_kill(waiting, SIGTERM);
  });
  const std::optional<FileWriteFailure> failure = write_text(fifo, "never read");
  signaller.join();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->os_error, EINTR);
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(WriteWholeFile, AFullDiskKeepsThePreviousFile) {
  const test::TempDir dir;
  const std::string target = dir.write("state.json", "{\"frame\": 1}\n");
  const FileWriteFn disk_full = [](int, const void*, size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  const std::optional<FileWriteFailure> failure =
      write_text(target, "{\"frame\": 2}\n", &disk_full);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->reason, "No space left on device");
  EXPECT_EQ(contents(target), "{\"frame\": 1}\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace vel
