// run_files.h: the files one run of a program reads and writes, checked
// against each other before anything is read or written, so that an output
// can never replace one of the run's inputs or another of its outputs.
#pragma once

#include <span>
#include <string>

namespace vel {

// A file named on the command line (or read by default), under the option
// that named it, for messages ("--replay").
struct RunFile {
  std::string option;
  std::string path;
};

// An empty string, or the message for the first output that is the same
// file as an input or as an output before it: the same device and inode
// where the file exists, else the same folder and name. Outputs with an
// empty path are not asked for and are skipped; a character device
// (/dev/null) takes any number of outputs and is never an input's loss.
std::string clashing_run_file(std::span<const RunFile> inputs, std::span<const RunFile> outputs);

// An empty string, or the message for the first option that was given an
// empty value ("--wav ''" would otherwise read as not given at all).
std::string empty_option_value(std::span<const RunFile> given);

}  // namespace vel
