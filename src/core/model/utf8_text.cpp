#include "core/model/utf8_text.h"

namespace parvion {

namespace {

bool isBlankOrControl(unsigned char c) {
    return c <= 0x20 || c == 0x7F;
}

bool isContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

}  // namespace

std::size_t Utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (char ch : text) {
        if (!isContinuationByte(static_cast<unsigned char>(ch))) ++n;
    }
    return n;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t chars) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isContinuationByte(static_cast<unsigned char>(text[i]))) {
            if (seen == chars) return text.substr(0, i);
            ++seen;
        }
    }
    return text;
}

std::string TrimText(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isBlankOrControl(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && isBlankOrControl(static_cast<unsigned char>(text[e - 1]))) --e;
    return std::string(text.substr(b, e - b));
}

}  // namespace parvion
