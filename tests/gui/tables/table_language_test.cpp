// The table editors speak the window's language throughout: the menus, the
// grid's context menu and the filters of their file dialogs.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "gui/tables/property_table_window.h"
#include "gui/tables/saturation_table_window.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

TEST(TableLanguage, FileFiltersAndMenusInTheWindowsLanguage) {
    struct Case {
        int medium;
        int sprache;
        const char* propertyFilter;
        const char* saturationFilter;  // energy only
        const char* view;
        const char* copy;
    };
    const Case cases[] = {
        {0, 0, "Kompr. Tabellen (*.KTB)", nullptr, "&Ansicht", "&Kopieren"},
        {0, 1, "Compressibility tables (*.KTB)", nullptr, "&View", "&Copy"},
        {1, 0, "Dichte Tabellen (*.DTB)", "Satt. Tabellen (*.STB)", "&Ansicht", "&Kopieren"},
        {1, 1, "Density tables (*.DTB)", "Saturation tables (*.STB)", "&View", "&Copy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.propertyFilter);
        WindowSetup setup;
        setup.online = false;
        setup.medium = c.medium;
        setup.sprache = c.sprache;
        setup.device.medium = c.medium;
        Harness h(setup);
        ASSERT_TRUE(h.window->FormCreate());
        gui::Tfrm_Tabelle& table = *h.window->tableWindow();
        // Before the window is first opened as after.
        EXPECT_EQ(table.Bearbeiten1->title().toStdString(), c.view);
        EXPECT_EQ(table.mnu_Kopieren->text().toStdString(), c.copy);
        // Both dialogs cancelled: only the requests are looked at.
        table.mnu_Store1Click();
        table.mnu_LoadClick();
        ASSERT_EQ(h.dialogs.saveRequests.size(), 1u);
        ASSERT_EQ(h.dialogs.openRequests.size(), 1u);
        EXPECT_EQ(h.dialogs.saveRequests[0].filters, QStringList{c.propertyFilter});
        EXPECT_EQ(h.dialogs.openRequests[0].filters, QStringList{c.propertyFilter});
        if (c.saturationFilter != nullptr) {
            h.window->saturationWindow()->mnu_Store1Click();
            ASSERT_EQ(h.dialogs.saveRequests.size(), 2u);
            EXPECT_EQ(h.dialogs.saveRequests[1].filters, QStringList{c.saturationFilter});
        }
    }
}

}  // namespace
}  // namespace parvion::test
