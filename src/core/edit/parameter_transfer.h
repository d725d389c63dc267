#pragma once
// A parameter file on its way to the connected device, and a whole
// parameter set written: the one sequence the window's Load and
// parvion2-cli write-params share, with one failure rule. A device read the
// sequence needs and does not get stops it before anything is written.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/model/parameter_file.h"
#include "core/model/parameter_image.h"

namespace parvion {
class Link;
}

namespace parvion::edit {

struct FileForDevice {
    enum class Status {
        Ready,             // `image` is the set to write
        FileRefused,       // the loader refused the file: `file` says why
        DeviceUnreadable,  // a device read failed (the link says why): nothing may be written
    };
    Status status = Status::Ready;
    // The loader's result: why a file was refused, or, when Ready, the keys
    // the file lacks (they took the reader's defaults).
    ParameterFileResult file;
    ParameterImage image;
    // DeviceUnreadable: what could not be read, for the message.
    std::string unreadable;
    bool ready() const { return status == Status::Ready; }
};

// What unreadable names.
inline constexpr const char* kGasInputUnreadable = "the gas input set of the device";
inline constexpr const char* kSystemUnreadable = "the System block of the device";

// The file as it would go to the device of the link's session: loaded onto
// the defaults of the variant with the expansion level and system kinds of
// `current`. The file is checked first, before any device traffic; a value
// that no device float holds (NAN, INF) refuses it as not a number. Online,
// the device's System block then decides the expansion level and system
// kinds, and on the gas computer the device's own Ready flags survive
// unless the natural-gas input set changes (its EG_User and both Med_User
// are read); each of these reads must succeed. The link's session and
// `current` are not changed; the result's image holds no device marks.
FileForDevice PrepareParameterFile(Link& link, const ParameterImage& current,
                                   const std::filesystem::path& file);

// The message when a whole set could not be written (library text; %1 the
// cause).
inline constexpr std::uint16_t kWriteSetFailedText = 22643;

struct SetWritten {
    int failed = 0;         // transactions that failed
    bool lineGone = false;  // the device stopped answering and the rest was not tried
    // The parameter file sections of the blocks the device accepted.
    std::vector<std::string> written;
    bool ok() const { return failed == 0; }
};

// Before a whole set is written without a comparison: the device's own
// set read into a scratch copy when the history watching the link does not
// know it from this connection, so that the journal has the old values and
// lists only the settings the write changes. A failed read stops nothing.
// (The window's comparison before writing reads the set anyway.)
void ReadSetTheHistoryLacks(Link& link, const ParameterImage& image);

// Writes the whole set (WriteAllParameters) and says how it went.
SetWritten WriteParameterSet(Link& link, ParameterImage& image);

}  // namespace parvion::edit
