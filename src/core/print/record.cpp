// The commissioning record: the device's identity on a first page, then the
// parameter printout, the terminal plan and the remarks.

#include <cmath>
#include <cstdio>

#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/value_format.h"
#include "core/print/printouts.h"

namespace parvion::print {

namespace {

struct RecordTexts {
    const char* title;
    const char* device;
    const char* program;
    const char* serialNo;
    const char* deviceClock;
    const char* computerClock;
    const char* difference;
    const char* unreadable;
    const char* file;
    const char* noDevice;
};

constexpr RecordTexts kGerman = {
    "Inbetriebnahmeprotokoll",
    "Gerät",
    "Programm",
    "Seriennummer",
    "Geräteuhr",
    "Uhr dieses Rechners",
    "Abweichung der Geräteuhr",
    "nicht lesbar",
    "Parameterdatei",
    "Ohne Gerät erstellt: Identität und Uhr sind nicht bekannt.",
};
constexpr RecordTexts kEnglish = {
    "Commissioning record",
    "Device",
    "Program",
    "Serial number",
    "Device clock",
    "This computer's clock",
    "Device clock difference",
    "cannot be read",
    "Parameter file",
    "Made without a device: identity and clock are unknown.",
};

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string ClockDifferenceText(double offsetDays) {
    if (!std::isfinite(offsetDays)) return "?";
    const long long total = std::llround(offsetDays * 86400.0);
    const char sign = total < 0 ? '-' : '+';
    const long long a = total < 0 ? -total : total;
    char buf[48];
    if (a < 60) {
        std::snprintf(buf, sizeof buf, "%c%lld s", sign, a);
    } else if (a < 86400) {
        std::snprintf(buf, sizeof buf, "%c%02lld:%02lld:%02lld", sign, a / 3600, a / 60 % 60,
                      a % 60);
    } else {
        std::snprintf(buf, sizeof buf, "%c%lld d %02lld:%02lld:%02lld", sign, a / 86400,
                      a / 3600 % 24, a / 60 % 60, a % 60);
    }
    return buf;
}

bool ReadRecordIdentity(Link& link, ParameterImage& image, DeviceState& device,
                        const std::string& computerClock, DeviceIdentity& identity) {
    const int before = link.failedTransactions();
    ReadAllParameters(link, image);
    if (link.failedTransactions() != before || !link.session().Online) return false;
    if (!ReadDeviceIdent(link, device.DeviceIdent)) return false;
    if (!ReadDeviceSerialNo(link, device.DeviceSerialNo)) return false;
    identity = DeviceIdentity{};
    identity.fromDevice = true;
    identity.ident = device.DeviceIdent;
    identity.serialNo = device.DeviceSerialNo;
    identity.programText = ReadProgramText(link);
    if (link.failedTransactions() != before) return false;
    if (ReadDeviceClock(link, device.DeviceDateTime, device.ClockOffset)) {
        identity.deviceClock = device.DeviceDateTime;
        identity.clockOffsetDays = device.ClockOffset;
    }
    identity.computerClock = computerClock;
    return true;
}

PrintPage BuildIdentityPage(const DeviceIdentity& identity, int sprache,
                            const PrintHeader& header) {
    const RecordTexts& t = sprache == 1 ? kEnglish : kGerman;
    PrintPage page;
    page.add(1, Placement::Centre, t.title, true);
    page.add(1, Placement::RightValue, header.dateTime);
    int row = 4;
    auto line = [&](const char* label, std::string value) {
        page.add(row, Placement::LeftLabel, label);
        page.add(row, Placement::RightLabel, std::move(value));
        ++row;
    };
    if (identity.fromDevice) {
        line(t.device, Trimmed(identity.ident));
        line(t.program, Trimmed(identity.programText));
        line(t.serialNo, Trimmed(identity.serialNo));
        ++row;
        if (identity.deviceClock) {
            line(t.deviceClock, FormatDeviceDateTime(*identity.deviceClock));
        } else {
            line(t.deviceClock, t.unreadable);
        }
        line(t.computerClock, identity.computerClock);
        if (identity.deviceClock) line(t.difference, ClockDifferenceText(identity.clockOffsetDays));
    } else {
        page.add(row++, Placement::LeftLabel, t.noDevice);
        ++row;
        line(t.file, identity.fileName);
    }
    page.rules.push_back({false, 2, 2});
    return page;
}

PrintJob CommissioningRecordJob(const ParameterImage& image, int medium,
                                const edit::PageTexts& texts, const PrintHeader& header,
                                const DeviceIdentity& identity, int sprache) {
    PrintJob job;
    job.title = sprache == 1 ? kEnglish.title : kGerman.title;
    job.pages.push_back(BuildIdentityPage(identity, sprache, header));
    job.pages.push_back(BuildParameterPage(image, medium, texts, header));
    job.pages.push_back(BuildTerminalPlanPage(image, texts, header));
    if (auto remarks = BuildRemarksPage(image)) job.pages.push_back(std::move(*remarks));
    return job;
}

}  // namespace parvion::print
