#include "core/views/about_lines.h"

#include "core/model/parameter_image.h"
#include "core/model/profile_file.h"
#include "core/model/windows1252.h"

namespace parvion::views {

std::uint16_t ExpansionLevelText(std::uint8_t ausbaustufe) {
    if ((ausbaustufe & 0xFE) == 0) return 39;
    std::uint16_t number = 36;
    if ((ausbaustufe & ausbaustufe::NoCircuit2) == 0) number = 37;
    if ((ausbaustufe & ausbaustufe::NoTrend) == 0) number = 38;
    return number;
}

std::string VisibleProgramText(const std::string& text) {
    std::string out;
    for (char ch : text) {
        if (static_cast<unsigned char>(ch) > ' ') out.push_back(ch);
    }
    return out;
}

std::vector<std::string> BuildAboutLines(const TextLoader& text,
                                         const std::optional<AboutDeviceInfo>& device) {
    std::vector<std::string> lines;
    lines.push_back(text(32) + kProgramVersion);
    lines.push_back(text(33));
    if (device) {
        lines.emplace_back();
        // The device keeps its texts in the Windows-1252 code page.
        lines.push_back(text(ExpansionLevelText(device->ausbaustufe)) + " " +
                        Cp1252ToUtf8(VisibleProgramText(device->programText)));
        lines.push_back(text(40) + " " + Cp1252ToUtf8(device->serialNo));
    }
    lines.emplace_back();
    for (std::uint16_t n = 41; n <= 43; ++n) lines.push_back(text(n));
    return lines;
}

}  // namespace parvion::views
