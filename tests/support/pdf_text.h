#pragma once
// The text of a real PDF as poppler's pdftotext reads it, page by page.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace parvion::test {

// The pages' texts ("-layout" keeps the columns on their lines); empty when
// pdftotext cannot read the file.
inline std::vector<std::string> PdfPages(const std::filesystem::path& file) {
    const std::string command =
        "pdftotext -layout -enc UTF-8 '" + file.string() + "' - 2>/dev/null";
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
        ::pclose(pipe);
    }
    std::vector<std::string> pages;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\f') {
            pages.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return pages;
}

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace parvion::test
