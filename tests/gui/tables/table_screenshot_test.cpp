// With PARVION_SCREENSHOT_DIR set, saves the table editors of both variants
// in both languages as PNG files into that folder, with a file loaded and
// the file menu open, for a look at cut texts and overlaps; otherwise only
// draws them.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTableView>
#include <cstdlib>

#include "gui/tables/property_table_window.h"
#include "gui/tables/saturation_table_window.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

namespace fs = std::filesystem;

void Save(QWidget& w, const std::string& name) {
    QCoreApplication::processEvents();
    const QPixmap picture = w.grab();
    EXPECT_FALSE(picture.isNull());
    if (const char* dir = std::getenv("PARVION_SCREENSHOT_DIR")) {
        EXPECT_TRUE(picture.save(QString::fromStdString((fs::path(dir) / name).string()), "PNG"));
    }
}

TEST(TableScreenshots, BothVariantsBothLanguages) {
    for (int medium : {0, 1}) {
        for (int sprache : {0, 1}) {
            WindowSetup s;
            s.online = false;
            s.medium = medium;
            s.sprache = sprache;
            s.device.medium = medium;
            Harness h(s);
            ASSERT_TRUE(h.window->FormCreate());
            const std::string tag =
                (medium == 0 ? "gas-" : "energy-") + std::string(sprache == 0 ? "de" : "en");

            gui::Tfrm_Tabelle& t = *h.window->tableWindow();
            t.setWindowTitle(medium == 0 ? "Kompressibilitätstabelle" : "Enthalpie");
            t.updateTexts();
            t.FormActivate();
            h.dialogs.openAnswers.push_back(QString::fromStdString(
                (fs::path(PARVION_FIXTURES_DIR) / "tables" / "erdgas.KTB").string()));
            t.mnu_LoadClick();
            t.show();
            Save(t, "table-" + tag + ".png");
            t.Datei1->popup(t.mapToGlobal(QPoint(0, t.Menu->height())));
            Save(*t.Datei1, "table-menu-" + tag + ".png");
            t.Datei1->hide();
            t.Bearbeiten1->popup(t.mapToGlobal(QPoint(60, t.Menu->height())));
            Save(*t.Bearbeiten1, "table-view-menu-" + tag + ".png");
            t.Bearbeiten1->hide();
            t.PopupMenu1->popup(t.mapToGlobal(QPoint(120, 120)));
            Save(*t.PopupMenu1, "table-context-" + tag + ".png");
            t.PopupMenu1->hide();
            t.mnu_TemperaturClick(t.mnu_Temperatur);
            Save(t, "table-temperatures-" + tag + ".png");
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
                Save(st, "saturation-" + tag + ".png");
                st.hide();
            }
        }
    }
}

}  // namespace
}  // namespace parvion::test
