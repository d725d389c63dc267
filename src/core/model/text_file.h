#pragma once
// Text files that the program writes whole (error list, trend export): the
// lines go to a new file beside the target that then takes its name, so a
// failure leaves an existing file as it was and never a half-written one.

#include <filesystem>
#include <string>
#include <vector>

namespace parvion {

// Writes the lines, each ending in CR LF, replacing the file. An existing
// file keeps its permissions; a new one is readable by all. False, with the
// system's reason in *reason when given, when it cannot be written.
bool WriteTextLinesAtomically(const std::filesystem::path& file,
                              const std::vector<std::string>& lines, std::string* reason);

}  // namespace parvion
