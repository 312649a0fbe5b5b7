// The player's own files: what the game writes reads back, a damaged one
// is kept and replaced by the defaults with one message, the three sources
// of a choice apply in their order, and a city frame's progress counts.
#include "play/player_files.h"

#include <gtest/gtest.h>

#include "base/file_bytes.h"
#include "play/input_map.h"
#include "scene_api/control_bits.h"
#include "support/temp_dir.h"

namespace vel {
namespace {

std::string contents(const std::string& path) {
  const FileBytes file = read_file_bytes(path);
  return file.error.empty() ? std::string(file.bytes.begin(), file.bytes.end())
                            : "(" + file.error + ")";
}

EnvLookup home_at(const std::string& home) {
  return [home](const std::string& name) -> std::optional<std::string> {
    if (name == "HOME") return home;
    return std::nullopt;
  };
}

TEST(PlayerFiles, ChangedOptionsAndProgressReadBackInTheNextRun) {
  const test::TempDir dir;
  std::FILE* quiet = std::tmpfile();
  PlayerFiles first = open_player_files(home_at(dir.path()), quiet);
  // A first run leaves the defaults spelled out.
  EXPECT_EQ(contents(dir.file(".config/veltrocane/options.txt")), options_text(PlayerOptions{}));
  first.options.sensitivity = 0.1f;
  first.options.music_volume = 1.0f / 3.0f;
  first.options.grapple_toggle = true;
  first.options.controls[7] = 515;
  first.options.scale = 6;
  save_player_options(first, quiet);
  Progress progress;
  progress.best_level = 3;
  progress.chips_taken = 17;
  progress.best_times = {39.75f, 0.0f, 81.125f};
  save_player_progress(first, progress, quiet);

  const PlayerFiles next = open_player_files(home_at(dir.path()), quiet);
  EXPECT_EQ(next.options, first.options);
  EXPECT_EQ(next.options.music_volume, 1.0f / 3.0f);  // to the bit
  EXPECT_EQ(progress_text(next.progress), progress_text(progress));
  EXPECT_EQ(std::ftell(quiet), 0) << "nothing to say about sound files";
  std::fclose(quiet);
}

TEST(PlayerFiles, ADamagedOrForeignFileIsKeptBesideAndSaidOnce) {
  const test::TempDir dir;
  const std::string folder = dir.path() + "/.config/veltrocane";
  ASSERT_FALSE(make_folders(folder));
  const std::string header = "veltrocane-options 1\n";
  for (const std::string& bad :
       {std::string("[General]\nfullscreen=true\n"), options_text({}) + "volume 2\n",
        header + "sfx_volume 1.5\n", header + "scale 7\n", options_text({}).substr(0, 30),
        header + "\xff\n"}) {
    dir.write(".config/veltrocane/options.txt", bad);
    std::FILE* said = std::tmpfile();
    const PlayerFiles files = open_player_files(home_at(dir.path()), said);
    EXPECT_EQ(files.options, PlayerOptions{}) << bad;
    EXPECT_EQ(contents(folder + "/options.txt.damaged"), bad);
    EXPECT_EQ(contents(folder + "/options.txt"), options_text({}));
    std::string message(512, '\0');
    std::rewind(said);
    message.resize(std::fread(message.data(), 1, message.size(), said));
    std::fclose(said);
    EXPECT_EQ(message.find(folder + "/options.txt: "), 17u) << message;
    EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
  }
}

TEST(PlayerFiles, SettingsTxtWinsOverOptionsAndTheCommandLineOverBoth) {
  PlayerOptions saved;
  saved.vsync = true;
  saved.music_volume = 0.5f;
  saved.sensitivity = 2.0f;
  saved.scale = 3;
  saved.grapple_toggle = true;
  const std::string text = "music_volume=0.25\ninterlaced=1\n";
  const Settings file = parse_settings(text);
  PlayOptions command_line;
  command_line.scale = 2;
  command_line.given.scale = true;
  const Settings played =
      play_settings(choose_play_options(saved, file, named_settings_keys(text), command_line), 0);
  EXPECT_TRUE(played.vsync);              // options.txt, settings.txt silent
  EXPECT_EQ(played.music_volume, 0.25f);  // settings.txt over options.txt
  EXPECT_FALSE(played.interlaced);        // settings.txt's belongs to the fixed run
  EXPECT_EQ(command_line.look.sensitivity, 2.0f);
  EXPECT_EQ(command_line.scale, 2);  // the command line over both
  EXPECT_TRUE(command_line.grapple_toggle);
}

TEST(Progress, ACityFrameAddsChipsAndKeepsTheBestTimeOfALevel) {
  Progress progress;
  progress.best_level = 2;
  progress.best_times = {30.0f};
  FrameEvents events;
  events.add(EventKind::jumped);
  events.add(EventKind::chip_taken, 1.0f);
  events.add(EventKind::level_complete, 1.0f);
  note_city_frame(events, 1, 0.5f, 39.0f, progress);  // slower: the best stays
  EXPECT_EQ(progress.best_times[0], 30.0f);
  EXPECT_EQ(progress.chips_taken, 1u);
  EXPECT_EQ(progress.best_level, 2);
  events.list[2].value = 3.0f;
  note_city_frame(events, 2, 0.5f, 44.5f, progress);
  EXPECT_EQ(progress.best_level, 3);
  ASSERT_EQ(progress.best_times.size(), 3u);
  EXPECT_EQ(progress.best_times[2], 44.5f);
  EXPECT_EQ(progress.play_seconds, 1.0);
  EXPECT_EQ(progress_text(parse_progress_text(progress_text(progress)).progress),
            progress_text(progress));
}

TEST(GrappleToggle, APressHoldsTheRopeTheNextLetsGoAndAMissRearms) {
  GrappleToggle toggle;
  EXPECT_EQ(toggle_grapple(toggle, kGrappleBit, false), kGrappleBit);  // press: fire
  EXPECT_EQ(toggle_grapple(toggle, 0, true), kGrappleBit);             // let go: still held
  EXPECT_EQ(toggle_grapple(toggle, kGrappleBit, true), 0u);            // press: let go
  EXPECT_EQ(toggle_grapple(toggle, 0, false), 0u);
  EXPECT_EQ(toggle_grapple(toggle, kGrappleBit, false), kGrappleBit);
  // The shot missed: no rope after the frame, so the next press fires again.
  EXPECT_EQ(toggle_grapple(toggle, 0, false), 0u);
  EXPECT_EQ(toggle_grapple(toggle, kGrappleBit | kJumpBit, false), kGrappleBit | kJumpBit);
}

}  // namespace
}  // namespace vel
