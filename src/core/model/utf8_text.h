#pragma once
// Helpers for the program's texts, which are UTF-8 in memory: trimming as
// the string libraries trim, and lengths and prefixes in characters rather
// than bytes.

#include <cstddef>
#include <string>
#include <string_view>

namespace parvion {

// Blanks and control characters removed at both ends.
std::string TrimText(std::string_view text);
// Length in characters (UTF-8 code points).
std::size_t Utf8Length(std::string_view text);
// The first `chars` characters of a UTF-8 text.
std::string_view Utf8Prefix(std::string_view text, std::size_t chars);

}  // namespace parvion
