#pragma once
// Where a file went: the main window's status bar names it for a few
// seconds after a PDF, a commissioning record, an export or a parameter,
// table or picture file has been written.

#include <QString>
#include <cstdint>
#include <string>

class QWidget;

namespace parvion::gui {

// The text (string libraries) around the path: "Written: %1".
inline constexpr std::uint16_t kFileWrittenText = 22821;
// How long the message stays.
inline constexpr int kFileWrittenMs = 6000;

// `from`: any widget of the main window or of a window it owns;
// `pattern`: the library text kFileWrittenText.
void ShowFileWritten(QWidget* from, const std::string& pattern, const QString& file);

}  // namespace parvion::gui
