#pragma once
// The few user-interface effects that core routines cause. The main window
// implements them; the CLI and the tests use NullUiHooks or a recorder.

#include <string>

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
};

// Does nothing but wait for real.
class NullUiHooks : public UiHooks {};

}  // namespace parvion
