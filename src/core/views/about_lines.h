#pragma once
// The text of the about box: program name and version, and when online the
// device's expansion level, program text and serial number.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/views/text_source.h"

namespace parvion::views {

inline constexpr const char* kProgramVersion = " V02.45";

struct AboutDeviceInfo {
    std::uint8_t ausbaustufe = 0;
    // Both as the device sends them: Windows-1252 bytes.
    std::string programText;  // as read from the device's program memory
    std::string serialNo;
};

// Text number naming an expansion level: 39 when no option but possibly the
// lowest bit is absent, 37 with circuit 2, 38 with trend recording, else 36.
std::uint16_t ExpansionLevelText(std::uint8_t ausbaustufe);

// The program text without blanks and control characters (bytes, before any
// conversion of the code page).
std::string VisibleProgramText(const std::string& text);

// The lines of the memo, in UTF-8.
std::vector<std::string> BuildAboutLines(const TextLoader& text,
                                         const std::optional<AboutDeviceInfo>& device);

}  // namespace parvion::views
