#include "core/app/history_open.h"

#include <system_error>

#include "core/app/settings.h"
#include "core/model/profile_file.h"

namespace parvion {

std::string HistoryDatabaseSetting(const std::filesystem::path& dataFolder) {
    const ProfileFile settings(SettingsFile(dataFolder));
    return settings.readString(settings_keys::kHistory, settings_keys::kDatabase, "");
}

OpenedHistory OpenHistory(const std::filesystem::path& dataFolder, std::string_view program,
                          history::History::Clock clock) {
    const std::string database = HistoryDatabaseSetting(dataFolder);
    std::error_code ec;
    if (!dataFolder.empty()) std::filesystem::create_directories(dataFolder, ec);
    auto store = history::OpenHistoryStore(database, dataFolder);
    const history::StoreStatus status = store->open();
    OpenedHistory opened;
    opened.history = std::make_unique<history::History>(
        std::move(store), history::LocalOrigin(program), std::move(clock));
    if (!status.ok()) opened.cause = status.cause;
    opened.status = status;
    return opened;
}

}  // namespace parvion
