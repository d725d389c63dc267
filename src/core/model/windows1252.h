#pragma once
// Conversion between Windows-1252, the code page of the program's files and
// of the device's texts, and UTF-8, the program's text in memory. Undefined
// Windows-1252 bytes map to the C1 code points of the same value, so every
// byte string round-trips. Utf8ToCp1252 writes "?" for every character that
// Windows-1252 cannot hold and for every byte of an invalid UTF-8 sequence.

#include <string>
#include <string_view>

namespace parvion {

std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view text);
// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace parvion
