// text_syntax.h: the lexical rules shared by the text files the program
// reads (settings.txt, OBJ meshes, input scripts): UTF-8 validation,
// Unicode white-space trimming and the integer and float syntax.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vel {

bool is_valid_utf8(std::string_view text);
// Removes Unicode white space (every White_Space code point, carriage
// return included) from both ends. Meant for valid UTF-8; other bytes are
// left in place, never read past.
std::string_view trim_unicode_space(std::string_view text);

// Optional sign, one or more decimal digits, nothing else, within int32.
std::optional<int32_t> parse_int32(std::string_view text);
// Optional "+", one or more decimal digits, within uint64.
std::optional<uint64_t> parse_index(std::string_view text);
// Optional sign; digits with an optional point (at least one digit) and an
// optional exponent, or inf / infinity / nan in any case; no white space.
// Rounded to the nearest 32-bit float: too large gives +-inf, too small
// +-0 or a denormal, as correct rounding does.
std::optional<float> parse_float(std::string_view text);

}  // namespace vel
