// message_text.h: how text that came from outside (file bytes, a library's
// error) is put into a message, so that it can neither drive the terminal
// nor flood standard error.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vel {

// The longest piece of a file's text a message quotes, in bytes.
inline constexpr size_t kQuotedTokenLimit = 64;

// Control characters (U+0000..U+001F, U+007F and the UTF-8 encoded C1
// controls U+0080..U+009F) become \n, \r, \t or \u{hh}; with
// `escape_quotes`, `"` and `\` become \" and \\ as well, for text that is
// put between quotes and must read back unambiguously. Every other byte is
// kept.
std::string escape_control_characters(std::string_view text, bool escape_quotes);

// A token of a file for a message: its first kQuotedTokenLimit bytes (cut
// at a character boundary, "..." marking the cut) with control characters
// escaped. An ordinary token comes back as it is.
std::string message_token(std::string_view token);

}  // namespace vel
