#pragma once
// The error-protocol page TabFehler: the list ErrorListe with the device's
// error protocol, read afresh each time the page is entered or refreshed,
// and its popup menu PopupMenu1 whose item Speichern1 saves the list as a
// text file; the button BtnSpeichern under the list does the same.

#include <vector>

#include "gui/shared/page.h"

class QAction;
class QListWidget;
class QMenu;
class QPushButton;

namespace parvion::gui {

class ErrorProtocolPage : public Page {
    Q_OBJECT
  public:
    explicit ErrorProtocolPage(PageContext& context, QWidget* parent = nullptr);

    // Reads the error protocol and rebuilds ErrorListe; a failed read (and
    // every read while offline) leaves the list empty.
    void FillErrorProtocol();
    // Enables Speichern1 exactly when the list has lines.
    void PopupMenu1Popup();
    // Saves the lines of the list to a file the user chooses.
    void Speichern1Click();

    void updateTexts() override;
    void fill() override { FillErrorProtocol(); }
    // Shows the protocol of the last read again (names and phrases in the
    // current texts and system definition), without device traffic.
    void redisplay() override;

  private:
    void showLines();

    QListWidget* ErrorListe_;
    QMenu* PopupMenu1_;
    QAction* Speichern1_;
    QPushButton* BtnSpeichern_;  // enabled exactly when the list has lines
    bool read_ = false;          // the record holds a protocol read from the device
};

}  // namespace parvion::gui
