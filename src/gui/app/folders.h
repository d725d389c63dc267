#pragma once
// The program's two per-user folders, created when missing:
//   AppDataFolder():   <generic data location>/parvion2 (Linux: $XDG_DATA_HOME
//                      or ~/.local/share, then /parvion2) - settings file,
//                      error log, serial traces, leak-check logs;
//   DocumentsFolder(): <documents location>/parvion2 (Linux: the XDG
//                      documents folder, usually ~/Documents) - start folder
//                      for parameter, table, trend and protocol files.
// Each is the path without a trailing slash, or empty when the folder
// cannot be created (then the settings file and error log fall back to the
// file system root, where writing usually fails).

#include <QString>

#include <filesystem>

namespace parvion::gui {

QString AppDataFolder();
QString DocumentsFolder();

// The folder as a file system path for the core (empty stays empty).
std::filesystem::path ToPath(const QString& folder);

}  // namespace parvion::gui
