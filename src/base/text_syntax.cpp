// text_syntax.cpp: the lexical rules shared by settings.txt and the OBJ
// reader: strict UTF-8, Unicode white space, and the
// integer and float syntax.
#include "base/text_syntax.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace vel {

namespace {

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

bool is_continuation(uint8_t byte) {
  return (byte & 0xC0u) == 0x80u;
}

// Case-insensitive comparison with a lower-case ASCII word.
bool equals_word(std::string_view text, std::string_view lower_word) {
  if (text.size() != lower_word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower_word[i]) return false;
  }
  return true;
}

// Length of the white-space code point that starts text, or 0.
size_t leading_space_length(std::string_view text) {
  const auto b = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  if (text.empty()) return 0;
  const uint8_t b0 = b(0);
  if (b0 == 0x20 || (b0 >= 0x09 && b0 <= 0x0D)) return 1;
  if (text.size() >= 2 && b0 == 0xC2 && (b(1) == 0x85 || b(1) == 0xA0)) return 2;  // NEL, NBSP
  if (text.size() < 3) return 0;
  const uint8_t b1 = b(1);
  const uint8_t b2 = b(2);
  if (b0 == 0xE1 && b1 == 0x9A && b2 == 0x80) return 3;  // U+1680
  if (b0 == 0xE2 && b1 == 0x80) {
    // U+2000..U+200A, U+2028, U+2029, U+202F
    if ((b2 >= 0x80 && b2 <= 0x8A) || b2 == 0xA8 || b2 == 0xA9 || b2 == 0xAF) return 3;
  }
  if (b0 == 0xE2 && b1 == 0x81 && b2 == 0x9F) return 3;  // U+205F
  if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) return 3;  // U+3000
  return 0;
}

// Length of the white-space code point that ends text, or 0. Every
// multi-byte white space starts with a lead byte, so matching its bytes at
// the end of valid UTF-8 always matches a whole code point.
size_t trailing_space_length(std::string_view text) {
  for (size_t length = 1; length <= 3 && length <= text.size(); ++length) {
    const std::string_view tail = text.substr(text.size() - length);
    if (leading_space_length(tail) == length) return length;
  }
  return 0;
}

// Decimal magnitudes are tracked in int64 saturated at this bound: far
// beyond any float exponent, and far from int64 overflow, so absurd digit
// counts and exponents still order correctly.
constexpr int64_t kMagnitudeCap = int64_t{1} << 40;

int64_t capped(size_t count) {
  return count > static_cast<size_t>(kMagnitudeCap) ? kMagnitudeCap : static_cast<int64_t>(count);
}

}  // namespace

bool is_valid_utf8(std::string_view text) {
  const size_t size = text.size();
  size_t i = 0;
  while (i < size) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t code = 0;
    uint32_t smallest = 0;  // below this the encoding is overlong
    if ((lead & 0xE0u) == 0xC0u) {
      length = 2;
      code = lead & 0x1Fu;
      smallest = 0x80;
    } else if ((lead & 0xF0u) == 0xE0u) {
      length = 3;
      code = lead & 0x0Fu;
      smallest = 0x800;
    } else if ((lead & 0xF8u) == 0xF0u) {
      length = 4;
      code = lead & 0x07u;
      smallest = 0x10000;
    } else {
      return false;  // a stray continuation byte, or 0xF8..0xFF
    }
    if (size - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const uint8_t byte = static_cast<uint8_t>(text[i + k]);
      if (!is_continuation(byte)) return false;
      code = (code << 6) | (byte & 0x3Fu);
    }
    if (code < smallest) return false;
    if (code >= 0xD800 && code <= 0xDFFF) return false;  // surrogates
    if (code > 0x10FFFF) return false;
    i += length;
  }
  return true;
}

