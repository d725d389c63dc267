#pragma once
// The printouts of a parameter set as pages (page_layout.h): the parameter
// printout ("Parameterausdruck"), the terminal plan ("Klemmenplan"), the
// remarks page that printed copies carry, and the commissioning record. The
// lines of the parameter printout are those of the parameter pages
// (core/edit): the printout lays them out, it does not decide them again.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/edit/page_commands.h"
#include "core/model/device_records.h"
#include "core/model/device_time.h"
#include "core/model/parameter_image.h"
#include "core/views/page_layout.h"

namespace parvion {
class Link;
}

namespace parvion::print {

// Job titles of the two printouts.
inline constexpr std::string_view kParameterJobTitle = "Parameterausdruck";
inline constexpr std::string_view kTerminalPlanJobTitle = "Klemmenplan";

// Width to which the printout loads its label blocks.
inline constexpr std::uint8_t kPrintLabelWidth = 20;

// What the title line names after its text: online the device's serial
// number, offline what the main window's status bar shows (the parameter
// file's name).
struct TitleSource {
    bool online = false;
    std::string serialNo;    // online
    std::string statusText;  // offline
};
// " SerialNo:" and the serial number online; two blanks and the status text
// offline.
std::string TitleSuffix(const TitleSource& source);

// The title source and the date and time printed at the top right.
struct PrintHeader {
    TitleSource source;
    std::string dateTime;  // HeaderDateTime
};

// The date and time at the top right of a printout, as the window of the
// language shows dates: German "07.12.2026 14:03", English
// "2026-12-07 14:03".
std::string HeaderDateTime(const DeviceDateTime& now, int sprache);

// Columns of the printout font (Courier New 10 points, 6 points a
// character) across the narrowest page printed on: A4 with margins of up
// to 13 mm either side.
inline constexpr std::size_t kPageColumns = 88;

// The title line of a header: `title` and the source's suffix, where an
// offline status text (the parameter file's name) too long for the room
// left beside the date on kPageColumns is shortened in its middle
// (ShortenFileName, then to the room left, keeping the end) so that the
// centred title never runs into the date.
std::string HeaderTitle(std::string title, const PrintHeader& header);

// The title text of the parameter printout for an expansion level: 64 for
// the high-end device (0x00), else 65, 66 without circuit-2 bits, 67 without
// trend bits (checked in this order, so the last match wins).
std::uint16_t ParameterTitleText(std::uint8_t ausbaustufe);

// The parameter printout's one page.
PrintPage BuildParameterPage(const ParameterImage& image, int medium, const edit::PageTexts& texts,
                             const PrintHeader& header);

// The terminal plan's one page.
PrintPage BuildTerminalPlanPage(const ParameterImage& image, const edit::PageTexts& texts,
                                const PrintHeader& header);

// The remark lines from row 3 on; nothing when the parameter set has none.
std::optional<PrintPage> BuildRemarksPage(const ParameterImage& image);

// The parameter printout as a print job: its page and, when there are
// remarks, the remarks page.
PrintJob ParameterPrintoutJob(const ParameterImage& image, int medium, const edit::PageTexts& texts,
                              const PrintHeader& header);

// The terminal plan printed in `copies` copies: one job per copy, each with
// its own remarks page when there are remarks. Copies below 1 count as 1.
std::vector<PrintJob> TerminalPlanJobs(const ParameterImage& image, const edit::PageTexts& texts,
                                       const PrintHeader& header, int copies);

// --- commissioning record ---------------------------------------------------

// What the record says about the device. Without a device (a record made
// from a parameter file) only the file name is known.
struct DeviceIdentity {
    bool fromDevice = false;
    std::string ident;        // "PV-GAS2 "
    std::string programText;  // 16 characters of program memory
    std::string serialNo;
    std::optional<DeviceDateTime> deviceClock;  // nothing when it could not be read
    double clockOffsetDays = 0;                 // device clock minus this computer's clock
    std::string computerClock;                  // this computer's clock as text
    std::string fileName;                       // the parameter file (without a device)
};

// Reads what the record says of the connected device: the whole parameter
// set into the image, then the identity, program text, serial number and
// clock into `device` and `identity` (computerClock is this computer's
// clock as text). A record only holds what the device holds: false, and the
// link says why, when a parameter block, the identity or the serial number
// could not be read. A clock that cannot be read is printed as such.
bool ReadRecordIdentity(Link& link, ParameterImage& image, DeviceState& device,
                        const std::string& computerClock, DeviceIdentity& identity);

// The first page of the record: what it is, when it was made and the
// device's identity, in the program's language (0 German, 1 English).
PrintPage BuildIdentityPage(const DeviceIdentity& identity, int sprache, const PrintHeader& header);

// The whole record as one job: identity page, parameter printout, terminal
// plan and, when there are remarks, the remarks page.
PrintJob CommissioningRecordJob(const ParameterImage& image, int medium,
                                const edit::PageTexts& texts, const PrintHeader& header,
                                const DeviceIdentity& identity, int sprache);

// The device clock's difference to this computer's clock as text: "+12 s",
// "-3 s", "+2 d 01:00:05".
std::string ClockDifferenceText(double offsetDays);

}  // namespace parvion::print
