#include "core/edit/parameter_transfer.h"

#include "core/link/record_watch.h"

#include <array>
#include <cmath>
#include <string_view>

#include "core/app/connection.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/defaults.h"
#include "core/model/parameter_walk.h"
#include "core/model/variant.h"

namespace parvion::edit {

namespace {

FileForDevice Refused(ParameterFileResult result) {
    FileForDevice out;
    out.status = FileForDevice::Status::FileRefused;
    out.file = std::move(result);
    return out;
}

// Finds the first float of a set that no device float holds (NaN or an
// infinity: a file may carry one, but it never goes to a device).
class NonFiniteFinder {
  public:
    void section(std::string name) { section_ = std::move(name); }
    bool include(bool available) const { return available; }
    template <class T, class... Rest>
    void integer(std::string_view, T&, const Rest&...) {}
    template <class... Rest>
    void real(std::string_view key, float& value, const Rest&...) {
        if (found || std::isfinite(value)) return;
        found = true;
        result.status = ParameterFileStatus::NotANumber;
        result.section = section_;
        result.key = std::string(key);
        result.value = std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    }
    bool found = false;
    ParameterFileResult result;

  private:
    std::string section_;
};

FileForDevice Unreadable(const char* what) {
    FileForDevice out;
    out.status = FileForDevice::Status::DeviceUnreadable;
    out.unreadable = what;
    return out;
}

}  // namespace

FileForDevice PrepareParameterFile(Link& link, const ParameterImage& current,
                                   const std::filesystem::path& file) {
    const int medium = link.session().Medium;
    const bool online = link.session().Online;

    // The file is checked before the device is touched.
    ParameterImage candidate = current;
    ResetParameters(candidate, medium, online);
    ParameterFileResult loaded = LoadParameterFile(file, candidate, medium);
    if (!loaded.ok()) return Refused(std::move(loaded));
    NonFiniteFinder finder;
    parameter_walk::VisitRecords(finder, candidate, medium);
    if (finder.found) return Refused(std::move(finder.result));
    if (!online) {
        FileForDevice out;
        out.file = std::move(loaded);
        out.image = std::move(candidate);
        return out;
    }

    // The device's own records the set is fitted to, read into a scratch
    // copy so that a failure leaves everything as it was.
    ParameterImage device = current;
    const bool gas = VariantOf(medium).gasCalculation;
    if (gas && !(ReadEG_User(link, device) && ReadMed_User(link, device, 0) &&
                 ReadMed_User(link, device, 1))) {
        return Unreadable(kGasInputUnreadable);
    }
    if (!ReadSystem(link, device)) return Unreadable(kSystemUnreadable);

    candidate = current;
    ResetParameters(candidate, medium, true);
    candidate.System = device.System;
    loaded = LoadParameterFile(file, candidate, medium);
    if (!loaded.ok()) return Refused(std::move(loaded));  // changed on disk meanwhile
    // The device keeps its calculation ready only for an unchanged
    // natural-gas input set.
    if (gas) TakeDeviceReadyFlags(candidate, device.EG_User, device.Med_User);
    FileForDevice out;
    out.file = std::move(loaded);
    out.image = std::move(candidate);
    return out;
}

void ReadSetTheHistoryLacks(Link& link, const ParameterImage& image) {
    if (link.session().Online && link.recordWatch() != nullptr &&
        !link.recordWatch()->knowsWholeSet(link)) {
        ParameterImage held = image;
        ReadAllParameters(link, held);
    }
}

SetWritten WriteParameterSet(Link& link, ParameterImage& image) {
    const int before = link.failedTransactions();
    SetWritten written;
    WriteAllParameters(link, image, &written.written);
    written.failed = link.failedTransactions() - before;
    written.lineGone = link.lastBulkLostLine();
    return written;
}

}  // namespace parvion::edit
