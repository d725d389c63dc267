#include "core/views/error_protocol_lines.h"

#include "core/model/text_file.h"
#include "core/model/value_format.h"

namespace parvion::views {

bool IsCircuit2ErrorGroup(std::size_t group) {
    return group == 4 || group == 5 || group == 6 || group == 7 || group == 11;
}

std::array<std::size_t, ErrorProtocolRec::kEntries> ErrorEntryOrder(const ErrorProtocolRec& p,
                                                                    std::size_t group) {
    constexpr std::size_t n = ErrorProtocolRec::kEntries;
    std::size_t slot = p.position(group);
    if (p.Entry[group][slot].Active == 0) slot = (slot + n - 1) % n;
    std::array<std::size_t, n> order{};
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = slot;
        slot = (slot + n - 1) % n;
    }
    return order;
}

std::string ErrorEntryLine(const ErrorEntry& e, const std::string& a, const std::string& b,
                           const std::string& c) {
    if (e.Active != 0) return FormatDeviceDateTime(e.Start) + std::string(24, ' ') + a;
    if (e.Start.day != 0) {
        return FormatDeviceDateTime(e.Start) + c + FormatDeviceDateTime(e.End) +
               (e.Second != 0 ? std::string(12, ' ') : b);
    }
    return {};
}

std::vector<std::string> BuildErrorProtocolLines(const ErrorProtocolRec& protocol,
                                                 const SystemRec& system, const TextLoader& text,
                                                 const BlockLoader& load) {
    const std::string a = text(17440);
    const std::string b = text(17441);
    const std::string c = text(17442);
    TextBlock names;
    names.fill({});
    const bool oneCircuitSystem = system.Kind == 1 || system.Kind == 2;
    if (!load(oneCircuitSystem ? 17424 : 17408, kErrorGroupWidth, names)) names.fill({});
    const bool circuit2 = (system.Ausbaustufe & ausbaustufe::NoCircuit2) == 0;

    std::vector<std::string> lines;
    for (std::size_t g = 0; g < ErrorProtocolRec::kGroups; ++g) {
        if (!circuit2 && IsCircuit2ErrorGroup(g)) continue;
        lines.push_back(names[g]);
        for (std::size_t slot : ErrorEntryOrder(protocol, g)) {
            std::string line = ErrorEntryLine(protocol.Entry[g][slot], a, b, c);
            if (!line.empty()) lines.push_back(std::move(line));
        }
        lines.emplace_back();
    }
    return lines;
}

bool SaveErrorProtocolFile(const std::filesystem::path& file, const std::vector<std::string>& lines,
                           std::string* error) {
    return WriteTextLinesAtomically(file, lines, error);
}

}  // namespace parvion::views
