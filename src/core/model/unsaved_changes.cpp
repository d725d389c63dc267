#include "core/model/unsaved_changes.h"

#include <algorithm>

namespace parvion {

namespace {

// Trailing empty remark lines are not work: the remarks page keeps a
// blank line to type into.
std::vector<std::string> Written(const std::vector<std::string>& lines) {
    std::vector<std::string> out = lines;
    while (!out.empty() &&
           std::all_of(out.back().begin(), out.back().end(), [](char c) { return c == ' '; })) {
        out.pop_back();
    }
    return out;
}

ParameterImage WithoutRemarks(const ParameterImage& image) {
    ParameterImage out = image;
    out.Bemerkung.clear();
    return out;
}

}  // namespace

void UnsavedChanges::saved(const ParameterImage& image) {
    parameters_ = WithoutRemarks(image);
    remarks_ = Written(image.Bemerkung);
}

void UnsavedChanges::deviceHolds(const ParameterImage& image) {
    parameters_ = WithoutRemarks(image);
}

bool UnsavedChanges::pending(const ParameterImage& image, bool online) const {
    if (Written(image.Bemerkung) != remarks_) return true;
    if (online) return false;
    return WithoutRemarks(image) != parameters_;
}

}  // namespace parvion
