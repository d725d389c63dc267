#include "gui/app/settings_bridge.h"

#include "core/link/transport.h"

namespace parvion::gui {

void ReadSettingsInto(Session& session, const std::filesystem::path& appDataFolder, Link& link) {
    (void)session;
    (void)appDataFolder;
    (void)link;
}

bool WriteSettingsFrom(const Session& session, const std::filesystem::path& appDataFolder,
                       std::string* error) {
    (void)session;
    (void)appDataFolder;
    (void)error;
    return true;
}

}  // namespace parvion::gui
