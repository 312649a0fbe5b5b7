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
//    replaced (a FIFO's open waits for its reader, as a shell's would, but
//    gives up when a termination signal arrives while it waits).
//  - A descriptor of this process that names no file (/dev/stdout or
//    /dev/fd/1 when standard output is a pipe or a socket) is written to
//    as it is, and left open.
std::optional<FileWriteFailure> write_whole_file(const std::string& path,
                                                 std::span<const std::span<const uint8_t>> pieces,
                                                 const FileWriteFn& write_fn);

// Where a write to `path` lands, by the rules above, for a writer that
// streams its file (the sound track) rather than handing over its bytes.
struct OutputTarget {
  std::string name;     // after the links
  bool direct = false;  // a device, FIFO or socket: written into, never replaced
  int descriptor = -1;  // an open descriptor of this process naming no file
  int os_error = 0;     // the links could not be followed (ELOOP)
};
OutputTarget output_target(const std::string& path);

// The temporary file a complete `name` is written to before it is renamed
// over it: beside it, apart from any other running program's.
std::string temporary_name(const std::string& name);
std::optional<FileWriteFailure> write_whole_file(const std::string& path,
                                                 std::span<const std::span<const uint8_t>> pieces);

}  // namespace vel
