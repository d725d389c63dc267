// Reloading every text of the main window from the current string library.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>

#include "core/app/texts.h"
#include "core/model/units.h"
#include "gui/app/main_window.h"
#include "gui/app/radio_group.h"

namespace parvion::gui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// Sets a caption from a loaded text; an empty text keeps the caption.
template <typename W>
void setCaption(W* widget, const std::string& text) {
    if (!text.empty()) widget->setTitle(q(text));
}
void setText(QAction* a, const std::string& text) {
    if (!text.empty()) a->setText(q(text));
}
void setText(QAbstractButton* b, const std::string& text) {
    if (!text.empty()) b->setText(q(text));
}

// The choices of a list: the block's texts from `from` up to the first empty.
QStringList choices(const views::TextBlock& t, std::size_t from = 1) {
    QStringList out;
    for (std::size_t i = from; i < t.size() && !t[i].empty(); ++i) out << q(t[i]);
    return out;
}

void refill(QComboBox* combo, const QStringList& items) {
    QSignalBlocker block(combo);
    combo->clear();
    combo->addItems(items);
}

}  // namespace

void Tfrm_Main::UpdateTexts() {
    busyCursor(true);
    const std::string title = LoadText(1);
    if (!title.empty()) setWindowTitle(q(title));
    applyTextBlocks();
    // Refresh what is visible; never inside another device sequence.
    if (!busy_) {
        setBusy(true);
        refreshVisiblePage(false);
        setBusy(false);
    }
    busyCursor(false);
}

void Tfrm_Main::applyTextBlocks() {
    views::TextBlock t;
    auto load = [this, &t](std::uint16_t first) {
        t.fill({});
        return LoadTextBlock(first, 1, t);
    };

    // Menus.
    if (load(1024)) {
        setText(mnu_Parameter->menuAction(), t[0]);
        setText(mnu_Neu, t[1]);
        setText(mnu_Laden, t[2]);
        setText(mnu_Speichern, t[3]);
        setText(mnu_Seitenansicht, t[5]);
        setText(mnu_Drucken, t[6]);
        setText(mnu_Klemmenplan, t[8]);
        setText(mnu_Beenden, t[10]);
    }
    if (load(1040)) {
        setText(mnu_Optionen->menuAction(), t[0]);
        setText(mnu_Einstellungen, t[1]);
        setText(mnu_System->menuAction(), t[2]);
        setText(mnu_Sprache->menuAction(), t[3]);
        setText(mnu_Ausbaustufe->menuAction(), t[4]);
    }
    if (load(1056)) {
        setText(mnu_energy, t[0]);
        setText(mnu_gas, t[1]);
    }
    if (load(1072)) {
        setText(mnu_Deutsch, t[0]);
        setText(mnu_Englisch, t[1]);
    }
    if (load(1088)) {
        for (std::size_t i = 0; i < mnu_Level.size(); ++i) setText(mnu_Level[i], t[i]);
    }
    if (load(1120)) {
        setText(mnu_Hilfe->menuAction(), t[0]);
        setText(mnu_Info, t[1]);
    }

    // Page tabs.
    auto tabs = [&t](QTabWidget* owner) {
        for (int i = 0; i < owner->count() && static_cast<std::size_t>(i) + 1 < t.size(); ++i) {
            const std::string& s = t[static_cast<std::size_t>(i) + 1];
            if (!s.empty()) owner->setTabText(i, q(s));
        }
    };
    if (load(512)) {
        if (!t[0].empty()) Notebook->setTabText(Notebook->indexOf(TabBetrieb), q(t[0]));
        tabs(NBBetrieb);
    }
    if (load(528)) {
        if (!t[0].empty()) Notebook->setTabText(Notebook->indexOf(TabParameter), q(t[0]));
        tabs(NBParameter);
    }

    // Circuit pages: the fourth choice names the other circuit.
    auto circuitBlock = [&](std::uint16_t first, std::array<QGroupBox*, 2>& boxes,
                            std::array<QComboBox*, 2>& combos, bool otherCircuit) {
        if (!load(first)) return;
        for (std::size_t c = 0; c < 2; ++c) {
            setCaption(boxes[c], t[0]);
            QStringList items = choices(t);
            if (otherCircuit && items.size() > 3) items[3] += c == 0 ? " 2" : " 1";
            refill(combos[c], items);
        }
    };
    circuitBlock(2048, TBox, ComboPT, true);
    circuitBlock(3072, PBox, ComboPD, true);
    circuitBlock(4096, FBox, ComboPF, false);
    circuitBlock(5120, GBox, ComboPG, false);
    circuitBlock(6144, IBox, ComboIA, false);

    // Relays.
    if (load(7168)) {
        const views::TextBlock head = t;
        load(7184);
        const QStringList items = choices(head) + choices(t, 0);
        for (std::size_t c = 0; c < 2; ++c) {
            GroupAlm[c]->setTitle(q(head[0]) + (c == 0 ? " 1" : " 2"));
            refill(ComboAlm[c], items);
        }
    }
    if (load(7200)) {
        QStringList kinds;
        for (const std::string& s : t) kinds << q(s);
        for (QComboBox* combo : ComboAlmKind) refill(combo, kinds);
    }
    // Outputs.
    if (load(8192)) {
        const views::TextBlock head = t;
        load(8208);
        const QStringList items = choices(head) + choices(t, 0);
        for (std::size_t k = 0; k < 4; ++k) {
            GroupAus[k]->setTitle(q(head[0]) + " " + QString::number(k + 1));
            refill(ComboAus[k], items);
        }
    }
    // Display options and units.
    if (load(9216)) {
        const views::TextBlock head = t;
        load(9232);
        setCaption(GroupDisplay, head[0]);
        refill(ComboVorzug, choices(head) + choices(t, 0));
    }
    if (load(9248) && !t[0].empty()) {
        CheckUserEinheiten->setText(q(t[0]));
        // Clearing the box here changes neither the image nor the device:
        // the units page sets it again from the device when it is filled.
        {
            QSignalBlocker block(CheckUserEinheiten);
            CheckUserEinheiten->setChecked(false);
        }
        PC_Usereinheiten->setVisible(false);
        for (int i = 0; i < PC_Usereinheiten->count(); ++i) {
            const std::string& s = t[static_cast<std::size_t>(i) + 1];
            if (!s.empty()) PC_Usereinheiten->setTabText(i, q(s));
        }
    }
    // Trend recording.
    if (load(10240)) {
        setCaption(GroupTrend, t[0]);
        refill(ComboTrend, choices(t));
    }
    if (load(10256)) {
        setCaption(GroupIntervall, t[0]);
        refill(ComboTrendinterval, choices(t));
    }
    // System page.
    if (load(11264)) {
        setCaption(GroupSystem, t[0]);
        refill(Combosystem, choices(t));
    }
    if (load(11280)) {
        setCaption(AnzahlMU, t[0]);
        AnzahlMU->setItems(choices(t));
    }
    if (load(11296)) {
        setCaption(RG_Grenzen, t[0]);
        RG_Grenzen->setItems(choices(t));
    }
    if (load(11312)) setText(Chk_Vorgabe, t[0]);
    {
        const std::string factor = LoadText(11328);
        lbl_Systemfaktor->setVisible(!factor.empty());
        ed_SystemFaktor->setVisible(!factor.empty());
        if (!factor.empty()) lbl_Systemfaktor->setText(q(factor));
    }
    // Correction factors.
    if (load(12288)) {
        for (std::size_t c = 0; c < 2; ++c) {
            GroupFaktor[c]->setTitle(q(t[0]) + (c == 0 ? " 1" : " 2"));
            for (int row = 0; row < FlowKorr[c]->rowCount(); ++row) {
                const std::string& s = t[static_cast<std::size_t>(row) + 1];
                FlowKorr[c]->setItem(row, 0, new QTableWidgetItem(q(s)));
            }
        }
    }
    // Display of the device.
    if (load(13376)) setCaption(GroupBetriebsanzeige, t[0]);
    if (load(13392)) {
        setText(CheckDisplay, t[0]);
        setText(CheckCalc, t[1]);
    }
    for (std::size_t b = 0; b < 4; ++b) {
        if (!load(static_cast<std::uint16_t>(13312 + 16 * b))) continue;
        setCaption(DisplayBox[b], t[0]);
        for (std::size_t i = 0; i < 7; ++i) setText(DisplayChecks[b][i], t[i + 1]);
    }
    fillTrendGridHeader();
    if (load(30720)) {
        setCaption(GroupInteg1, t[0]);
        setCaption(GroupInteg2, t[1]);
    }
    fillUnitRadioGroups();
}

