#pragma once
// The about box: program name and version and, online, the device's
// expansion level, program text and serial number. Also the start screen and
// the busy screen of the main window. A double click on the empty label in
// the top right corner opens the folder of the program's log files.

#include <QDialog>
#include <functional>
#include <optional>

#include "core/views/about_lines.h"
#include "core/views/text_source.h"

class QLabel;
class QTextEdit;

namespace parvion::gui {

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    struct Hooks {
        views::TextLoader text;
        // The device lines' data, read from the device; nothing while offline.
        std::function<std::optional<views::AboutDeviceInfo>()> readDevice;
        // Opens the log folder in the desktop's file manager.
        std::function<void()> openLogFolder;
    };

    TAboutBox(Hooks hooks, QWidget* parent = nullptr);

    // The memo's lines as the box builds them (a line may take more than
    // one row on screen: it wraps at blanks).
    QStringList memoLines() const;
    QLabel* Label1 = nullptr;
    QTextEdit* About_Memo = nullptr;

    // Rebuilds the memo (runs whenever the box is shown).
    void FormActivate();
    void Label1DblClick();

    // Shown centred on the main window, or on the screen while there is none.
    void setVisible(bool visible) override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Hooks hooks_;
};

}  // namespace parvion::gui
