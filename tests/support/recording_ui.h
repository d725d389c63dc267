#pragma once
// A UiHooks that records what the core asked of the window: the online
// label, the offline menus, beeps, progress and waits. Waits are recorded and
// skipped unless realWaits is set, so that bulk operations run at full speed.

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/link/ui_hooks.h"

namespace parvion::test {

class RecordingUi : public UiHooks {
  public:
    void showOnline(bool online) override { onlineShown.push_back(online); }
    void enableOfflineMenus(bool enabled) override { menusEnabled.push_back(enabled); }
    void progressStart(int maximum) override { progressMaximum = maximum; }
    void progressStep() override { ++progressSteps; }
    void progressHide() override { ++progressHides; }
    void busyCursor(bool busy) override { cursorBusy.push_back(busy); }
    void statusText(int panel, const std::string& text) override {
        statusTexts.push_back(std::to_string(panel) + ":" + text);
    }
    void beep() override { ++beeps; }
    void waitMs(int ms) override {
        waits.push_back(ms);
        if (realWaits && ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        if (duringWaits) duringWaits();
    }
    void editNotSent(const LinkFailure& failure) override { notSent.push_back(failure.cause); }
    void historyWarning(const std::string& text) override { historyWarnings.push_back(text); }
    void processEvents() override {
        if (duringWaits) duringWaits();
    }

    bool realWaits = false;
    // Runs in every wait and every round of processing events, as the
    // window's event loop does (a window test hands it the event loop).
    std::function<void()> duringWaits;
    std::vector<bool> onlineShown;
    std::vector<bool> menusEnabled;
    std::vector<bool> cursorBusy;
    std::vector<std::string> statusTexts;
    std::vector<int> waits;
    std::vector<LinkCause> notSent;            // edits that stopped before sending, and why
    std::vector<std::string> historyWarnings;  // the device history's warnings ("" = caught up)
    int progressMaximum = -1;
    int progressSteps = 0;
    int progressHides = 0;
    int beeps = 0;
};

}  // namespace parvion::test
