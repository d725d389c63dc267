#include "core/history/journal_csv.h"

#include "core/model/windows1252.h"

namespace parvion::history {

namespace {

// The length of the number at the start of s (sign, digits, decimals,
// exponent); 0 when s does not start with one.
std::size_t NumberLength(std::string_view s) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        return i > start;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (!digits()) return 0;
    std::size_t end = i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        if (digits()) end = i;
    }
    i = end;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        if (digits()) end = i;
    }
    return end;
}

bool IsNumber(std::string_view s) {
    return !s.empty() && NumberLength(s) == s.size();
}

// Whether a spreadsheet could take the field for a formula: it starts with
// "=" or "@", or with "+" or "-" and is not a number, nor a number and a
// unit ("-5.5000E+00 °C").
bool LooksLikeFormula(std::string_view s) {
    if (s.empty()) return false;
    if (s[0] == '=' || s[0] == '@') return true;
    if (s[0] != '+' && s[0] != '-') return false;
    const std::size_t n = NumberLength(s);
    if (n == 0) return true;
    const std::string_view unit = s.substr(n);
    return !unit.empty() &&
           (unit[0] != ' ' || unit.find_first_of("=(|!+-@\"'") != std::string_view::npos);
}

std::string Field(std::string value, char separator, bool german) {
    if (IsNumber(value)) {
        if (german) {
            for (char& c : value) {
                if (c == '.') c = ',';
            }
        }
    } else if (LooksLikeFormula(value)) {
        value.insert(0, 1, '\'');
    }
    if (value.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos &&
        (value.empty() || (value.front() != ' ' && value.back() != ' '))) {
        return value;
    }
    std::string out = "\"";
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

JournalCsvTexts EnglishJournalTexts() {
    return {
        {"No.", "Time", "Zone", "Computer", "User", "Program", "Serial number", "What", "Old value",
         "New value", "Old value (shown)", "New value (shown)", "Outcome", "Cause"},
        {"Setting", "Table", "Clock", "Baud rate"},
        {"written, read back equal", "written, read back differs", "failed"},
        {"window", "command line"}};
}

std::string WhatText(const JournalChange& c, const JournalCsvTexts& texts) {
    switch (c.target) {
        case Target::Setting:
            return c.section + " " + c.key;
        case Target::Table:
            return texts.targets[1] + " " + c.section;
        case Target::Clock:
            return texts.targets[2];
        case Target::BaudRate:
            return texts.targets[3];
    }
    return {};
}

std::string JournalCsv(const std::vector<JournalEntry>& entries, const JournalCsvTexts& texts,
                       bool german) {
    const char separator = german ? ';' : ',';
    std::string out;
    auto line = [&](const std::vector<std::string>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) out += separator;
            out += Field(fields[i], separator, german);
        }
        out += "\r\n";
    };
    line({texts.heads.begin(), texts.heads.end()});
    for (const JournalEntry& e : entries) {
        const JournalChange& c = e.change;
        const std::string program = e.origin.program == kProgramWindow ? texts.programs[0]
                                    : e.origin.program == kProgramCli  ? texts.programs[1]
                                                                       : e.origin.program;
        line({std::to_string(e.seq), FormatLocal(e.at, german),
              "UTC" + FormatZone(e.at.zoneMinutes), e.origin.computer, e.origin.user, program,
              e.serial, WhatText(c, texts), c.oldBase, c.newBase, c.oldShown, c.newShown,
              texts.outcomes[static_cast<std::size_t>(c.outcome)], c.cause});
    }
    return german ? Utf8ToCp1252(out) : "\xEF\xBB\xBF" + out;
}

}  // namespace parvion::history
