// settings_test.cpp: what settings.txt may hold, and how the game falls back
// to its defaults when it holds anything else.
#include "scene_api/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <string>

#include "support/temp_dir.h"

namespace vel {
namespace {

constexpr std::array<int32_t, kControlSlotCount> kDefaultControls{26,  22, 4,  7, 20, 8,  44,
                                                                  513, 26, 22, 4, 7,  40, 41};

void expect_defaults(const Settings& s) {
  EXPECT_EQ(s.controls, kDefaultControls);
  EXPECT_EQ(s.music_volume, 1.0f);
  EXPECT_EQ(s.sfx_volume, 1.0f);
  EXPECT_EQ(s.show_fps, 0);
  EXPECT_FALSE(s.fullscreen);
  EXPECT_FALSE(s.vsync);
  EXPECT_TRUE(s.interlaced);
}

bool accepted(std::string_view text) {
  return parse_settings(text).load_status == kSettingsLoaded;
}

TEST(SettingsParse, FileOfExplicitDefaultsIsAcceptedUnchanged) {
  const Settings s = parse_settings(
      "controls=26|22|4|7|20|8|44|513|26|22|4|7|40|41\n"
      "music_volume=1.0\n"
      "sfx_volume=1.0\n"
      "show_fps=0\n"
      "fullscreen=0\n"
      "vsync=0\n"
      "interlaced=1\n");
  EXPECT_EQ(s.load_status, kSettingsLoaded);
  expect_defaults(s);
}

TEST(SettingsParse, EveryKeyIsStored) {
  const Settings s = parse_settings(
      "controls=-1|+2|3|4|5|6|7|8|9|10|11|12|2147483647|-2147483648\n"
      "music_volume=0.25\n"
      "sfx_volume=.5\n"
      "show_fps=3\n"
      "fullscreen=1\n"
      "vsync=+1\n"
      "interlaced=-0");
  EXPECT_EQ(s.load_status, kSettingsLoaded);
  EXPECT_EQ(s.controls, (std::array<int32_t, kControlSlotCount>{-1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11,
                                                                12, 2147483647, -2147483647 - 1}));
  EXPECT_EQ(s.music_volume, 0.25f);
  EXPECT_EQ(s.sfx_volume, 0.5f);
  EXPECT_EQ(s.show_fps, 3);
  EXPECT_TRUE(s.fullscreen);
  EXPECT_TRUE(s.vsync);
  EXPECT_FALSE(s.interlaced);
}

TEST(SettingsParse, EmptyTextAndBareLineFeedsAreAccepted) {
  for (const char* text : {"", "\n", "\n\n\n", "vsync=1\n\n\nfullscreen=1\n\n"}) {
    EXPECT_TRUE(accepted(text)) << '"' << text << '"';
  }
}

TEST(SettingsParse, CrLfLineEndsAreHarmlessButABlankCrLineIsRejected) {
  const Settings s = parse_settings("vsync=1\r\nshow_fps=2\r\n");
  EXPECT_EQ(s.load_status, kSettingsLoaded);
  EXPECT_TRUE(s.vsync);
  EXPECT_EQ(s.show_fps, 2);
  EXPECT_FALSE(accepted("vsync=1\r\n\r\nshow_fps=2\r\n"));
  EXPECT_FALSE(accepted("   \n"));
}

TEST(SettingsParse, SurroundingUnicodeSpaceIsTrimmedFromTheLine) {
  const Settings s = parse_settings("\t show_fps=4 \xE3\x80\x80\xC2\xA0\n");
  EXPECT_EQ(s.load_status, kSettingsLoaded);
  EXPECT_EQ(s.show_fps, 4);
}

TEST(SettingsParse, SwitchesTakeOnlyZeroOrOne) {
  EXPECT_TRUE(parse_settings("interlaced=00 ").load_status == kSettingsLoaded);  // line trimmed
  for (const char* text : {"vsync=2", "vsync=-1", "vsync=true", "vsync=", "vsync= 1", "vsync =1",
                           "vsync = 1", "vsync=1.0", "vsync=0x1", "VSYNC=1", "fullscreen=yes"}) {
    EXPECT_FALSE(accepted(text)) << '"' << text << '"';
  }
}

TEST(SettingsParse, LinesThatDoNotSplitIntoKeyAndValueAreRejected) {
  for (const char* text : {"# a comment", "vsync", "vsync==1", "vsync=1=1", "=1", "=", "unknown=1",
                           "\xEF\xBB\xBFvsync=1" /* BOM glued to the first key */}) {
    EXPECT_FALSE(accepted(text)) << '"' << text << '"';
  }
}

TEST(SettingsParse, ControlsNeedExactlyFourteenTightFields) {
  EXPECT_TRUE(accepted("controls=1|2|3|4|5|6|7|8|9|10|11|12|13|14"));
  // The value is trimmed, so spaces after "=" are fine for controls only.
  const Settings spaced = parse_settings("controls=   1|2|3|4|5|6|7|8|9|10|11|12|13|14");
  EXPECT_EQ(spaced.load_status, kSettingsLoaded);
  EXPECT_EQ(spaced.controls[0], 1);
  EXPECT_EQ(spaced.controls[13], 14);

  for (const char* text : {
           "controls=1|2|3|4|5|6|7|8|9|10|11|12|13",        // 13 fields
           "controls=1|2|3|4|5|6|7|8|9|10|11|12|13|14|15",  // 15 fields
           "controls=1|2|3|4|5|6|7|8|9|10|11|12|13|",       // empty 14th
           "controls=1 |2|3|4|5|6|7|8|9|10|11|12|13|14",    // space before "|"
           "controls=1| 2|3|4|5|6|7|8|9|10|11|12|13|14",    // space after "|"
           "controls=1|2|3|4|5|6|7|8|9|10|11|12|13|2147483648",
           "controls=1|2|3|4|5|6|7|8|9|10|11|12|13|x",
           "controls=",
       }) {
    EXPECT_FALSE(accepted(text)) << '"' << text << '"';
  }
}

TEST(SettingsParse, RejectedControlsLeaveEarlierFieldsAlone) {
  // A partial field list must never be half-copied into the record.
  const Settings s = parse_settings("controls=1|2|3|4|5|6|7|8|9|10|11|12|13\n");
  EXPECT_EQ(s.load_status, kSettingsLineRejected);
  EXPECT_EQ(s.controls, kDefaultControls);
}

TEST(SettingsParse, VolumesAreClampedIntoZeroToOne) {
  struct Case {
    const char* value;
    float stored;
  };
  for (const Case c : {Case{"2.5", 1.0f}, Case{"-3", 0.0f}, Case{"nan", 0.0f}, Case{"-NaN", 0.0f},
                       Case{"inf", 1.0f}, Case{"-infinity", 0.0f}, Case{"1e39", 1.0f},
                       Case{"0.75", 0.75f}, Case{"5.", 1.0f}, Case{"1e-50", 0.0f}}) {
    const Settings s =
        parse_settings(std::string("music_volume=") + c.value + "\nsfx_volume=" + c.value);
    EXPECT_EQ(s.load_status, kSettingsLoaded) << c.value;
    EXPECT_EQ(s.music_volume, c.stored) << c.value;
    EXPECT_EQ(s.sfx_volume, c.stored) << c.value;
  }
  for (const char* text : {"music_volume=.", "music_volume= 0.5", "sfx_volume=1,0",
                           "sfx_volume=0.5f", "music_volume="}) {
    EXPECT_FALSE(accepted(text)) << '"' << text << '"';
  }
}

TEST(SettingsParse, ShowFpsTakesAnyInt32) {
  EXPECT_EQ(parse_settings("show_fps=-1").show_fps, -1);
  EXPECT_EQ(parse_settings("show_fps=7").show_fps, 7);
  EXPECT_FALSE(accepted("show_fps=2147483648"));
  EXPECT_FALSE(accepted("show_fps=1.0"));
}

TEST(SettingsParse, LaterDuplicateWinsAndFirstRejectedLineStopsReading) {
  EXPECT_EQ(parse_settings("show_fps=1\nshow_fps=4").show_fps, 4);
  const Settings s = parse_settings("show_fps=1\nbad line\nshow_fps=4\nvsync=1");
  EXPECT_EQ(s.load_status, kSettingsLineRejected);
  EXPECT_EQ(s.show_fps, 1);  // lines after the rejected one are never read
  EXPECT_FALSE(s.vsync);
}

TEST(SettingsFile, MissingUnreadableOrNonUtf8FileGivesDefaultsWithStatus2) {
  const test::TempDir dir;
  const Settings missing = read_settings(dir.file("settings.txt"));
  EXPECT_EQ(missing.load_status, kSettingsUnreadable);
  expect_defaults(missing);

  EXPECT_EQ(read_settings(dir.path()).load_status, kSettingsUnreadable);  // a directory

  const Settings latin1 = read_settings(dir.write("latin1.txt", "show_fps=3\nname=caf\xE9\n"));
  EXPECT_EQ(latin1.load_status, kSettingsUnreadable);
  expect_defaults(latin1);  // not even the good first line is applied

  if (::geteuid() != 0) {  // root reads anything
    const std::string locked = dir.write("locked.txt", "show_fps=3\n");
    ::chmod(locked.c_str(), 0);
    EXPECT_EQ(read_settings(locked).load_status, kSettingsUnreadable);
  }
}

TEST(SettingsFile, LoadSettingsResetsEveryFieldWhenAnyLineIsRejected) {
  const test::TempDir dir;
  const std::string path =
      dir.write("settings.txt", "fullscreen=1\nvsync=1\nshow_fps=3\nmusic_volume=0.5\nvsync=2\n");
  const Settings read = read_settings(path);
  EXPECT_EQ(read.load_status, kSettingsLineRejected);
  EXPECT_TRUE(read.fullscreen);  // the reader itself keeps what it had

  const Settings loaded = load_settings(path);
  EXPECT_EQ(loaded.load_status, kSettingsLineRejected);
  expect_defaults(loaded);
}

TEST(SettingsFile, LoadSettingsKeepsACleanFileAndReportsAMissingOne) {
  const test::TempDir dir;
  const Settings clean = load_settings(dir.write("settings.txt", "vsync=1\r\nshow_fps=-1\r\n"));
  EXPECT_EQ(clean.load_status, kSettingsLoaded);
  EXPECT_TRUE(clean.vsync);
  EXPECT_EQ(clean.show_fps, -1);

  const Settings missing = load_settings(dir.file("absent.txt"));
  EXPECT_EQ(missing.load_status, kSettingsUnreadable);
  expect_defaults(missing);
}

}  // namespace
}  // namespace vel
