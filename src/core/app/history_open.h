#pragma once
// The device history as the window and the command line open it: the store
// the settings key [History] Database names (empty: history.sqlite in the
// program's data folder; postgresql://...: a shared server), with the
// origin of this program (window or command line, computer, user). A store
// that cannot be opened does not stop the program: the history is still
// made, keeps what it is given in memory and writes it once the store
// takes writes again; the caller shows the cause as a warning.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/history/history.h"

namespace parvion {

// The warning when the history cannot be written; %1 is the cause (it
// names the store).
inline constexpr std::uint16_t kHistoryWarningText = 22700;

struct OpenedHistory {
    std::unique_ptr<history::History> history;  // never null
    std::string cause;                          // why the store did not open; empty when it did
    history::StoreStatus status;  // the same for a warning in the user's language (StoreCauseText)
};

// The value of [History] Database in the settings file of the data folder
// (empty when the file or the key is missing).
std::string HistoryDatabaseSetting(const std::filesystem::path& dataFolder);

// Opens the store the settings name for `program` (history::kProgramWindow
// or history::kProgramCli). The data folder is created for the SQLite file.
OpenedHistory OpenHistory(const std::filesystem::path& dataFolder, std::string_view program,
                          history::History::Clock clock = history::Now);

}  // namespace parvion