void Tfrm_Main::fillTrendGridHeader() {
    views::TextBlock t;
    if (LoadTextBlock(19456, 1, t)) {
        auto cell = [this](int row, int col, const QString& text) {
            Trendgrid->setItem(row, col, new QTableWidgetItem(text));
        };
        cell(0, 0, q(t[0]));
        static constexpr std::uint8_t kQuantities[4] = {0, 1, 3, 4};
        for (int col = 1; col <= 4; ++col) {
            const std::string unit =
                TrimText(UnitText(image_, session_.Medium, kQuantities[col - 1], true));
            cell(0, col, q(t[static_cast<std::size_t>(col)]) + "[" + q(unit) + "]");
        }
        for (int row = 1; row <= 3; ++row) cell(row, 0, q(t[static_cast<std::size_t>(row) + 4]));
        const QFontMetrics fm(Trendgrid->font());
        Trendgrid->setColumnWidth(0, fm.horizontalAdvance(QStringLiteral("09.09.2099 09:09:09x")));
        for (int col = 1; col <= 4; ++col) {
            const QString sample =
                col == 1 ? QStringLiteral("-999.0000x") : QStringLiteral("-999.9999E99xx");
            const QString head = Trendgrid->item(0, col)->text() + "x";
            Trendgrid->setColumnWidth(
                col, std::max(fm.horizontalAdvance(sample), fm.horizontalAdvance(head)));
        }
    }
    const std::string read = LoadText(19472);
    if (!read.empty()) cmd_ReadTrends->setText(q(read));
}

void Tfrm_Main::fillUnitRadioGroups() {
    for (std::size_t qi = 0; qi < Radio_E.size(); ++qi) {
        QStringList items;
        for (const UnitRow& row : UnitTable) {
            if ((row.System == kAnySystem || row.System == session_.Medium) && row.Quantity == qi) {
                items << q(TrimText(row.DisplayText));
            }
        }
        Radio_E[qi]->setItems(items);
        Radio_E[qi]->setColumns(static_cast<int>(static_cast<double>(items.size()) / 4.1) + 1);
    }
}

void Tfrm_Main::setUnitSelections() {
    for (std::size_t qi = 0; qi < Radio_E.size(); ++qi) {
        QSignalBlocker block(Radio_E[qi]);
        Radio_E[qi]->setItemIndex(image_.UserEinheiten[qi].Kind);
    }
}

}  // namespace parvion::gui
