#pragma once
// File names as the parameter file commands show and force them.

#include <string>

namespace parvion::views {

// The name with its extension replaced by ext (".PGA"), or ext appended when
// it has none; folders are never touched.
std::string ForceExtension(const std::string& path, const std::string& ext);

// A file name for the status bar: whole up to 40 characters, otherwise the
// head up to the first folder separator within characters 4..14, " ... ",
// and the tail from the first separator within the last 20 characters.
std::string ShortenFileName(const std::string& path);

}  // namespace parvion::views
