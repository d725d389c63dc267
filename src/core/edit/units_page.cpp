#include "core/edit/units_page.h"

#include "core/model/utf8_text.h"
#include "core/edit/write_back.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/units.h"

namespace parvion::edit {

namespace {

// The unit selections the switch reads when the user units go on.
constexpr int kUnitSelections = 16;

}  // namespace

std::vector<std::string> UnitChoices(int medium, std::uint8_t quantity) {
    std::vector<std::string> items;
    for (const UnitRow& row : UnitTable) {
        if ((row.System == kAnySystem || row.System == medium) && row.Quantity == quantity) {
            items.push_back(TrimText(row.DisplayText));
        }
    }
    return items;
}

int UnitColumns(std::size_t count) {
    return static_cast<int>(static_cast<double>(count) / 4.1) + 1;
}

bool SelectUnit(Link& link, ParameterImage& image, std::uint8_t quantity, int choice) {
    if (quantity >= kUnitPageQuantities || choice < 0 || choice > 255) return false;
    const UnitRow* row =
        FindUnitRow(link.session().Medium, quantity, static_cast<std::uint8_t>(choice));
    if (row == nullptr) return false;
    if (!ReadBeforeEdit(link, image, {{BlockKind::UserEinheiten, quantity}})) return false;
    ApplyUnitRow(image.UserEinheiten[quantity], *row);
    if (link.session().Online) {
        UiHooks& ui = link.ui();
        ui.progressStart(2);
        WriteUserEinheiten(link, image, quantity);
        ui.progressStep();
        link.PauseMs(kWriteWaitMs);
        ui.progressStep();
        ui.progressHide();
    }
    return true;
}

void SwitchUserUnits(Link& link, ParameterImage& image, bool on) {
    const bool online = link.session().Online;
    UiHooks& ui = link.ui();
    if (!ReadBeforeEdit(link, image, {{BlockKind::Dis_User}})) return;
    if (on) {
        image.Dis_User.Einheiten = 1;
        if (online) {
            ui.progressStart(kUnitSelections + 1);
            for (int q = 0; q < kUnitSelections; ++q) {
                ReadUserEinheiten(link, image, q);
                ui.progressStep();
            }
            link.PauseMs(kWriteWaitMs);
        }
    } else {
        image.Dis_User.Einheiten = 0;
        if (online) ui.progressStart(2);
    }
    if (!online) return;
    WriteDis_User(link, image);
    link.PauseMs(kWriteWaitMs);
    ui.progressStep();
    ReadDis_User(link, image);
    ui.progressStep();
    ui.progressHide();
}

bool FillUnitsPage(Link& link, ParameterImage& image, bool shownOn) {
    UiHooks& ui = link.ui();
    ui.progressStart(16);
    if (link.session().Online && ReadDis_User(link, image)) ui.progressStep();
    bool on = shownOn;
    if (image.Dis_User.Einheiten != 0) {
        link.PauseMs(kWriteWaitMs);
        if (!on) {
            on = true;
            SwitchUserUnits(link, image, true);
        }
        link.PauseMs(kWriteWaitMs);
    } else if (on) {
        on = false;
        SwitchUserUnits(link, image, false);
    }
    ui.progressHide();
    return on;
}

}  // namespace parvion::edit
