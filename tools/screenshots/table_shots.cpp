// The table editors of both variants in both languages, with a file loaded
// and the menus open, for a look at cut texts and overlaps.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTableView>

#include "gui/tables/property_table_window.h"
#include "gui/tables/saturation_table_window.h"
#include "shots.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

TEST(Screenshot, TableEditors) {
    ForEachVariantAndLanguage([](WindowSetup& s, const QString& prefix) {
        s.online = false;
        const int medium = s.medium;
        Harness h(s);
        ASSERT_TRUE(h.window->FormCreate());
        const auto Save = [&prefix](QWidget& w, const char* name) { Shoot(w, prefix + name); };

        gui::Tfrm_Tabelle& t = *h.window->tableWindow();
        t.setWindowTitle(medium == 0 ? "Kompressibilitätstabelle" : "Enthalpie");
        t.updateTexts();
        t.FormActivate();
        h.dialogs.openAnswers.push_back(QString::fromStdString(
            (fs::path(PARVION_FIXTURES_DIR) / "tables" / "erdgas.KTB").string()));
        t.mnu_LoadClick();
        t.show();
        Save(t, "table");
        t.Datei1->popup(t.mapToGlobal(QPoint(0, t.Menu->height())));
        Save(*t.Datei1, "table-menu");
        t.Datei1->hide();
        t.Bearbeiten1->popup(t.mapToGlobal(QPoint(60, t.Menu->height())));
        Save(*t.Bearbeiten1, "table-view-menu");
        t.Bearbeiten1->hide();
        t.PopupMenu1->popup(t.mapToGlobal(QPoint(120, 120)));
        Save(*t.PopupMenu1, "table-context");
        t.PopupMenu1->hide();
        t.mnu_TemperaturClick(t.mnu_Temperatur);
        Save(t, "table-temperatures");
        t.mnu_TemperaturClick(t.mnu_Tabelle);
        t.hide();

        if (medium == 1) {
            gui::Tfrm_UserSatTab& st = *h.window->saturationWindow();
            st.setWindowTitle("Sattdampftabelle");
            st.updateTexts();
            st.FormActivate();
            h.dialogs.openAnswers.push_back(QString::fromStdString(
                (fs::path(PARVION_FIXTURES_DIR) / "tables" / "ten_rows.STB").string()));
            st.mnu_LoadClick();
            st.show();
            Save(st, "saturation");
            st.hide();
        }
    });
}

}  // namespace
}  // namespace parvion::test
