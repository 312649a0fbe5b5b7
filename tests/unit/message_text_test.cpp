// message_text_test.cpp: file text quoted in messages is escaped and cut,
// while ordinary tokens read exactly as before.
#include "base/message_text.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/obj_reader.h"
#include "sim/input_script.h"

namespace vel {
namespace {

TEST(MessageToken, OrdinaryTokensAreKeptAsTheyAre) {
  EXPECT_EQ(message_token("1,5"), "1,5");
  EXPECT_EQ(message_token("say \"hi\" C:\\x caf\xC3\xA9"), "say \"hi\" C:\\x caf\xC3\xA9");
  EXPECT_EQ(message_token(std::string(64, 'a')), std::string(64, 'a'));
}

TEST(MessageToken, ControlCharactersAreEscapedAndLongTokensCut) {
  EXPECT_EQ(message_token("\x1b]0;owned\x07|\t|\xC2\x9B"), "\\u{1b}]0;owned\\u{07}|\\t|\\u{9b}");
  EXPECT_EQ(message_token(std::string(65, 'a')), std::string(64, 'a') + "...");
  // A cut inside a two-byte character backs off to its start.
  EXPECT_EQ(message_token(std::string(63, 'a') + "\xC3\xA9zz"), std::string(63, 'a') + "...");
}

TEST(MessageToken, ReadersQuoteTheirFilesThroughIt) {
  const std::string huge(50000, '7');
  const ParseResult<Mesh> mesh = parse_obj("v 1 \x1b[2J" + huge + " 3\n", "m.obj");
  EXPECT_EQ(mesh.error, "m.obj:1: \"\\u{1b}[2J" + huge.substr(0, 60) + "...\" is not a number");
  const ParseResult<InputScript> script = parse_input_script("1 \x1b[31m\n", "s.txt");
  EXPECT_EQ(script.error, "s.txt:1: HELD \"\\u{1b}[31m\" is not a decimal or 0x number");
}

}  // namespace
}  // namespace vel
