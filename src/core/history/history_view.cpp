#include "core/history/history_view.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "core/history/snapshot_text.h"
#include "core/model/defaults.h"
#include "core/model/text_file.h"
#include "core/model/variant.h"

namespace parvion::history {

namespace {

using namespace std::chrono;

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string Or(std::string text, std::string_view fallback) {
    return text.empty() ? std::string(fallback) : text;
}

// The first `count` characters of a UTF-8 text.
std::string FirstChars(const std::string& s, std::size_t count) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto byte = static_cast<unsigned char>(s[i]);
        if ((byte & 0xC0) != 0x80 && chars++ == count) return s.substr(0, i);
    }
    return s;
}

std::string FileSafe(std::string_view s) {
    std::string out;
    for (char c : s) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                        (c >= 'a' && c <= 'z') || c == '-' || c == '.';
        out += ok ? c : '_';
    }
    while (!out.empty() && (out.front() == '.' || out.front() == '_')) out.erase(0, 1);
    while (!out.empty() && (out.back() == '.' || out.back() == '_')) out.pop_back();
    return out;
}

std::string Who(const Origin& origin, const JournalCsvTexts& words) {
    const std::string program = origin.program == kProgramWindow ? words.programs[0]
                                : origin.program == kProgramCli  ? words.programs[1]
                                                                 : origin.program;
    return origin.user + "@" + origin.computer + " (" + program + ")";
}

std::string Shown(const std::string& shown, const std::string& base) {
    return shown.empty() ? base : shown;
}

std::string OutcomeText(const JournalChange& c, const JournalCsvTexts& words) {
    std::string out = words.outcomes[static_cast<std::size_t>(c.outcome)];
    if (!c.cause.empty()) out += ": " + c.cause;
    return out;
}

}  // namespace

std::string StoreCauseText(const StoreStatus& status, const views::TextLoader& text) {
    std::uint16_t number = 0;
    switch (status.code) {
        case StoreCause::Other:
            return status.cause;
        case StoreCause::NotASetting:
            number = history_text::kCauseNotASetting;
            break;
        case StoreCause::Unreachable:
            number = history_text::kCauseUnreachable;
            break;
        case StoreCause::Locked:
            number = history_text::kCauseLocked;
            break;
    }
    if (text(number).empty()) return status.cause;
    return views::FillText(text, number, {status.where, status.detail});
}

JournalCsvTexts JournalTextsFrom(const views::TextLoader& text) {
    JournalCsvTexts out = EnglishJournalTexts();
    auto take = [&](auto& array, std::uint16_t first) {
        for (std::size_t i = 0; i < array.size(); ++i) {
            const std::string t = text(static_cast<std::uint16_t>(first + i));
            if (!t.empty()) array[i] = t;
        }
    };
    take(out.heads, history_text::kCsvHeads);
    take(out.targets, history_text::kTargets);
    take(out.outcomes, history_text::kOutcomes);
    take(out.programs, history_text::kPrograms);
    return out;
}

std::optional<std::int64_t> DayNumber(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    const year_month_day ymd{std::chrono::year{year},
                             std::chrono::month{static_cast<unsigned>(month)},
                             std::chrono::day{static_cast<unsigned>(day)}};
    if (!ymd.ok()) return std::nullopt;
    return sys_days{ymd}.time_since_epoch().count();
}

std::int64_t LocalDay(const Moment& moment) {
    const std::int64_t local = moment.utcMs + std::int64_t{moment.zoneMinutes} * 60000;
    return floor<days>(sys_time<milliseconds>{milliseconds{local}}).time_since_epoch().count();
}

bool InDateRange(const HistoryFilter& filter, const Moment& at) {
    const std::int64_t day = LocalDay(at);
    return (!filter.fromDay || day >= *filter.fromDay) && (!filter.toDay || day <= *filter.toDay);
}

bool Matches(const HistoryFilter& filter, const JournalEntry& entry, const JournalCsvTexts& texts) {
    if (!InDateRange(filter, entry.at)) return false;
    if (filter.setting.empty()) return true;
    return Lower(WhatText(entry.change, texts)).find(Lower(filter.setting)) != std::string::npos;
}

std::string VariantName(int medium) {
    return std::string(VariantOf(medium).model);
}

std::string FormatHere(std::int64_t utcMs, bool german) {
    const std::time_t t = static_cast<std::time_t>(utcMs / 1000);
    std::tm local{};
    ::localtime_r(&t, &local);
    return FormatLocal({utcMs, static_cast<int>(local.tm_gmtoff / 60)}, german);
}

