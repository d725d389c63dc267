#include "core/edit/remarks.h"

#include "core/model/parameter_file.h"

namespace parvion::edit {

std::vector<std::string> SplitRemarks(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

std::string JoinRemarks(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

std::string RemarkStorageNote(const std::vector<std::string>& lines,
                              const views::TextLoader& texts) {
    std::string numbers;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!RemarkReadsAsEnd(lines[i])) continue;
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(i + 1);
    }
    if (numbers.empty()) return {};
    std::string pattern = texts ? texts(kTextRemarkStoredOtherwise) : std::string();
    if (pattern.empty()) {
        pattern = "Line %1 would end the remarks in a parameter file; it is saved there as %2.";
    }
    return views::FillPlaceholders(pattern, {numbers, std::string(kEndMarkerLine)});
}

}  // namespace parvion::edit
