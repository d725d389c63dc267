// The main window's modal dialogs: the settings dialog behind
// "Einstellungen...", the password dialog it asks, and the value input
// dialog behind the system factor.

#include <QLineEdit>
#include <QScopeGuard>
#include <QTimer>

#include "core/link/parameter_blocks.h"
#include "gui/app/main_window.h"
#include "gui/app/settings_dialog.h"
#include "gui/parameters/input_dialog.h"
#include "gui/parameters/password_dialog.h"

namespace parvion::gui {

namespace {
constexpr std::uint8_t kNoUnit = 255;
constexpr float kSystemFactorMin = 0.9f;
constexpr float kSystemFactorMax = 1.1f;
}  // namespace

void Tfrm_Main::createDialogs() {
    // Created once after the main window, in the order the program has
    // always made them: value input, settings, password.
    inputDlg_ = new TInputDlg(image_, session_, this, [this] { beep(); });
    passwordDlg_ = new TPasswordDlg(this);

    EinstHooks hooks;
    hooks.stopRefreshTimer = [this] { RefreshTimer->stop(); };
    hooks.setRefreshInterval = [this](int ms) { RefreshTimer->setInterval(ms); };
    hooks.startRefreshTimer = [this] { RefreshTimer->start(); };
    hooks.UpdateTexts = [this] { UpdateTexts(); };
    hooks.checkVariantMenus = [this] { checkVariantMenus(); };
    hooks.FillParameterPages = [this] { FillParameterPages(); };
    hooks.clearDateTime = [this] { Ed_DateTime->clear(); };
    // No port resolver of its own: the dialog maps "Com N" through the
    // settings file of the data folder, as the link does.
    einst_ =
        new TEinst({session_, image_, *device_, *link_, *texts_, *this, options_.appDataFolder, {}},
                   std::move(hooks), *passwordDlg_, this);
}

void Tfrm_Main::mnu_EinstellungenClick() {
    // The dialog closes the port and talks to the device itself: never in
    // the middle of another transaction.
    if (busy_ || einst_ == nullptr) return;
    einst_->exec();
    // The texts follow a variant the dialog may have switched to, and the
    // visible page shows the device now connected (or the image offline).
    UpdateTexts();
}

void Tfrm_Main::ed_SystemFaktorDblClick() {
    if (busy_ || inputDlg_ == nullptr) return;
    inputDlg_->Quantity = kNoUnit;
    inputDlg_->IntegerMode = false;
    inputDlg_->Precision = 5;
    inputDlg_->MinValue = kSystemFactorMin;
    inputDlg_->MaxValue = kSystemFactorMax;
    inputDlg_->Value = image_.System.Faktor;
    // Cancel, Escape and the title-bar close box all end with the modal
    // result Cancel; only the last leaves Cancelled clear.
    if (inputDlg_->exec() != QDialog::Accepted) return;
    image_.System.Faktor = inputDlg_->Value;
    if (session_.Online) {
        setBusy(true);
        auto done = qScopeGuard([this] { setBusy(false); });
        WriteSystem(*link_, image_);
        waitMs(50);
        ReadSystem(*link_, image_);
        waitMs(50);
    }
    FillParameterPages();
}

}  // namespace parvion::gui
