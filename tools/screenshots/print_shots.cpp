// The preview window with the
// parameter printout and the terminal plan, and the parameter menu, for both
// variants in both languages, to look at cut or overlapping texts.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QTimer>

#include "gui/print/print_menu.h"
#include "gui/print/sansicht.h"
#include "shots.h"

namespace parvion::test {
namespace {

TEST(Screenshot, PrintPreviews) {
    ForEachVariantAndLanguage([](WindowSetup& setup, const QString& prefix) {
        Harness h(setup);
        ASSERT_TRUE(h.window->FormCreate());
        gui::Tfrm_Main& w = *h.window;
        w.image().Bemerkung = {"Anlage Nord"};
        for (QAction* item : {w.mnu_Seitenansicht, w.mnu_Klemmenplan}) {
            gui::Tsansicht* preview = w.printMenu()->preview();
            QTimer poll;
            poll.setInterval(20);
            QObject::connect(&poll, &QTimer::timeout, preview, [&, item] {
                if (!preview->isVisible()) return;
                poll.stop();
                const QString name = item == w.mnu_Seitenansicht ? "printout" : "plan";
                Shoot(*preview, prefix + "preview-" + name);
                EXPECT_TRUE(preview->picture().save(prefix + "page-" + name + ".png"));
                preview->accept();
            });
            poll.start();
            w.mnu_DruckenClick(item);
        }
        w.show();
        QTimer::singleShot(0, w.mnu_Parameter, [&] {
            Shoot(*w.mnu_Parameter, prefix + "menu-parameter-print");
            w.mnu_Parameter->close();
        });
        w.mnu_Parameter->exec(w.mapToGlobal(QPoint(0, 0)));
    });
}

}  // namespace
}  // namespace parvion::test
