// fuzz_regressions_test.cpp: replays the committed fuzz seeds and every saved
// crash input through the parsers in the normal build, so a fixed crash stays
// fixed without running the fuzzers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "base/file_bytes.h"
#include "base/text_syntax.h"
#include "fuzz/mesh_draw_run.h"
#include "fuzz/reader_invariants.h"
#include "fuzz/replay_run.h"
#include "gfx/obj_reader.h"
#include "gfx/tga_reader.h"
#include "play/recording.h"
#include "scene_api/settings.h"

namespace vel {
namespace {

namespace fs = std::filesystem;

// Every file under tests/fuzz/corpus/<target> and tests/fuzz/regressions/<target>.
std::vector<std::string> inputs_of(const std::string& target) {
  std::vector<std::string> paths;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(VEL_SOURCE_DIR) / "tests" / "fuzz" / kind / target;
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      if (entry.is_regular_file()) paths.push_back(entry.path().string());
    }
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::vector<uint8_t> bytes_of(const std::string& path) {
  FileBytes file = read_file_bytes(path);
  EXPECT_TRUE(file.error.empty()) << path << ": " << file.error;
  return std::move(file.bytes);
}

std::string_view text_of(const std::vector<uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(FuzzRegressions, TgaInputsDecodeOrAreRefusedSafely) {
  const std::vector<std::string> paths = inputs_of("tga");
  EXPECT_FALSE(paths.empty()) << "the TGA seed corpus is missing";
  for (const std::string& path : paths) {
    const std::vector<uint8_t> bytes = bytes_of(path);
    EXPECT_EQ(fuzz::check_image(parse_tga(bytes, path), path), "") << path;
  }
}

TEST(FuzzRegressions, ObjInputsParseOrAreRefusedSafely) {
  const std::vector<std::string> paths = inputs_of("obj");
  EXPECT_FALSE(paths.empty()) << "the OBJ seed corpus is missing";
  for (const std::string& path : paths) {
    const std::vector<uint8_t> bytes = bytes_of(path);
    EXPECT_EQ(fuzz::check_mesh(parse_obj(text_of(bytes), path), path), "") << path;
  }
}

// The renderer's target: the OBJ seeds and its own saved crash inputs are
// drawn as it draws them; the sanitizer build checks the way.
TEST(FuzzRegressions, MeshDrawInputsDrawSafely) {
  std::vector<std::string> paths = inputs_of("obj");
  for (const std::string& path : inputs_of("mesh_draw")) paths.push_back(path);
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    const std::vector<uint8_t> bytes = bytes_of(path);
    fuzz::draw_fuzzed_mesh(text_of(bytes));
  }
}

TEST(FuzzRegressions, SettingsInputsStayInRange) {
  const std::vector<std::string> paths = inputs_of("settings");
  EXPECT_FALSE(paths.empty()) << "the settings seed corpus is missing";
  for (const std::string& path : paths) {
    const std::vector<uint8_t> bytes = bytes_of(path);
    EXPECT_EQ(fuzz::check_settings(parse_settings(text_of(bytes))), "") << path;
  }
}

TEST(FuzzRegressions, RecordingInputsReplaySafelyOrAreRefused) {
  const std::vector<std::string> paths = inputs_of("recording");
  EXPECT_FALSE(paths.empty()) << "the recording seed corpus is missing";
  for (const std::string& path : paths) {
    const std::vector<uint8_t> bytes = bytes_of(path);
    EXPECT_EQ(fuzz::check_recording(parse_recording(text_of(bytes), path), path), "") << path;
  }
}

TEST(FuzzRegressions, RecordingsReplayThroughTheFrameStepSafely) {
  std::vector<std::string> paths = inputs_of("recording");
  for (const std::string& saved : inputs_of("replay")) paths.push_back(saved);
  for (const std::string& path : paths) {
    EXPECT_EQ(fuzz::replay_fuzzed(text_of(bytes_of(path))), "") << path;
  }
}

}  // namespace
}  // namespace vel
