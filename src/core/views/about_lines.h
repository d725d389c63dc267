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
    std::string programText;  // as read from the device's program memory
    std::string serialNo;
};

// Text number naming an expansion level: 39 when no option but possibly the
// lowest bit is absent, 37 with circuit 2, 38 with trend recording, else 36.
std::uint16_t ExpansionLevelText(std::uint8_t ausbaustufe);

// The program text without blanks and control characters.
std::string VisibleProgramText(const std::string& text);

std::vector<std::string> BuildAboutLines(const TextLoader& text,
                                         const std::optional<AboutDeviceInfo>& device);

}  // namespace parvion::views
