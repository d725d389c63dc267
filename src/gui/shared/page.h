#pragma once
// The pattern every page of the main window follows. A page is a QWidget of
// its own class, built from one PageContext (the state it shows and edits,
// the link, the texts, the busy guard, the value input dialog) and offering
// four operations to the frame:
//
//   updateTexts()     reload captions and choices from the current string
//                     library, and show the page again in the new texts;
//   applyPageRules()  show or hide its groups for the device's expansion
//                     level and system definition;
//   fill()            fill the page as it is entered: online from the device
//                     (the reads the page needs), offline from the image;
//   redisplay()       show again what the image and the device records hold,
//                     without device traffic (after a unit change, a new or
//                     loaded parameter set).
//
// A page keeps the component names the device tool has always used as the
// object names of its widgets (ListePT1, ComboPD2, ...), so that tests find
// them with findChild. The frame knows its pages, never their widgets.

#include <QWidget>
#include <cstdint>
#include <string>

#include "core/views/text_source.h"

namespace parvion {
class Link;
class TextLibrary;
class UiHooks;
struct DeviceState;
struct ParameterImage;
struct Session;
}  // namespace parvion

namespace parvion::gui {

class BusyGuard;
class Dialogs;
class TInputDlg;

// What a page asks of the frame.
class PageHost {
  public:
    virtual ~PageHost() = default;
    // False until the main window has been shown and its unit selections set.
    virtual bool formReady() const = 0;
    // The clock display shows the device clock as last read.
    virtual void showDeviceClock() = 0;
    // The unit selection or the user-unit switch changed: every page shows
    // its values again in the units now chosen.
    virtual void unitsChanged() = 0;
    // Fill the parameter page on display again.
    virtual void fillParameterPages() = 0;
    // The start folder of the save dialogs of the error list and the trend
    // export (the user's documents folder of the program).
    virtual QString documentsFolder() const = 0;
};

struct PageContext {
    Session& session;
    ParameterImage& image;
    DeviceState& device;
    Link& link;
    const TextLibrary& texts;
    UiHooks& ui;
    TInputDlg& inputDialog;
    BusyGuard& busy;
    Dialogs& dialogs;
    PageHost& host;

    bool online() const;
    int medium() const;
    // Texts of the current library (empty when missing).
    std::string text(std::uint16_t number) const;
    // A block of 16 texts from `first`; the entries are cleared first.
    bool textBlock(std::uint16_t first, std::uint8_t width, views::TextBlock& texts) const;
    views::BlockLoader blocks() const;
    // One text of the current library, as the core's builders take it.
    views::TextLoader textLoader() const;
    // Values as the pages show them, in the user's units.
    views::ValueFormatter values() const;
};

class Page : public QWidget {
    Q_OBJECT
  public:
    Page(PageContext& context, const QString& objectName, QWidget* parent = nullptr);

    virtual void updateTexts() {}
    virtual void applyPageRules() {}
    virtual void fill() {}
    virtual void redisplay() {}

  protected:
    PageContext& ctx_;
};

}  // namespace parvion::gui
