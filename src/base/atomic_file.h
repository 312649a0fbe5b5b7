// atomic_file.h: the one way the program writes a whole file: complete, or
// on any failure not at all, with the previous file left as it was.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace vel {

// The system call that moves bytes to the file: same contract as POSIX
// write (bytes accepted, or -1 with errno set). Tests pass one that fails.
using FileWriteFn = std::function<ssize_t(int fd, const void* data, size_t size)>;

// Why a write failed: the step ("cannot create screenshot.ppm.tmp-41: ...")
// and the reason, as the system's text and number (0 when the reason is
// not the system's).
struct FileWriteFailure {
  std::string step;
  std::string reason;
  int os_error = 0;
};

// Writes the pieces, one after the other, as the whole content of `path`.
//  - A new name, a regular file or a folder: the bytes go to a temporary
//    file beside it (name + ".tmp-" + process id), which is synced and
//    renamed over it only when complete; a full disk or any other failure
//    removes the temporary file and leaves the previous one intact.
//  - A symbolic link: followed to the name it finally points to, which is
//    then written as above, in that name's own folder; the link stays.
//  - An existing device or FIFO is opened and written directly, never
//    replaced (a FIFO's open waits for its reader, as a shell's would).
std::optional<FileWriteFailure> write_whole_file(const std::string& path,
                                                 std::span<const std::span<const uint8_t>> pieces,
                                                 const FileWriteFn& write_fn);
std::optional<FileWriteFailure> write_whole_file(const std::string& path,
                                                 std::span<const std::span<const uint8_t>> pieces);

}  // namespace vel
