#pragma once
// The write-back every page uses when a change is made online: first the
// records the change will write are read unless this connection's device
// returned them (ReadBeforeEdit); then write the
// record, a progress step, the wait the device needs before the next
// transaction, read the record back, a progress step; then the progress bar
// is hidden. Offline nothing happens: the change stays in the image.

#include <functional>
#include <initializer_list>
#include <utility>

#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"

namespace parvion::edit {

// The status-bar text when an edit was not sent; %1 is the cause.
inline constexpr std::uint16_t kEditNotSentText = 22641;

// The wait after each write of a page.
inline constexpr int kWriteWaitMs = 50;

// Before an edit changes the image: the records it will write, read from
// the device unless the image holds them from this connection, so that
// they go out as the device has them plus the edited fields. When a read
// fails the edit stops before changing anything: nothing is written, and
// the user is told why (UiHooks::editNotSent). Offline: true at once.
inline bool ReadBeforeEdit(Link& link, ParameterImage& image, std::initializer_list<BlockId> ids) {
    if (ReadUnread(link, image, ids)) return true;
    link.ui().progressHide();
    link.ui().editNotSent(link.lastFailure());
    return false;
}

// Several records of one change: each written, a progress step and the
// wait; then each read back, a progress step; then the bar is hidden.
//
// A few changes keep a sequence of their own because the device's timing
// or the progress bar they show differs, and they say so where they stand:
// the display record (the wait before the step: DisUserWriteBack), the
// medium record with the natural-gas set (MediumWriteBack), the other
// circuit told that it feeds this one, the system factor (a wait after the
// read), the user-unit switch (its progress covers the unit reads), and
// the presets, unit rows and correction factors (no read-back).
inline void WriteBack(Link& link, std::initializer_list<std::function<void()>> writes,
                      std::initializer_list<std::function<void()>> reads) {
    if (!link.session().Online) return;
    UiHooks& ui = link.ui();
    ui.progressStart(static_cast<int>(writes.size() + reads.size()));
    for (const auto& write : writes) {
        write();
        ui.progressStep();
        link.PauseMs(kWriteWaitMs);
    }
    for (const auto& read : reads) {
        read();
        ui.progressStep();
    }
    ui.progressHide();
}

template <class Write, class Read>
void WriteBack(Link& link, Write&& write, Read&& read) {
    WriteBack(link, {std::function<void()>(std::forward<Write>(write))},
              {std::function<void()>(std::forward<Read>(read))});
}

}  // namespace parvion::edit