DeviceRow DescribeDevice(const DeviceInfo& device, bool german) {
    return {device.serial, VariantName(device.medium), FormatHere(device.lastSeen, german)};
}

std::vector<SnapshotRow> SnapshotRows(const std::vector<SnapshotInfo>& snapshots,
                                      const std::vector<Sighting>& sightings,
                                      const HistoryFilter& filter, const views::TextLoader& text,
                                      const JournalCsvTexts& words, bool german) {
    std::vector<SnapshotRow> rows;
    auto level = [](std::uint8_t l) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        return std::string("0x") + kHex[l >> 4] + kHex[l & 15];
    };
    for (const SnapshotInfo& s : snapshots) {
        if (!InDateRange(filter, s.at)) continue;
        rows.push_back({s.id, false, s.at, FormatLocal(s.at, german),
                        views::FillPlaceholders(Or(text(history_text::kSnapshotN), "Snapshot %1"),
                                                {std::to_string(s.id)}),
                        StoreText(s.programText), level(s.expansionLevel), Who(s.origin, words)});
    }
    for (const Sighting& g : sightings) {
        if (!InDateRange(filter, g.at)) continue;
        const auto of = std::find_if(snapshots.begin(), snapshots.end(),
                                     [&](const SnapshotInfo& s) { return s.id == g.snapshotId; });
        rows.push_back({g.snapshotId, true, g.at, FormatLocal(g.at, german),
                        views::FillPlaceholders(
                            Or(text(history_text::kSeenAgain), "seen again unchanged (%1)"),
                            {std::to_string(g.snapshotId)}),
                        of == snapshots.end() ? std::string() : StoreText(of->programText),
                        of == snapshots.end() ? std::string() : level(of->expansionLevel),
                        Who(g.origin, words)});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const SnapshotRow& a, const SnapshotRow& b) {
        return a.at.utcMs < b.at.utcMs;
    });
    return rows;
}

std::string SettingValues(std::string_view parameterText, std::string_view setting,
                          std::size_t most) {
    if (setting.empty()) return {};
    const std::string wanted = Lower(setting);
    auto trim = [](std::string_view s) {
        const auto first = s.find_first_not_of(" \t\r");
        if (first == std::string_view::npos) return std::string_view();
        return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
    };
    std::string section;
    std::string out;
    std::size_t found = 0;
    std::size_t start = 0;
    while (start < parameterText.size()) {
        std::size_t end = parameterText.find('\n', start);
        if (end == std::string_view::npos) end = parameterText.size();
        const std::string_view line = trim(parameterText.substr(start, end - start));
        start = end + 1;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = std::string(trim(line.substr(1, line.size() - 2)));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || line.front() == ';') continue;
        const std::string name = section + " " + std::string(trim(line.substr(0, eq)));
        if (Lower(name).find(wanted) == std::string::npos) continue;
        if (++found > most) return out + "; \u2026";
        if (!out.empty()) out += "; ";
        out += name + "=" + StoreText(trim(line.substr(eq + 1)));
    }
    return out;
}

std::vector<JournalEntry> FilterJournal(const std::vector<JournalEntry>& entries,
                                        const HistoryFilter& filter, const JournalCsvTexts& words) {
    std::vector<JournalEntry> out;
    for (const JournalEntry& e : entries) {
        if (Matches(filter, e, words)) out.push_back(e);
    }
    return out;
}

std::vector<JournalRow> JournalRows(const std::vector<JournalEntry>& entries,
                                    const HistoryFilter& filter, const JournalCsvTexts& words,
                                    bool german) {
    std::vector<JournalRow> rows;
    for (const JournalEntry& e : entries) {
        if (!Matches(filter, e, words)) continue;
        const JournalChange& c = e.change;
        rows.push_back({e.seq, std::to_string(e.seq), FormatLocal(e.at, german),
                        Who(e.origin, words), WhatText(c, words), Shown(c.oldShown, c.oldBase),
                        Shown(c.newShown, c.newBase), OutcomeText(c, words),
                        c.outcome != Outcome::Confirmed});
    }
    return rows;
}

