#pragma once
// The settings file of the program as the main window uses it.

#include <filesystem>
#include <string>

#include "core/app/session.h"

namespace parvion {
class Link;
}

namespace parvion::gui {

// Reads the settings into the session and gives the link the port table.
void ReadSettingsInto(Session& session, const std::filesystem::path& appDataFolder, Link& link);
// Writes the settings back; false with the reason when the file cannot be
// written.
bool WriteSettingsFrom(const Session& session, const std::filesystem::path& appDataFolder,
                       std::string* error);

}  // namespace parvion::gui
