// The settings dialog lays itself out with every group readable, in each
// string library: as it opens offline, after "Online" has added the
// transfer choice, and after "Offline" has taken it away again.

#include <gtest/gtest.h>

#include <QPushButton>

#include "gui/app/settings_dialog_rig.h"
#include "sim/lib/sim_line.h"
#include "support/text_fit.h"

namespace parvion::test {
namespace {

// The dialog's texts and controls that do not fit, and overlaps.
QStringList faultsOf(const gui::TEinst& dialog) {
    return TextFitFaults(&dialog) + LayoutFaults(&dialog);
}

TEST(SettingsDialogLayout, EveryGroupReadableOnTheWayOnlineAndBack) {
    for (int medium = 0; medium < 2; ++medium) {
        for (int sprache = 0; sprache < 2; ++sprache) {
            SCOPED_TRACE("medium " + std::to_string(medium) + " language " +
                         std::to_string(sprache));
            sim::Device device;
            sim::SimLine line(device);
            EinstRig r(line, "sim:0", false, medium);
            r.session.Sprache = sprache;
            r.open();
            gui::TEinst& d = *r.dialog;
            ASSERT_FALSE(d.Akt_Grp->isVisibleTo(&d));
            EXPECT_EQ(faultsOf(d).join('\n').toStdString(), "");
            const QSize offline = d.size();

            ClickItem(d.Zustand_Grp, 1);
            QCoreApplication::processEvents();
            ASSERT_TRUE(d.Akt_Grp->isVisibleTo(&d));
            EXPECT_EQ(faultsOf(d).join('\n').toStdString(), "");
            // The transfer choice took room of its own: the other groups
            // kept theirs.
            EXPECT_GT(d.height(), offline.height());
            for (const gui::RadioGroup* g : {d.Bd_Grp, d.Zustand_Grp, d.Akt_Grp}) {
                EXPECT_GE(g->height(), g->sizeHint().height()) << g->objectName().toStdString();
            }

            ClickItem(d.Zustand_Grp, 0);
            QCoreApplication::processEvents();
            EXPECT_FALSE(d.Akt_Grp->isVisibleTo(&d));
            EXPECT_EQ(d.size(), offline);
            EXPECT_EQ(faultsOf(d).join('\n').toStdString(), "");
            d.reject();
        }
    }
}

}  // namespace
}  // namespace parvion::test
