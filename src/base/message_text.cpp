// message_text.cpp: the escaping and cutting rules for outside text in
// messages.
#include "base/message_text.h"

namespace vel {

namespace {

void append_hex_escape(std::string& out, unsigned code) {
  constexpr char kHex[] = "0123456789abcdef";
  out += "\\u{";
  out += kHex[(code >> 4) & 0xFu];
  out += kHex[code & 0xFu];
  out += '}';
}

bool is_continuation_byte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

}  // namespace

std::string escape_control_characters(std::string_view text, bool escape_quotes) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (escape_quotes && (c == '"' || c == '\\')) {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      append_hex_escape(out, c);
    } else if (c == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      // U+0080..U+009F, the C1 controls, are control characters too.
      append_hex_escape(out, static_cast<unsigned char>(text[i + 1]));
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string message_token(std::string_view token) {
  if (token.size() <= kQuotedTokenLimit) return escape_control_characters(token, false);
  // Backs off to the start of a character (at most three bytes in valid
  // UTF-8) so the cut never leaves half of one.
  size_t cut = kQuotedTokenLimit;
  for (int back = 0; back < 3 && cut > 0 && is_continuation_byte(token[cut]); ++back) --cut;
  return escape_control_characters(token.substr(0, cut), false) + "...";
}

}  // namespace vel
