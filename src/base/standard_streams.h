// standard_streams.h: making sure descriptors 0, 1 and 2 are taken before
// the program opens anything else.
#pragma once

#include <string>

namespace vel {

// Opens /dev/null on each of descriptors 0 to 2 that is closed, so that a
// file or a connection opened later (the X11 socket, an asset) never lands
// on one and receives what is meant for standard output or error. Call it
// first thing in main. Returns false when /dev/null could not be opened.
bool open_closed_standard_streams();

// Flushes standard output (the C library's and the C++ stream) and returns
// an empty string when everything written to it arrived, else the message
// ("cannot write to standard output: Broken pipe"): with SIGPIPE ignored a
// reader that went away is only ever told by a failed write.
std::string standard_output_failure();

}  // namespace vel
