#include "core/views/file_names.h"

namespace parvion::views {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// 1-based position of the first separator in s, 0 when there is none.
std::size_t firstSeparator(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (isSeparator(s[i])) return i + 1;
    }
    return 0;
}

}  // namespace

std::string ForceExtension(const std::string& path, const std::string& ext) {
    std::size_t nameStart = 0;
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1])) {
            nameStart = i;
            break;
        }
    }
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= nameStart) return path.substr(0, dot) + ext;
    return path + ext;
}

std::string ShortenFileName(const std::string& path) {
    const std::size_t len = path.size();
    if (len <= 40) return path;
    const std::size_t p1 = firstSeparator(path.substr(3, 11));
    const std::string head = path.substr(0, p1 + 3);
    const std::size_t p2 = firstSeparator(path.substr(len - 21, 20));
    const std::string tail = path.substr(p2 + len - 22);
    return head + " ... " + tail;
}

}  // namespace parvion::views
