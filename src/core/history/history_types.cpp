#include "core/history/history_types.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>
#include <utility>

#include "core/model/parameter_diff.h"
#include "core/model/variant.h"
#include "core/model/windows1252.h"

namespace parvion::history {

namespace {

using namespace std::chrono;

struct Civil {
    int year;
    unsigned month, day, hour, minute, second, ms;
};

Civil ToCivil(std::int64_t ms) {
    const sys_time<milliseconds> t{milliseconds{ms}};
    const sys_days day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss<milliseconds> hms{t - day};
    return {static_cast<int>(ymd.year()),
            static_cast<unsigned>(ymd.month()),
            static_cast<unsigned>(ymd.day()),
            static_cast<unsigned>(hms.hours().count()),
            static_cast<unsigned>(hms.minutes().count()),
            static_cast<unsigned>(hms.seconds().count()),
            static_cast<unsigned>(hms.subseconds().count())};
}

// Reads exactly `width` digits at text[pos].
bool Digits(std::string_view text, std::size_t pos, std::size_t width, int* out) {
    if (pos + width > text.size()) return false;
    int v = 0;
    for (std::size_t i = pos; i < pos + width; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    *out = v;
    return true;
}

}  // namespace

Moment Now() {
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    ::localtime_r(&t, &local);
    return {duration_cast<milliseconds>(now.time_since_epoch()).count(),
            static_cast<int>(local.tm_gmtoff / 60)};
}

std::string FormatUtc(std::int64_t utcMs) {
    const Civil c = ToCivil(utcMs);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02u:%02u:%02u.%03uZ", c.year, c.month, c.day,
                  c.hour, c.minute, c.second, c.ms);
    return buf;
}

std::optional<std::int64_t> ParseUtc(std::string_view text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    if (!Digits(text, 0, 4, &y) || text.size() < 10 || text[4] != '-' || !Digits(text, 5, 2, &mo) ||
        text[7] != '-' || !Digits(text, 8, 2, &d)) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(10);
    if (!rest.empty()) {
        if ((rest[0] != 'T' && rest[0] != ' ') || rest.size() < 9 || !Digits(rest, 1, 2, &h) ||
            rest[3] != ':' || !Digits(rest, 4, 2, &mi) || rest[6] != ':' ||
            !Digits(rest, 7, 2, &s)) {
            return std::nullopt;
        }
        rest = rest.substr(9);
        if (!rest.empty() && rest[0] == '.') {
            if (!Digits(rest, 1, 3, &ms)) return std::nullopt;
            rest = rest.substr(4);
        }
        if (rest == "Z") rest = {};
        if (!rest.empty() || h > 23 || mi > 59 || s > 59) return std::nullopt;
    }
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)},
                             day{static_cast<unsigned>(d)}};
    if (!ymd.ok()) return std::nullopt;
    const auto t = sys_days{ymd} + hours{h} + minutes{mi} + seconds{s} + milliseconds{ms};
    return t.time_since_epoch().count();
}

std::string FormatLocal(const Moment& moment, bool german) {
    const Civil c = ToCivil(moment.utcMs + std::int64_t{moment.zoneMinutes} * 60000);
    char buf[40];
    if (german) {
        std::snprintf(buf, sizeof buf, "%02u.%02u.%04d %02u:%02u:%02u", c.day, c.month, c.year,
                      c.hour, c.minute, c.second);
    } else {
        std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %02u:%02u:%02u", c.year, c.month, c.day,
                      c.hour, c.minute, c.second);
    }
    return buf;
}

std::string FormatZone(int minutes) {
    const int a = minutes < 0 ? -minutes : minutes;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%c%02d:%02d", minutes < 0 ? '-' : '+', a / 60, a % 60);
    return buf;
}

Origin LocalOrigin(std::string_view program) {
    Origin o;
    std::array<char, 256> host{};
    if (::gethostname(host.data(), host.size() - 1) == 0) o.computer = host.data();
    std::array<char, 4096> buf{};
    passwd pw{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found != nullptr) {
        o.user = found->pw_name;
    } else if (const char* name = std::getenv("LOGNAME")) {
        o.user = name;
    }
    o.computer = StoreText(o.computer);
    o.user = StoreText(o.user);
    o.program = std::string(program);
    return o;
}

