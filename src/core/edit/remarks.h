#pragma once
// The remark lines of a parameter set as one text, the way the remarks page
// edits them: lines separated by "\n" (a "\r" before it is dropped). An
// empty text is no lines; a text that ends with a line break keeps the
// empty last line, so that what the page shows is what the file keeps.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/views/text_source.h"

namespace parvion::edit {

std::vector<std::string> SplitRemarks(std::string_view text);
std::string JoinRemarks(const std::vector<std::string>& lines);

// The note of the remarks page on lines that a parameter file stores in
// another form because, as they stand, they would read back as the end of
// the remarks ("@"): "Line 2, 5 ... is saved as (@)." in the library's
// language; empty when there is none.
inline constexpr std::uint16_t kTextRemarkStoredOtherwise = 9264;  // %1 lines, %2 the form
std::string RemarkStorageNote(const std::vector<std::string>& lines,
                              const views::TextLoader& texts);

}  // namespace parvion::edit