std::string_view trim_unicode_space(std::string_view text) {
  for (size_t length = leading_space_length(text); length != 0;
       length = leading_space_length(text)) {
    text.remove_prefix(length);
  }
  for (size_t length = trailing_space_length(text); length != 0;
       length = trailing_space_length(text)) {
    text.remove_suffix(length);
  }
  return text;
}

std::optional<int32_t> parse_int32(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Magnitude up to 2^31 fits in int64; stop as soon as it is exceeded so
  // that any number of digits is safe.
  constexpr int64_t kLimit = int64_t{1} << 31;
  int64_t magnitude = 0;
  for (const char c : text) {
    if (!is_digit(c)) return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kLimit) return std::nullopt;
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  if (magnitude == kLimit) return std::nullopt;
  return static_cast<int32_t>(magnitude);
}

std::optional<uint64_t> parse_index(std::string_view text) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  uint64_t value = 0;
  for (const char c : text) {
    if (!is_digit(c)) return std::nullopt;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::optional<float> parse_float(std::string_view text) {
  bool negative = false;
  std::string_view body = text;
  if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
    negative = body[0] == '-';
    body.remove_prefix(1);
  }
  if (equals_word(body, "inf") || equals_word(body, "infinity")) {
    return negative ? -std::numeric_limits<float>::infinity()
                    : std::numeric_limits<float>::infinity();
  }
  if (equals_word(body, "nan")) {
    return negative ? -std::numeric_limits<float>::quiet_NaN()
                    : std::numeric_limits<float>::quiet_NaN();
  }

  // Validate the decimal syntax ourselves: from_chars is more lenient in
  // places (and stricter about "+"), and we want the decimal magnitude for
  // the out-of-range case below.
  size_t i = 0;
  const size_t size = body.size();
  size_t integer_digits = 0;  // after leading zeros
  bool seen_nonzero = false;
  size_t fraction_leading_zeros = 0;  // zeros before the first non-zero fraction digit
  size_t digit_count = 0;
  for (; i < size && is_digit(body[i]); ++i) {
    ++digit_count;
    if (body[i] != '0') seen_nonzero = true;
    if (seen_nonzero) ++integer_digits;
  }
  if (i < size && body[i] == '.') {
    ++i;
    for (; i < size && is_digit(body[i]); ++i) {
      ++digit_count;
      if (body[i] != '0') seen_nonzero = true;
      if (!seen_nonzero) ++fraction_leading_zeros;
    }
  }
  if (digit_count == 0) return std::nullopt;
  int64_t exponent = 0;
  if (i < size && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    bool exponent_negative = false;
    if (i < size && (body[i] == '+' || body[i] == '-')) {
      exponent_negative = body[i] == '-';
      ++i;
    }
    if (i == size) return std::nullopt;
    for (; i < size; ++i) {
      if (!is_digit(body[i])) return std::nullopt;
      if (exponent < kMagnitudeCap) exponent = exponent * 10 + (body[i] - '0');
    }
    if (exponent_negative) exponent = -exponent;
  }
  if (i != size) return std::nullopt;
  if (!seen_nonzero) return negative ? -0.0f : 0.0f;

  // from_chars rounds correctly but rejects a leading "+", which is already
  // stripped; the "-" is handed to it.
  const char* first = negative ? body.data() - 1 : body.data();
  float value = 0.0f;
  const auto [end, error] = std::from_chars(first, body.data() + size, value);
  if (error == std::errc::result_out_of_range) {
    // Reported exactly when the correctly rounded result is infinite or
    // zero, with the value left unwritten. Which one follows from the
    // decimal magnitude: the number lies in [10^m, 10^(m+1)).
    const int64_t magnitude = integer_digits > 0 ? capped(integer_digits) - 1 + exponent
                                                 : -capped(fraction_leading_zeros) - 1 + exponent;
    const float limit = magnitude >= 0 ? std::numeric_limits<float>::infinity() : 0.0f;
    return negative ? -limit : limit;
  }
  if (error != std::errc{} || end != body.data() + size) return std::nullopt;
  return value;
}

}  // namespace vel
