#pragma once
// The write-back every page uses when a change is made online: write the
// record, a progress step, the wait the device needs before the next
// transaction, read the record back, a progress step; then the progress bar
// is hidden. Offline nothing happens: the change stays in the image.

#include "core/link/transport.h"
#include "core/link/ui_hooks.h"

namespace parvion::edit {

// The wait after each write of a page.
inline constexpr int kWriteWaitMs = 50;

template <class Write, class Read>
void WriteBack(Link& link, Write&& write, Read&& read) {
    if (!link.session().Online) return;
    UiHooks& ui = link.ui();
    ui.progressStart(2);
    write();
    ui.progressStep();
    link.PauseMs(kWriteWaitMs);
    read();
    ui.progressStep();
    ui.progressHide();
}

}  // namespace parvion::edit
