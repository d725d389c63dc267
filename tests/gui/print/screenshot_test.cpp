// With PARVION_SCREENSHOT_DIR set, saves the preview window with the
// parameter printout and the terminal plan, and the parameter menu, for both
// variants in both languages, to look at cut or overlapping texts.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>

#include "gui/print/print_menu.h"
#include "gui/print/sansicht.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

TEST(Screenshot, PrintPreviews) {
    const char* dir = std::getenv("PARVION_SCREENSHOT_DIR");
    if (dir == nullptr) GTEST_SKIP() << "PARVION_SCREENSHOT_DIR not set";
    const QString folder = QString::fromLocal8Bit(dir);
    for (int medium = 0; medium < 2; ++medium) {
        for (int sprache = 0; sprache < 2; ++sprache) {
            WindowSetup setup;
            setup.medium = medium;
            setup.sprache = sprache;
            setup.device.medium = medium;
            Harness h(setup);
            ASSERT_TRUE(h.window->FormCreate());
            gui::Tfrm_Main& w = *h.window;
            w.image().Bemerkung = {"Anlage Nord"};
            const QString tag = QStringLiteral("%1-%2").arg(medium == 0 ? "gas" : "energy",
                                                            sprache == 0 ? "de" : "en");
            for (QAction* item : {w.mnu_Seitenansicht, w.mnu_Klemmenplan}) {
                gui::Tsansicht* preview = w.printMenu()->preview();
                QTimer poll;
                poll.setInterval(20);
                QObject::connect(&poll, &QTimer::timeout, preview, [&, item] {
                    if (!preview->isVisible()) return;
                    poll.stop();
                    const QString name = item == w.mnu_Seitenansicht ? "printout" : "plan";
                    EXPECT_TRUE(
                        preview->grab().save(folder + "/preview-" + name + "-" + tag + ".png"));
                    EXPECT_TRUE(
                        preview->picture().save(folder + "/page-" + name + "-" + tag + ".png"));
                    preview->accept();
                });
                poll.start();
                w.mnu_DruckenClick(item);
            }
            w.show();
            QTimer::singleShot(0, w.mnu_Parameter, [&] {
                EXPECT_TRUE(
                    w.mnu_Parameter->grab().save(folder + "/menu-parameter-" + tag + ".png"));
                w.mnu_Parameter->close();
            });
            w.mnu_Parameter->exec(w.mapToGlobal(QPoint(0, 0)));
        }
    }
}

}  // namespace
}  // namespace parvion::test
