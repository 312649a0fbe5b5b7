// text_syntax_test.cpp: file reads, UTF-8 validation, white-space trimming
// and the number syntax shared by settings.txt and the OBJ reader.
#include "base/text_syntax.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "base/file_bytes.h"
#include "support/temp_dir.h"

namespace vel {
namespace {

uint32_t bits(float v) {
  return std::bit_cast<uint32_t>(v);
}

TEST(ReadFileBytes, ReadsWholeFileIncludingNulAndHighBytes) {
  const test::TempDir dir;
  std::string content(200000, 'x');  // larger than one read chunk
  content[5] = '\0';
  content[199999] = '\xff';
  const FileBytes file = read_file_bytes(dir.write("data.bin", content));
  EXPECT_EQ(file.error, "");
  ASSERT_EQ(file.bytes.size(), content.size());
  EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.end()), content);
}

TEST(ReadFileBytes, EmptyFileIsNotAnError) {
  const test::TempDir dir;
  const FileBytes file = read_file_bytes(dir.write("empty", ""));
  EXPECT_EQ(file.error, "");
  EXPECT_TRUE(file.bytes.empty());
}

TEST(ReadFileBytes, MissingFileAndDirectoryGiveTheSystemErrorText) {
  const test::TempDir dir;
  const FileBytes missing = read_file_bytes(dir.file("no_such_file"));
  EXPECT_EQ(missing.error, "No such file or directory");
  EXPECT_TRUE(missing.bytes.empty());
  const FileBytes directory = read_file_bytes(dir.path());
  EXPECT_EQ(directory.error, "Is a directory");
  EXPECT_TRUE(directory.bytes.empty());
}

TEST(Utf8, AcceptsWellFormedText) {
  EXPECT_TRUE(is_valid_utf8(""));
  EXPECT_TRUE(is_valid_utf8(std::string_view("a\0b", 3)));
  EXPECT_TRUE(is_valid_utf8("\xC2\x80"));           // U+0080, smallest 2-byte
  EXPECT_TRUE(is_valid_utf8("\xE0\xA0\x80"));       // U+0800, smallest 3-byte
  EXPECT_TRUE(is_valid_utf8("\xED\x9F\xBF"));       // U+D7FF, just below surrogates
  EXPECT_TRUE(is_valid_utf8("\xEE\x80\x80"));       // U+E000, just above them
  EXPECT_TRUE(is_valid_utf8("\xEF\xBB\xBFkey=1"));  // byte-order mark
  EXPECT_TRUE(is_valid_utf8("\xF0\x90\x80\x80"));   // U+10000
  EXPECT_TRUE(is_valid_utf8("\xF4\x8F\xBF\xBF"));   // U+10FFFF, the last code point
}

