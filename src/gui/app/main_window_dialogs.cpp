// The main window's modal dialogs: the settings dialog behind
// "Einstellungen..." and the password dialog it asks; and the graph window
// of the trend page and the device history, shown without waiting; the table editors the medium
// lines of the circuit pages open.

#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "core/app/texts.h"
#include "gui/app/main_window.h"
#include "gui/app/settings_dialog.h"
#include "gui/graph/graph_window.h"
#include "gui/history/history_window.h"
#include "gui/operation/trend_page.h"
#include "gui/parameters/circuit_parameter_page.h"
#include "gui/parameters/password_dialog.h"
#include "gui/parameters/system_page.h"
#include "gui/tables/property_table_window.h"
#include "gui/tables/saturation_table_window.h"

namespace parvion::gui {

void Tfrm_Main::createDialogs() {
    // Created once after the main window; the value input dialog came first,
    // with the pages that use it.
    passwordDlg_ = new TPasswordDlg(this);
    passwordDlg_->setTexts([this](std::uint16_t n) { return LoadText(n); });

    EinstHooks hooks;
    hooks.stopRefreshTimer = [this] { RefreshTimer->stop(); };
    hooks.setRefreshInterval = [this](int ms) { RefreshTimer->setInterval(ms); };
    hooks.startRefreshTimer = [this] { RefreshTimer->start(); };
    hooks.UpdateTexts = [this] { UpdateTexts(); };
    hooks.checkVariantMenus = [this] { checkVariantMenus(); };
    hooks.FillParameterPages = [this] { FillParameterPages(); };
    hooks.clearDateTime = [this] { TabParSystem->clearDeviceClock(); };
    // No port resolver of its own: the dialog maps "Com N" through the
    // settings file of the data folder, as the link does.
    einst_ = new TEinst(
        {session_, image_, *device_, *link_, *texts_, *this, busy_, options_.appDataFolder, {}},
        std::move(hooks), *passwordDlg_, this);

    grafik_ = new Tfrm_Grafik({device_->TrendStore,
                               image_,
                               session_,
                               *dialogs_,
                               [this] { return TabTrend->columnHeads(); },
                               options_.documentsFolder,
                               {},
                               [this] { return device_->DeviceSerialNo; },
                               [this](std::uint16_t n) { return texts_->LoadText(n); }},
                              this);
    connect(TabTrend, &TrendPage::graphRequested, this, &Tfrm_Main::cmd_GrafikClick);

    tabelle_ = new Tfrm_Tabelle(*context_, this);
    userSatTab_ = new Tfrm_UserSatTab(*context_, this);
    const auto openTable = [this](edit::LineAction editor, int tag, const QString& caption) {
        if (editor == edit::LineAction::SaturationTable) {
            userSatTab_->open(tag, caption);
        } else {
            tabelle_->open(tag, caption);
        }
    };
    TabPar1->setTableEditor(openTable);
    TabPar2->setTableEditor(openTable);
}

void Tfrm_Main::cmd_GrafikClick() {
    grafik_->showGraph();
}

void Tfrm_Main::mnu_HistorieClick() {
    // Made when first asked for: it reads the history only while shown.
    if (historie_ == nullptr) {
        historie_ = new HistoryWindow(*this, *dialogs_, this);
        historie_->setHistory(history());
    }
    historie_->showWindow();
}

void Tfrm_Main::mnu_EinstellungenClick() {
    // The dialog closes the port and talks to the device itself: never in
    // the middle of another transaction.
    if (busy_.held() || einst_ == nullptr) return;
    einst_->exec();
    // The texts follow a variant the dialog may have switched to, and the
    // visible page shows the device now connected (or the image offline).
    UpdateTexts();
}

}  // namespace parvion::gui
