#pragma once
// The few user-interface effects that core routines cause. The main window
// implements them; the CLI and the tests use NullUiHooks or a recorder.

#include <string>

#include "core/link/link_failure.h"

namespace parvion {

class UiHooks {
  public:
    virtual ~UiHooks() = default;
    // The online label of the status bar: "ONLINE" green or "OFFLINE" red.
    virtual void showOnline(bool online) { (void)online; }
    // The menus "System" and "Ausbaustufe", enabled only offline.
    virtual void enableOfflineMenus(bool enabled) { (void)enabled; }
    // The progress bar of the status bar.
    virtual void progressStart(int maximum) { (void)maximum; }
    virtual void progressStep() {}
    virtual void progressHide() {}
    virtual void busyCursor(bool busy) { (void)busy; }
    // A text in a status-bar panel.
    virtual void statusText(int panel, const std::string& text) {
        (void)panel;
        (void)text;
    }
    // The system's asterisk (message) beep.
    virtual void beep() {}
    // Waits the given time while the window keeps processing its events.
    virtual void waitMs(int ms);
    // Lets pending window events run.
    virtual void processEvents() {}
    // An edit was not sent: a record it changes could not be read from the
    // device first (the failure says why). Nothing was changed or written.
    virtual void editNotSent(const LinkFailure& failure) { (void)failure; }
    // The device history could not be written (the text names the store and
    // the cause; what was missed is kept and written later), or, with an
    // empty text, it has caught up again. The device work is not affected.
    virtual void historyWarning(const std::string& text) { (void)text; }
};

// Does nothing but wait for real.
class NullUiHooks : public UiHooks {};

}  // namespace parvion
