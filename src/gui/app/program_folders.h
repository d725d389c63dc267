#pragma once
// Where the program finds its string libraries and keeps its files, and the
// line it talks through (the Qt serial line, or the socket line for a
// network port).

#include <filesystem>
#include <memory>

#include "core/link/serial_line.h"

namespace parvion::gui {

struct ProgramFolders {
    std::filesystem::path program;    // the string libraries
    std::filesystem::path appData;    // settings, error log, traces
    std::filesystem::path documents;  // parameter and table files
};

// Needs the application object.
ProgramFolders ResolveProgramFolders();
std::unique_ptr<SerialLine> MakeSerialLine();

}  // namespace parvion::gui
