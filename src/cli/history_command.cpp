#include "cli/history_command.h"

#include <iostream>
#include <map>
#include <system_error>

#include "cli/cli_error.h"
#include "cli/context.h"
#include "cli/json_output.h"
#include "core/history/history_view.h"
#include "core/history/journal_csv.h"
#include "core/history/snapshot_text.h"
#include "core/model/defaults.h"
#include "core/model/parameter_file.h"
#include "core/model/text_file.h"
#include "core/model/variant.h"
#include "core/model/windows1252.h"
#include "core/views/text_source.h"

namespace parvion::cli {

namespace fs = std::filesystem;
namespace ht = history_text;
using history::HistoryStore;
using history::StoreStatus;

namespace {

bool German(Context& ctx) {
    return ctx.session().Sprache == 0;
}

std::string Fill(Context& ctx, std::uint16_t number, const std::string& fallback,
                 std::initializer_list<std::string> values) {
    return views::FillPlaceholders(ctx.text(number, fallback), values);
}

// The store, opened; ends the command naming the cause when it is not there.
HistoryStore& Store(Context& ctx) {
    ctx.history();
    if (!ctx.historyOpened()) {
        Failure(Fill(ctx, ht::kCannotOpen, "The device history cannot be opened: %1",
                     {ctx.historyOpenCause()}));
    }
    return ctx.history().store();
}

void Check(Context& ctx, const StoreStatus& status) {
    if (!status.ok()) {
        // A common cause in the language of --lang.
        Failure(Fill(ctx, ht::kCannotOpen, "The device history cannot be opened: %1",
                     {history::StoreCauseText(status, ctx.texts())}));
    }
}

std::string Time(Context& ctx, const history::Moment& at) {
    return history::FormatLocal(at, German(ctx)) + " UTC" + history::FormatZone(at.zoneMinutes);
}

std::string Hex2(unsigned v) {
    static const char* digits = "0123456789ABCDEF";
    return {digits[(v >> 4) & 0xF], digits[v & 0xF]};
}

Json MomentObject(const history::Moment& at) {
    Json o = Json::object();
    o.set("utc", history::FormatUtc(at.utcMs));
    o.set("zone_minutes", at.zoneMinutes);
    return o;
}

Json OriginObject(const history::Origin& origin) {
    Json o = Json::object();
    o.set("computer", origin.computer);
    o.set("user", origin.user);
    o.set("program", origin.program);
    return o;
}

Json SnapshotObject(const history::SnapshotInfo& s) {
    Json o = Json::object();
    o.set("id", s.id);
    o.set("serial_number", s.serial);
    o.set("variant", std::string(VariantOf(s.medium).name));
    o.set("program", s.programText);
    o.set("expansion_level", Hex2(s.expansionLevel));
    o.set("time", MomentObject(s.at));
    o.set("origin", OriginObject(s.origin));
    o.set("property_table", s.hasPropertyTable);
    o.set("saturation_table", s.hasSaturationTable);
    return o;
}

std::string SnapshotLine(Context& ctx, const history::SnapshotInfo& s) {
    std::string line = std::to_string(s.id) + "  " + Time(ctx, s.at) + "  " + s.serial + "  " +
                       std::string(VariantOf(s.medium).name) + "  " + s.programText + "  " +
                       Hex2(s.expansionLevel) + "  " + s.origin.user + "@" + s.origin.computer +
                       " (" + s.origin.program + ")";
    if (s.hasPropertyTable) line += "  +property table";
    if (s.hasSaturationTable) line += "  +saturation table";
    return line;
}

void ListSnapshots(Context& ctx) {
    HistoryStore& store = Store(ctx);
    const std::string serial = ctx.options().serial.value_or("");
    std::vector<history::SnapshotInfo> snapshots;
    Check(ctx, store.listSnapshots(serial, &snapshots));
    std::vector<history::Sighting> sightings;
    Check(ctx, store.listSightings(serial, &sightings));
    std::map<std::int64_t, std::vector<const history::Sighting*>> seen;
    for (const history::Sighting& s : sightings) seen[s.snapshotId].push_back(&s);

    if (ctx.options().json) {
        Json doc = json_output::Document(ctx, "history");
        if (!serial.empty()) doc.set("serial_number", serial);
        Json list = Json::array();
        for (const history::SnapshotInfo& s : snapshots) {
            Json o = SnapshotObject(s);
            Json again = Json::array();
            for (const history::Sighting* g : seen[s.id]) {
                Json a = Json::object();
                a.set("time", MomentObject(g->at));
                a.set("origin", OriginObject(g->origin));
                again.push(std::move(a));
            }
            o.set("seen_again", std::move(again));
            list.push(std::move(o));
        }
        doc.set("count", snapshots.size());
        doc.set("snapshots", std::move(list));
        return json_output::Print(doc);
    }
    if (snapshots.empty()) {
        std::cerr << ctx.text(ht::kNoSnapshots, "The device history holds no snapshot") << '\n';
        return;
    }
    for (const history::SnapshotInfo& s : snapshots) {
        std::string line = SnapshotLine(ctx, s);
        if (const auto n = seen[s.id].size(); n > 0) {
            line += "  " +
                    Fill(ctx, ht::kSeenAgain, "seen again unchanged %1 times", {std::to_string(n)});
        }
        std::cout << line << '\n';
    }
}

history::Snapshot GetSnapshot(Context& ctx, std::int64_t id) {
    HistoryStore& store = Store(ctx);
    history::Snapshot snapshot;
    const StoreStatus status = store.getSnapshot(id, &snapshot);
    if (status.kind == StoreStatus::Kind::Invalid) {
        Failure(Fill(ctx, ht::kNoSnapshot, "No snapshot %1 in the device history",
                     {std::to_string(id)}));
    }
    Check(ctx, status);
    return snapshot;
}

void ShowSnapshot(Context& ctx) {
    const std::int64_t id = SnapshotId("history show", ctx.options().args[1]);
    const history::Snapshot snapshot = GetSnapshot(ctx, id);
    const history::SnapshotInfo& info = snapshot.info;
    if (const auto& save = ctx.options().saveFile) {
        fs::path file = *save;
        if (!file.has_extension()) file = WithParameterExtension(file, info.medium);
        std::string why;
        if (!WriteFileAtomically(file, snapshot.parameterText, &why)) {
            Failure(ctx.text(7, "The file cannot be written:") + " " + why);
        }
        if (!ctx.options().json) std::cout << file.string() << '\n';
    }
    if (ctx.options().json) {
        Json doc = json_output::Document(ctx, "history show");
        Json o = SnapshotObject(info);
        o.set("parameters", Cp1252ToUtf8(snapshot.parameterText));
        if (snapshot.propertyTable)
            o.set("property_table_file", Cp1252ToUtf8(*snapshot.propertyTable));
        if (snapshot.saturationTable) {
            o.set("saturation_table_file", Cp1252ToUtf8(*snapshot.saturationTable));
        }
        doc.set("snapshot", std::move(o));
        return json_output::Print(doc);
    }
    if (ctx.options().saveFile) return;
    std::cout << ctx.text(ht::kSnapshot, "Snapshot") << ' ' << SnapshotLine(ctx, info) << '\n'
              << Cp1252ToUtf8(snapshot.parameterText);
}

std::string Describe(Context& ctx, const history::VerifyResult& r) {
    using Break = history::VerifyResult::Break;
    const std::string seq = std::to_string(r.seq);
    switch (r.broken) {
        case Break::None:
            if (r.entries == 0) return ctx.text(ht::kEmpty, "The journal is empty");
            return Fill(ctx, ht::kIntact,
                        "The journal's %1 entries are intact; entry %2 ends the chain with %3",
                        {std::to_string(r.entries), std::to_string(r.lastSeq), r.lastHash});
        case Break::Changed:
            return Fill(ctx, ht::kChanged, "Journal entry %1 was changed, or an entry before it",
                        {seq});
        case Break::Missing:
            return Fill(ctx, ht::kMissing, "Journal entries before entry %1 are missing", {seq});
        case Break::Unlisted:
            return Fill(ctx, ht::kUnlisted,
                        "The journal does not end where its head says (entry %1)", {seq});
    }
    return r.describe();
}

void VerifyJournal(Context& ctx) {
    history::VerifyResult r;
    Check(ctx, Store(ctx).verifyJournal(&r));
    const std::string text = Describe(ctx, r);
    if (ctx.options().json) {
        Json doc = json_output::Document(ctx, "journal verify");
        doc.set("intact", r.ok());
        doc.set("entries", r.entries);
        if (r.ok()) {
            doc.set("last_entry", r.lastSeq);
            doc.set("last_hash", r.lastHash);
        } else {
            doc.set("broken_entry", r.seq);
            const char* kinds[] = {"none", "changed", "missing", "unlisted"};
            doc.set("break", kinds[static_cast<int>(r.broken)]);
        }
        doc.set("text", text);
        json_output::Print(doc);
        if (!r.ok()) Failure(text);
        return;
    }
    if (!r.ok()) Failure(text);
    std::cout << text << '\n';
}

history::JournalCsvTexts CsvTexts(Context& ctx) {
    history::JournalCsvTexts texts = history::EnglishJournalTexts();
    auto n = ht::kCsvFirst;
    for (std::string& t : texts.heads) t = ctx.text(n++, t);
    for (std::string& t : texts.targets) t = ctx.text(n++, t);
    for (std::string& t : texts.outcomes) t = ctx.text(n++, t);
    for (std::string& t : texts.programs) t = ctx.text(n++, t);
    return texts;
}

std::string What(const history::JournalEntry& e) {
    switch (e.change.target) {
        case history::Target::Setting:
            return "[" + e.change.section + "] " + e.change.key;
        case history::Target::Table:
            return "table " + e.change.section;
        case history::Target::Clock:
            return "clock";
        case history::Target::BaudRate:
            return "baud rate";
    }
    return {};
}

void ListJournal(Context& ctx) {
    history::JournalFilter filter;
    filter.serial = ctx.options().serial.value_or("");
    filter.since = ctx.options().since;
    std::vector<history::JournalEntry> entries;
    Check(ctx, Store(ctx).listJournal(filter, &entries));
    if (const auto& csv = ctx.options().csvFile) {
        std::string why;
        if (!WriteFileAtomically(*csv, history::JournalCsv(entries, CsvTexts(ctx), German(ctx)),
                                 &why)) {
            Failure(ctx.text(7, "The file cannot be written:") + " " + why);
        }
    }
    if (ctx.options().json) {
        Json doc = json_output::Document(ctx, "journal");
        if (!filter.serial.empty()) doc.set("serial_number", filter.serial);
        if (filter.since) doc.set("since", history::FormatUtc(*filter.since));
        Json list = Json::array();
        for (const history::JournalEntry& e : entries) {
            Json o = Json::object();
            o.set("entry", e.seq);
            o.set("time", MomentObject(e.at));
            o.set("origin", OriginObject(e.origin));
            o.set("serial_number", e.serial);
            o.set("target", history::TargetName(e.change.target));
            o.set("section", e.change.section);
            o.set("key", e.change.key);
            Json before = Json::object();
            before.set("base", e.change.oldBase);
            before.set("shown", e.change.oldShown);
            Json after = Json::object();
            after.set("base", e.change.newBase);
            after.set("shown", e.change.newShown);
            o.set("old", std::move(before));
            o.set("new", std::move(after));
            o.set("outcome", history::OutcomeName(e.change.outcome));
            o.set("cause", e.change.cause);
            o.set("hash", e.hash);
            list.push(std::move(o));
        }
        doc.set("count", entries.size());
        doc.set("entries", std::move(list));
        return json_output::Print(doc);
    }
    if (entries.empty()) {
        std::cerr << ctx.text(ht::kNoEntries, "The journal holds no entries") << '\n';
        return;
    }
    for (const history::JournalEntry& e : entries) {
        const history::JournalChange& c = e.change;
        std::string line = std::to_string(e.seq) + "  " + Time(ctx, e.at) + "  " + e.serial + "  " +
                           e.origin.user + "@" + e.origin.computer + " (" + e.origin.program +
                           ")  " + What(e) + ": " + (c.oldShown.empty() ? "?" : c.oldShown) +
                           " -> " + c.newShown + "  " +
                           std::string(history::OutcomeName(c.outcome));
        if (!c.cause.empty()) line += " (" + c.cause + ")";
        std::cout << line << '\n';
    }
}

}  // namespace

void RunHistory(Context& ctx) {
    const auto& args = ctx.options().args;
    if (args.empty()) {
        if (ctx.options().saveFile) UsageError("--save applies to history show ID");
        return ListSnapshots(ctx);
    }
    if (args[0] != "show" || args.size() != 2) {
        UsageError("history takes no argument, or show ID");
    }
    if (ctx.options().serial) UsageError("--serial does not apply to history show");
    ShowSnapshot(ctx);
}

void RunJournal(Context& ctx) {
    const CliOptions& o = ctx.options();
    if (o.verify) {
        if (o.serial || o.since || o.csvFile) {
            UsageError(
                "journal --verify checks the whole journal: --serial, --since and --csv "
                "do not apply");
        }
        return VerifyJournal(ctx);
    }
    ListJournal(ctx);
}

ParameterImage SnapshotImage(Context& ctx, std::int64_t id, int* medium) {
    const history::Snapshot snapshot = GetSnapshot(ctx, id);
    *medium = snapshot.info.medium;
    ParameterImage image;
    ResetParameters(image, *medium, false);
    image.System.KindMask = 0xFF;
    std::error_code ec;
    fs::create_directories(ctx.appData(), ec);
    const ParameterFileResult r =
        history::LoadSnapshotParameters(snapshot.parameterText, *medium, image, ctx.appData());
    if (!r.ok()) Failure("snapshot " + std::to_string(id) + ": " + r.reason);
    return image;
}

}  // namespace parvion::cli
