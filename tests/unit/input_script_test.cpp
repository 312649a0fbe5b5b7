// input_script_test.cpp: the headless runner's input scripts: their syntax,
// their errors, and which input each frame receives.
#include "sim/input_script.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_dir.h"

namespace vel {
namespace {

InputScript parsed(std::string_view text) {
  ParseResult<InputScript> result = parse_input_script(text, "test.txt");
  EXPECT_TRUE(result) << result.error;
  return result ? *result.value : InputScript{};
}

std::vector<InputSegment> segments_of(const InputScript& script) {
  std::vector<InputSegment> segments;
  size_t offset = 0;
  for (InputSegment segment; next_segment(script, offset, segment);) segments.push_back(segment);
  return segments;
}

std::string error_of(std::string_view text) {
  const ParseResult<InputScript> result = parse_input_script(text, "scripts/bad.txt");
  EXPECT_FALSE(result);
  return result.error;
}

TEST(ParseInputScript, ReadsSegmentsSkippingCommentsAndBlankLines) {
  const std::vector<InputSegment> segments =
      segments_of(parsed("# walk, then jump while turning\n"
                         "\n"
                         "300 0\n"
                         "  10\t0x41   -12.5 3e1  # forward and jump\r\n"
                         "5 0X2000\n"
                         "   # only a comment\n"
                         "2 16383 0 0"));
  ASSERT_EQ(segments.size(), 4u);
  EXPECT_EQ(segments[0].frames, 300u);
  EXPECT_EQ(segments[0].input.held, 0u);
  EXPECT_EQ(segments[1].frames, 10u);
  EXPECT_EQ(segments[1].input.held, 0x41u);
  EXPECT_EQ(segments[1].input.look, (Vec2{-12.5f, 30.0f}));
  EXPECT_EQ(segments[2].input.held, 0x2000u);
  EXPECT_EQ(segments[2].input.look, (Vec2{0.0f, 0.0f}));
  EXPECT_EQ(segments[3].input.held, 0x3FFFu);
}

TEST(ParseInputScript, AnEmptyScriptHoldsNothing) {
  EXPECT_TRUE(segments_of(parsed("")).empty());
  EXPECT_TRUE(segments_of(parsed("\n# nothing\n\n")).empty());
}

TEST(ParseInputScript, MalformedLinesNameTheFileAndLine) {
  EXPECT_EQ(error_of("10 0\n\n7\n").substr(0, 18), "scripts/bad.txt:3:");
  EXPECT_NE(error_of("10 0 1\n").find("scripts/bad.txt:1:"), std::string::npos);
  EXPECT_NE(error_of("1 2 3 4 5\n").find(":1:"), std::string::npos);
  EXPECT_NE(error_of("-1 0\n").find("FRAMES"), std::string::npos);
  EXPECT_NE(error_of("ten 0\n").find("FRAMES"), std::string::npos);
  EXPECT_NE(error_of("1.5 0\n").find("FRAMES"), std::string::npos);
  EXPECT_NE(error_of("1 0x\n").find("HELD"), std::string::npos);
  EXPECT_NE(error_of("1 0xG1\n").find("HELD"), std::string::npos);
  EXPECT_NE(error_of("1 -4\n").find("HELD"), std::string::npos);
  EXPECT_NE(error_of("1 +4\n").find("HELD"), std::string::npos);
  EXPECT_NE(error_of("1 0x99999999999999999\n").find("HELD"), std::string::npos);
  EXPECT_NE(error_of("1 0 x 0\n").find("LOOK"), std::string::npos);
  EXPECT_NE(error_of("1 0 1,5 0\n").find("LOOK"), std::string::npos);
}

TEST(ParseInputScript, RefusesBitsTheSceneDoesNotKnowAndTurnsThatAreNotFinite) {
  EXPECT_NE(error_of("1 0x4000\n").find("bits beyond 13"), std::string::npos);
  EXPECT_NE(error_of("1 16384\n").find("bits beyond 13"), std::string::npos);
  EXPECT_NE(error_of("1 0x80000000\n").find("bits beyond 13"), std::string::npos);
  EXPECT_NE(error_of("1 0 nan 0\n").find("LOOK"), std::string::npos);
  EXPECT_NE(error_of("1 0 0 -inf\n").find("LOOK"), std::string::npos);
  EXPECT_NE(error_of("1 0 1e39 0\n").find("LOOK"), std::string::npos);
}

TEST(InputForFrame, HoldsEachSegmentForItsFramesThenNothing) {
  const InputScript script = parsed("2 0x1 1 2\n0 0x2\n3 0x80\n");
  ScriptCursor cursor;
  const auto input_for = [&](uint64_t frame) { return input_for_frame(script, cursor, frame); };
  EXPECT_EQ(input_for(1).held, 0x1u);
  EXPECT_EQ(input_for(2).held, 0x1u);
  EXPECT_EQ(input_for(2).look, (Vec2{1.0f, 2.0f}));
  EXPECT_EQ(input_for(3).held, 0x80u);  // the empty segment takes no frame
  EXPECT_EQ(input_for(5).held, 0x80u);
  const InputState after = input_for(6);
  EXPECT_EQ(after.held, 0u);
  EXPECT_EQ(after.look, (Vec2{0.0f, 0.0f}));
  EXPECT_EQ(input_for(UINT64_MAX).held, 0u);
  EXPECT_EQ(input_for(0).held, 0u);     // frames count from 1
  EXPECT_EQ(input_for(4).held, 0x80u);  // an earlier frame starts the cursor over
}

TEST(InputForFrame, HugeSegmentsDoNotOverflowTheCount) {
  const InputScript script = parsed("18446744073709551615 0x1\n18446744073709551615 0x2\n");
  ScriptCursor cursor;
  const auto input_for = [&](uint64_t frame) { return input_for_frame(script, cursor, frame); };
  EXPECT_EQ(input_for(UINT64_MAX).held, 0x1u);
  EXPECT_EQ(input_for(1).held, 0x1u);
}

TEST(InputForFrame, EmptySegmentsAreReadOnceNotOnEveryFrame) {
  std::string text;
  for (int i = 0; i < 10000; ++i) text += "0 0x1\n";
  text += "50 0x2\n";
  const InputScript script = parsed(text);
  ScriptCursor cursor;
  for (uint64_t frame = 1; frame <= 50; ++frame) {
    ASSERT_EQ(input_for_frame(script, cursor, frame).held, 0x2u);
    ASSERT_EQ(cursor.next_line, text.size());  // nothing left to read while the segment lasts
  }
}

TEST(LoadInputScript, ReadsAFileAndNamesAMissingOne) {
  const test::TempDir dir;
  const std::string path = dir.write("tour.txt", "4 0x40\n");
  const ParseResult<InputScript> loaded = load_input_script(path);
  ASSERT_TRUE(loaded) << loaded.error;
  EXPECT_EQ(segments_of(*loaded.value).size(), 1u);

  const ParseResult<InputScript> bad = load_input_script(dir.write("bad.txt", "4 0x40\nfour 1\n"));
  EXPECT_NE(bad.error.find("bad.txt:2:"), std::string::npos);

  const ParseResult<InputScript> missing = load_input_script(dir.file("nowhere.txt"));
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.error.find("nowhere.txt"), std::string::npos);
}

TEST(ExampleScripts, TheShippedScriptsParse) {
  for (const char* name : {"tools/scripts/tour.txt", "tools/scripts/panel.txt"}) {
    const ParseResult<InputScript> script = load_input_script(name);
    ASSERT_TRUE(script) << script.error;
    EXPECT_FALSE(segments_of(*script.value).empty()) << name;
  }
}

}  // namespace
}  // namespace vel
