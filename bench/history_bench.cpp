// The device history on its default store, an SQLite file in a scratch
// folder (on the disk of TMPDIR): storing a snapshot of a full parameter set
// (target under 5 ms), the same set seen again, one journal entry (target
// under 1 ms), the 300 entries of a write-params, and listing 10,000
// snapshots of 200 devices (target under 100 ms). Also the making of a
// snapshot's text from an image through the parameter file writer, and the
// check of the journal's chain.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/history/history.h"
#include "core/history/snapshot_text.h"
#include "full_image.h"
#include "timing.h"

namespace {

using namespace parvion;
using namespace parvion::history;
using parvion::bench::MeasureMs;

void Check(const StoreStatus& status) {
    if (!status.ok()) {
        std::fprintf(stderr, "history_bench: %s\n", status.cause.c_str());
        std::exit(1);
    }
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "history-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path folder = pattern;

    const ParameterImage image = bench::FullImage();
    std::string text;
    MeasureMs("snapshot text of a full image (parameter file writer)", "-", 50, [&] {
        if (!SnapshotParameterText(image, medium::Gas, folder, &text).ok()) std::exit(1);
    });
    std::printf("  parameter text: %zu bytes\n", text.size());

    auto store = OpenSqliteStore(folder);
    Check(store->open());
    const Origin origin = LocalOrigin(kProgramWindow);
    std::int64_t ms = 1714557600000;
    SnapshotInput in{"BENCH-0001", medium::Gas,  "PV-GAS2 2.10", 0,
                     text,         std::nullopt, std::nullopt};
    int n = 0;
    SnapshotStored stored;
    MeasureMs("snapshot stored (new)", "< 5 ms", 200, [&] {
        // A set that differs from the one before, as after an edit.
        in.parameterText = text + "[Bemerkung]\r\nZeile 1=" + std::to_string(++n) + "\r\n";
        Check(store->addSnapshot(in, {ms += 1000, 120}, origin, &stored));
    });
    MeasureMs("snapshot stored (seen again)", "< 5 ms", 200, [&] {
        Check(store->addSnapshot(in, {ms += 1000, 120}, origin, &stored));
    });

    const std::vector<JournalChange> one = {{Target::Setting, "T_User0", "Max", "100", "120",
                                             "1.0000E+02 °C", "1.2000E+02 °C", Outcome::Confirmed,
                                             ""}};
    MeasureMs("journal entry", "< 1 ms", 1000, [&] {
        Check(store->appendJournal("BENCH-0001", one, {ms += 1000, 120}, origin));
    });
    const std::vector<JournalChange> many(300, one[0]);
    MeasureMs("journal: 300 entries of one write-params", "-", 20, [&] {
        Check(store->appendJournal("BENCH-0001", many, {ms += 1000, 120}, origin));
    });
    VerifyResult verified;
    MeasureMs("journal check (7,000 entries)", "-", 3,
              [&] { Check(store->verifyJournal(&verified)); });
    if (!verified.ok()) std::printf("  %s\n", verified.describe().c_str());

    // 10,000 snapshots of 200 devices (400 of them are there already).
    const fs::path many200 = folder / "many";
    fs::create_directories(many200);
    auto big = OpenSqliteStore(many200);
    for (int i = 0; i < 10000; ++i) {
        in.serial = "DEV-" + std::to_string(i % 200);
        in.parameterText = text + "[Bemerkung]\r\nZeile 1=" + std::to_string(i) + "\r\n";
        Check(big->addSnapshot(in, {ms += 1000, 120}, origin, &stored));
    }
    std::vector<SnapshotInfo> list;
    MeasureMs("list 10,000 snapshots of 200 devices", "< 100 ms", 10,
              [&] { Check(big->listSnapshots("", &list)); });
    std::printf("  listed: %zu\n", list.size());
    MeasureMs("list the 50 snapshots of one device", "-", 100,
              [&] { Check(big->listSnapshots("DEV-7", &list)); });
    std::vector<DeviceInfo> devices;
    MeasureMs("list 200 devices", "-", 100, [&] { Check(big->listDevices(&devices)); });
    Snapshot snap;
    MeasureMs("fetch one snapshot with its text", "-", 100,
              [&] { Check(big->getSnapshot(list.back().id, &snap)); });

    store.reset();
    big.reset();
    std::error_code ec;
    fs::remove_all(folder, ec);
    return 0;
}