TEST(Utf8, RejectsOverlongsSurrogatesAndOutOfRange) {
  EXPECT_FALSE(is_valid_utf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(is_valid_utf8("\xC1\xBF"));          // overlong U+007F
  EXPECT_FALSE(is_valid_utf8("\xE0\x9F\xBF"));      // overlong U+07FF
  EXPECT_FALSE(is_valid_utf8("\xF0\x8F\xBF\xBF"));  // overlong U+FFFF
  EXPECT_FALSE(is_valid_utf8("\xED\xA0\x80"));      // U+D800
  EXPECT_FALSE(is_valid_utf8("\xED\xBF\xBF"));      // U+DFFF
  EXPECT_FALSE(is_valid_utf8("\xF4\x90\x80\x80"));  // U+110000
  EXPECT_FALSE(is_valid_utf8("\xF8\x88\x80\x80\x80"));
  EXPECT_FALSE(is_valid_utf8("\xFF"));
}

TEST(Utf8, RejectsTruncatedAndStraySequences) {
  EXPECT_FALSE(is_valid_utf8("\x80"));          // continuation without lead
  EXPECT_FALSE(is_valid_utf8("a\xC3"));         // cut off at the end
  EXPECT_FALSE(is_valid_utf8("\xE2\x82"));      // cut off in a 3-byte sequence
  EXPECT_FALSE(is_valid_utf8("\xE2\x28\xA1"));  // bad second byte
  EXPECT_FALSE(is_valid_utf8("\xF0\x90\x80"));  // 4-byte cut to 3
}

TEST(Trim, RemovesAsciiWhiteSpaceIncludingCarriageReturn) {
  EXPECT_EQ(trim_unicode_space(" \t\v\f\r\nkey=1 \r"), "key=1");
  EXPECT_EQ(trim_unicode_space("a b"), "a b");  // inner space stays
  EXPECT_EQ(trim_unicode_space("   "), "");
  EXPECT_EQ(trim_unicode_space(""), "");
  EXPECT_EQ(trim_unicode_space("\r"), "");
}

TEST(Trim, RemovesEveryUnicodeWhiteSpaceCodePoint) {
  const char* spaces[] = {
      "\xC2\x85",     "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81",
      "\xE2\x80\x82", "\xE2\x80\x83", "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86",
      "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89", "\xE2\x80\x8A", "\xE2\x80\xA8",
      "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80",
  };
  for (const char* space : spaces) {
    const std::string text = std::string(space) + "x" + space + space;
    EXPECT_EQ(trim_unicode_space(text), "x") << "code point bytes: " << space;
  }
}

TEST(Trim, KeepsLookAlikesThatAreNotWhiteSpace) {
  // U+200B ZERO WIDTH SPACE, U+FEFF byte-order mark, U+180E and U+00B7 are
  // not White_Space; neither is U+2030 (shares the lead bytes of U+202F).
  EXPECT_EQ(trim_unicode_space("\xE2\x80\x8Bx"), "\xE2\x80\x8Bx");
  EXPECT_EQ(trim_unicode_space("\xEF\xBB\xBFx"), "\xEF\xBB\xBFx");
  EXPECT_EQ(trim_unicode_space("x\xE1\xA0\x8E"), "x\xE1\xA0\x8E");
  EXPECT_EQ(trim_unicode_space("x\xC2\xB7"), "x\xC2\xB7");
  EXPECT_EQ(trim_unicode_space("x\xE2\x80\xB0"), "x\xE2\x80\xB0");
  // A trailing continuation byte equal to 0xA0 must not be taken for NBSP
  // unless the byte before it is the 0xC2 lead: U+00E0 is C3 A0.
  EXPECT_EQ(trim_unicode_space("x\xC3\xA0"), "x\xC3\xA0");
}

TEST(ParseInt32, AcceptsSignsAndTheFullRange) {
  EXPECT_EQ(parse_int32("0"), 0);
  EXPECT_EQ(parse_int32("-0"), 0);
  EXPECT_EQ(parse_int32("+1"), 1);
  EXPECT_EQ(parse_int32("513"), 513);
  EXPECT_EQ(parse_int32("000000000000000000000042"), 42);
  EXPECT_EQ(parse_int32("2147483647"), INT32_MAX);
  EXPECT_EQ(parse_int32("-2147483648"), INT32_MIN);
}

TEST(ParseInt32, RejectsEverythingElse) {
  for (const char* text : {"", "+", "-", "2147483648", "-2147483649", "99999999999999999999", "1.0",
                           " 1", "1 ", "0x1", "1e3", "--1", "+-1", "１", "1\r", "one"}) {
    EXPECT_FALSE(parse_int32(text).has_value()) << '"' << text << '"';
  }
}

TEST(ParseIndex, AcceptsPlusAndTheWholeUnsigned64Range) {
  EXPECT_EQ(parse_index("1"), 1u);
  EXPECT_EQ(parse_index("+12"), 12u);
  EXPECT_EQ(parse_index("0"), 0u);
  EXPECT_EQ(parse_index("18446744073709551615"), UINT64_MAX);
}

TEST(ParseIndex, RejectsSignsOverflowAndJunk) {
  for (const char* text : {"", "+", "-1", "18446744073709551616", "99999999999999999999999", "1.0",
                           " 1", "1a", "++1"}) {
    EXPECT_FALSE(parse_index(text).has_value()) << '"' << text << '"';
  }
}

TEST(ParseFloat, AcceptsEveryFormOfTheDecimalSyntax) {
  EXPECT_EQ(parse_float("5"), 5.0f);
  EXPECT_EQ(parse_float("5."), 5.0f);
  EXPECT_EQ(parse_float(".5"), 0.5f);
  EXPECT_EQ(parse_float("0.5"), 0.5f);
  EXPECT_EQ(parse_float("+2.5"), 2.5f);
  EXPECT_EQ(parse_float("-3"), -3.0f);
  EXPECT_EQ(parse_float("1e3"), 1000.0f);
  EXPECT_EQ(parse_float("1E+3"), 1000.0f);
  EXPECT_EQ(parse_float("25e-1"), 2.5f);
  EXPECT_EQ(parse_float("5.e1"), 50.0f);
  EXPECT_EQ(parse_float(".5E1"), 5.0f);
  EXPECT_EQ(parse_float("00000.000000"), 0.0f);
}

TEST(ParseFloat, RejectsMalformedText) {
  for (const char* text :
       {"",    ".",     "+",     "-",    "+.", "e5",  ".e5",   "5e",     "5e+",
        "5e-", "1..0",  "1.0.0", " 1",   "1 ", "1\r", "0x1p3", "1,5",    "++1",
        "+-1", "1e5.0", "infin", "nana", "in", "1f",  "--inf", "nan(1)", "1e 5"}) {
    EXPECT_FALSE(parse_float(text).has_value()) << '"' << text << '"';
  }
}

TEST(ParseFloat, WordsInAnyCase) {
  EXPECT_EQ(parse_float("inf"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(parse_float("INFINITY"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(parse_float("+InFiNiTy"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(parse_float("-Inf"), -std::numeric_limits<float>::infinity());
  for (const char* text : {"nan", "NaN", "NAN", "+nan", "-nAn"}) {
    const std::optional<float> value = parse_float(text);
    ASSERT_TRUE(value.has_value()) << text;
    EXPECT_TRUE(std::isnan(*value)) << text;
  }
}

TEST(ParseFloat, RoundsToTheNearestFloat) {
  // 0.1 is not representable; the nearest float is 0x3DCCCCCD.
  EXPECT_EQ(bits(*parse_float("0.1")), 0x3DCCCCCDu);
  // 16777217 lies halfway between two floats: ties go to even.
  EXPECT_EQ(*parse_float("16777217"), 16777216.0f);
  EXPECT_EQ(*parse_float("16777219"), 16777220.0f);
  // Just above the halfway point must round up, which needs every digit.
  EXPECT_EQ(*parse_float("16777217.000000000000000000000000001"), 16777218.0f);
  // Many digits before and after the point.
  EXPECT_EQ(*parse_float("0.0000000000000000000000000000000000000000000000000001e52"), 1.0f);
}

TEST(ParseFloat, OverflowRoundsToInfinityAndUnderflowToZeroOrDenormal) {
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(*parse_float("3.4028235e38"), std::numeric_limits<float>::max());
  // Above the largest float but below the rounding boundary: still the max.
  EXPECT_EQ(*parse_float("3.40282356e38"), std::numeric_limits<float>::max());
  EXPECT_EQ(*parse_float("3.4028236e38"), inf);
  EXPECT_EQ(*parse_float("1e39"), inf);
  EXPECT_EQ(*parse_float("-1e39"), -inf);
  EXPECT_EQ(*parse_float("1e99999999999999999999999999"), inf);
  EXPECT_EQ(*parse_float("123456789012345678901234567890123456789012"), inf);

  EXPECT_EQ(bits(*parse_float("1e-45")), 0x00000001u);  // smallest denormal
  EXPECT_EQ(bits(*parse_float("-1.4e-45")), 0x80000001u);
  EXPECT_EQ(bits(*parse_float("1e-46")), 0x00000000u);
  EXPECT_EQ(bits(*parse_float("-1e-46")), 0x80000000u);
  EXPECT_EQ(bits(*parse_float("0.0000000000000000000000000000000000000000000000001")), 0u);
  EXPECT_EQ(bits(*parse_float("1e-99999999999999999999999999")), 0u);
  // Huge exponents on a zero mantissa stay zero.
  EXPECT_EQ(bits(*parse_float("0e99999999999999999999")), 0u);
  EXPECT_EQ(bits(*parse_float("-0.0")), 0x80000000u);
  // A long mantissa with a large negative exponent that still lands in range.
  EXPECT_EQ(*parse_float("100000000000000000000000000000000000000000000000000e-50"), 1.0f);
}

}  // namespace
}  // namespace vel