std::string VerifyText(const VerifyResult& result, const views::TextLoader& text) {
    namespace ht = history_text;
    const std::string seq = std::to_string(result.seq);
    auto fill = [&](std::uint16_t number, std::string_view english,
                    const std::vector<std::string>& args) {
        return views::FillPlaceholders(Or(text(number), english), args);
    };
    switch (result.broken) {
        case VerifyResult::Break::None:
            if (result.entries == 0) return fill(ht::kChainEmpty, "The journal is empty", {});
            return fill(
                ht::kChainIntact,
                "The journal's %1 entries are intact; entry %2 ends the chain with %3",
                {std::to_string(result.entries), std::to_string(result.lastSeq), result.lastHash});
        case VerifyResult::Break::Changed:
            return fill(ht::kChainChanged, "Journal entry %1 was changed, or an entry before it",
                        {seq});
        case VerifyResult::Break::Missing:
            return fill(ht::kChainMissing, "Journal entries before entry %1 are missing", {seq});
        case VerifyResult::Break::Unlisted:
            return fill(ht::kChainUnlisted,
                        "The journal does not end where its head says (entry %1): entries deleted "
                        "at the end or added outside the chain",
                        {seq});
    }
    return {};
}

std::string SnapshotFileName(const SnapshotInfo& info) {
    std::string when = FormatLocal(info.at, false);  // "2024-05-01 14:34:56"
    when = when.substr(0, 10) + "_" + when.substr(11, 2) + when.substr(14, 2);
    const std::string serial = FileSafe(info.serial);
    return (serial.empty() ? std::string("snapshot") : serial) + "_" + when + "." +
           ParameterFileExtension(info.medium);
}

std::string JournalFileName(std::string_view serial, std::int64_t todayUtcMs,
                            std::string_view extension) {
    const std::string safe = FileSafe(serial);
    return "journal_" + (safe.empty() ? std::string("all") : safe) + "_" +
           FormatUtc(todayUtcMs).substr(0, 10) + "." + std::string(extension);
}

bool SaveSnapshotFile(const Snapshot& snapshot, const std::filesystem::path& chosen,
                      std::filesystem::path* written, std::string* error) {
    *written = WithParameterExtension(chosen, snapshot.info.medium);
    return WriteFileAtomically(*written, snapshot.parameterText, error);
}

ParameterFileResult SnapshotImage(const Snapshot& snapshot, const std::filesystem::path& scratch,
                                  ParameterImage* image) {
    ParameterImage set;
    ResetParameters(set, snapshot.info.medium, false);
    set.System.Ausbaustufe = snapshot.info.expansionLevel;
    // The system kind the file holds is the one the device had: its own
    // mask allowed it.
    set.System.KindMask = 0xFF;
    ParameterFileResult result =
        LoadSnapshotParameters(snapshot.parameterText, snapshot.info.medium, set, scratch);
    if (result.ok()) *image = std::move(set);
    return result;
}

ParameterFileResult ParameterFileImage(const std::filesystem::path& file, int medium,
                                       std::uint8_t expansionLevel, ParameterImage* image) {
    ParameterImage set;
    ResetParameters(set, medium, false);
    set.System.Ausbaustufe = expansionLevel;
    set.System.KindMask = 0xFF;
    ParameterFileResult result = LoadParameterFile(file, set, medium);
    if (result.ok()) *image = std::move(set);
    return result;
}

print::PrintJob JournalPrintJob(const std::vector<JournalEntry>& entries,
                                const JournalCsvTexts& words, const std::string& title,
                                const std::string& printedAt, bool german) {
    // Courier 10 pt on A4: 88 characters a line, 64 lines a page.
    constexpr std::size_t kWidth = 88;
    constexpr int kRows = 64;
    constexpr int kFirst = 3;
    print::PrintJob job{title, {}};
    auto newPage = [&] {
        print::PrintPage page;
        page.add(0, print::Placement::LeftLabel, FirstChars(title, 60), true);
        page.add(0, print::Placement::RightValue, printedAt);
        page.rules.push_back({false, 2, 2});
        job.pages.push_back(std::move(page));
        return kFirst;
    };
    int row = newPage();
    for (const JournalEntry& e : entries) {
        if (row + 2 > kRows) row = newPage();
        const JournalChange& c = e.change;
        const std::string head = std::to_string(e.seq) + "  " + FormatLocal(e.at, german) + " UTC" +
                                 FormatZone(e.at.zoneMinutes) + "  " + Who(e.origin, words) + "  " +
                                 e.serial;
        const std::string body = "    " + WhatText(c, words) + ": " + Shown(c.oldShown, c.oldBase) +
                                 " -> " + Shown(c.newShown, c.newBase) + "  " +
                                 OutcomeText(c, words);
        print::PrintPage& page = job.pages.back();
        page.add(row++, print::Placement::LeftLabel, FirstChars(head, kWidth),
                 c.outcome != Outcome::Confirmed);
        page.add(row++, print::Placement::LeftLabel, FirstChars(body, kWidth));
    }
    return job;
}

}  // namespace parvion::history
