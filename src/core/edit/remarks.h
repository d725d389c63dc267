#pragma once
// The remark lines of a parameter set as one text, the way the remarks page
// edits them: lines separated by "\n" (a "\r" before it is dropped). An
// empty text is no lines; a text that ends with a line break keeps the
// empty last line, so that what the page shows is what the file keeps.

#include <string>
#include <string_view>
#include <vector>

namespace parvion::edit {

std::vector<std::string> SplitRemarks(std::string_view text);
std::string JoinRemarks(const std::vector<std::string>& lines);

}  // namespace parvion::edit
