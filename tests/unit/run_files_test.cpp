// run_files_test.cpp: an output is refused when it is an input or another
// output by any name (a link, ./, a hard link), and only then.
#include "base/run_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "support/temp_dir.h"

namespace vel {
namespace {

TEST(RunFiles, AnOutputThatIsAnInputOrAnotherOutputIsRefused) {
  const test::TempDir dir;
  const std::string recording = dir.file("g.rec");
  std::ofstream(recording) << "recorded\n";
  ASSERT_EQ(::symlink(recording.c_str(), dir.file("link").c_str()), 0);
  ASSERT_EQ(::link(recording.c_str(), dir.file("hard").c_str()), 0);
  const std::vector<RunFile> inputs = {{"--replay", recording}};
  const auto clash = [&](std::vector<RunFile> outputs) {
    return clashing_run_file(inputs, outputs);
  };
  EXPECT_EQ(clash({{"--wav", dir.file("link")}}), "--wav " + dir.file("link") +
                                                      " is the same file as --replay " + recording +
                                                      ": one file cannot be both");
  EXPECT_NE(clash({{"--state", dir.file("hard")}}), "");
  // Names that do not exist yet: the same folder and name.
  EXPECT_NE(clash({{"--state", dir.file("o")}, {"--ppm", dir.path() + "/./o"}}), "");
  EXPECT_EQ(clash({{"--state", dir.file("o")}, {"--ppm", dir.file("p")}, {"--wav", ""}}), "");
  EXPECT_EQ(clash({{"--state", "/dev/null"}, {"--ppm", "/dev/null"}}), "");
  EXPECT_EQ(empty_option_value(std::vector<RunFile>{{"--state", "s"}, {"--wav", ""}}),
            "--wav needs a file name, not an empty one");
}

}  // namespace
}  // namespace vel