std::string VerifyResult::describe() const {
    const std::string n = std::to_string(seq);
    switch (broken) {
        case Break::None:
            if (entries == 0) return "the journal is empty";
            return "the journal's " + std::to_string(entries) + " entries are intact; entry " +
                   std::to_string(lastSeq) + " ends the chain with " + lastHash;
        case Break::Changed:
            return "entry " + n + " was changed, or an entry before it";
        case Break::Missing:
            return "entries before entry " + n + " are missing";
        case Break::Unlisted:
            return "the journal does not end where its chain ends (entry " + n + ")";
    }
    return {};
}

namespace {
constexpr std::array<std::pair<Target, std::string_view>, 4> kTargets{{
    {Target::Setting, "setting"},
    {Target::Table, "table"},
    {Target::Clock, "clock"},
    {Target::BaudRate, "baud rate"},
}};
constexpr std::array<std::pair<Outcome, std::string_view>, 3> kOutcomes{{
    {Outcome::Confirmed, "confirmed"},
    {Outcome::Differs, "differs"},
    {Outcome::Failed, "failed"},
}};

template <class E, std::size_t N>
std::string_view NameOf(const std::array<std::pair<E, std::string_view>, N>& table, E e) {
    for (const auto& [v, name] : table) {
        if (v == e) return name;
    }
    return {};
}
template <class E, std::size_t N>
std::optional<E> FromName(const std::array<std::pair<E, std::string_view>, N>& table,
                          std::string_view name) {
    for (const auto& [v, n] : table) {
        if (n == name) return v;
    }
    return std::nullopt;
}

// "Section Key" of every key the parameter files of both variants hold.
const std::set<std::string>& SettingNames() {
    static const std::set<std::string> names = [] {
        std::set<std::string> out;
        const ParameterImage image;
        for (const Variant& variant : Variants()) {
            for (const auto& f : ListParameterFields(image, variant.medium, false)) {
                out.insert(f.section + " " + f.key);
            }
        }
        return out;
    }();
    return names;
}
}  // namespace

std::string_view TargetName(Target target) {
    return NameOf(kTargets, target);
}
std::optional<Target> TargetFromName(std::string_view name) {
    return FromName(kTargets, name);
}
std::string_view OutcomeName(Outcome outcome) {
    return NameOf(kOutcomes, outcome);
}
std::optional<Outcome> OutcomeFromName(std::string_view name) {
    return FromName(kOutcomes, name);
}

std::string ValidateChange(const JournalChange& change) {
    switch (change.target) {
        case Target::Setting:
            if (SettingNames().count(change.section + " " + change.key) == 0) {
                return "\"" + change.section + " " + change.key +
                       "\" is not a setting of a parameter file";
            }
            return {};
        case Target::Table:
            if (change.section.empty() || !change.key.empty()) {
                return "a table change names the table's kind and nothing else";
            }
            return {};
        case Target::Clock:
        case Target::BaudRate:
            if (!change.section.empty() || !change.key.empty()) {
                return "a change of the clock or the baud rate names no setting";
            }
            return {};
    }
    return "unknown target";
}

namespace {
bool Blank(std::string_view text) {
    return text.find_first_not_of(std::string_view(" \0", 2)) == std::string_view::npos;
}
}  // namespace

std::string ValidateSnapshot(const SnapshotInput& s) {
    if (Blank(s.serial)) return "a snapshot needs the device's serial number";
    if (FindVariant(s.medium) == nullptr) return "a snapshot needs the variant";
    if (s.parameterText.empty()) return "a snapshot needs the parameter text";
    return {};
}

std::string ValidateChanges(std::string_view serial, const std::vector<JournalChange>& changes) {
    if (Blank(serial)) return "a journal entry needs the device's serial number";
    for (const JournalChange& c : changes) {
        if (std::string why = ValidateChange(c); !why.empty()) return why;
    }
    return {};
}

std::string StoreText(std::string_view text) {
    std::string out = IsValidUtf8(text) ? std::string(text) : Cp1252ToUtf8(text);
    for (char& c : out) {
        if (c == '\0') c = ' ';
    }
    return out;
}

}  // namespace parvion::history
