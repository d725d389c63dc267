#pragma once
// The version of the programs: the project's version from the build, and the
// commit the build was made from when it was built from a git checkout.

#include <string>
#include <string_view>

namespace parvion {

// "2.0.0".
std::string_view ProgramVersion();
// The abbreviated commit hash, with "-dirty" when the checkout had
// uncommitted changes; empty when the build did not know it.
std::string_view BuildCommit();
// The line that `--version` prints: "parvion2-cli 2.0.0 (commit 1a2b3c4d5e6f)",
// or without the commit part when it is not known.
std::string VersionLine(std::string_view program);

}  // namespace parvion
