// file_bytes_test.cpp: only regular files within the size limit are read;
// names that would block or never end are refused at once, and
// settings.txt then falls back to the defaults.
#include "base/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "scene_api/settings.h"
#include "support/temp_dir.h"

namespace vel {
namespace {

TEST(ReadFileBytes, ReadsUpToTheLimitAndRefusesMore) {
  const test::TempDir dir;
  EXPECT_EQ(read_file_bytes(dir.write("eight.txt", "12345678"), 8).bytes.size(), 8u);
  const FileBytes nine = read_file_bytes(dir.write("nine.txt", "123456789"), 8);
  EXPECT_EQ(nine.error, "File larger than the limit of 8 bytes");
  EXPECT_TRUE(nine.bytes.empty());
}

// Each of these once blocked for ever (a FIFO without a writer) or grew
// memory until the process aborted (/dev/zero).
TEST(ReadFileBytes, RefusesFifosAndDevicesWithoutWaiting) {
  const test::TempDir dir;
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero")}) {
    EXPECT_EQ(read_file_bytes(path).error, "Not a regular file") << path;
    EXPECT_EQ(read_settings(path).load_status, kSettingsUnreadable) << path;
  }
  EXPECT_EQ(read_file_bytes(dir.path()).error, "Is a directory");  // as before
}

}  // namespace
}  // namespace vel
