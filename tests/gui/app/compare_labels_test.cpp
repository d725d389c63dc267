// The comparison window names each difference as its page does, with the
// file's section and key beside it and in the name's tooltip, each page once
// with its rows; the rows come from the same core function as `parvion2-cli
// diff`. Close is the default button; Write is there only when offered.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "core/edit/parameter_compare.h"
#include "core/model/profile_file.h"
#include "gui/app/compare_dialog.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

TEST(CompareLabels, EachDifferenceIsNamedByItsPageWithTheFileKeyBeside) {
    WindowSetup setup;
    setup.online = false;
    Harness h(setup);
    ASSERT_TRUE(h.window->FormCreate());
    gui::Tfrm_Main& w = *h.window;
    w.image().T_User[0].Kind = 1;  // measured: the line "Wert bei 20 mA" shows Max
    const QString file = QString::fromStdString((h.documents() / "set").string());
    h.dialogs.saveAnswers = {file};
    w.mnu_SpeichernClick();
    ProfileFile pga(h.documents() / "set.PGA");
    pga.writeString("T_User0", "Max", "333.5");
    pga.writeString("T_User0", "Min", "-7");
    pga.writeString("Trend_User", "Time", "11");
    ASSERT_TRUE(pga.save());

    h.dialogs.openAnswers = {file + ".PGA"};
    w.mnu_Vergleichen->trigger();
    ASSERT_EQ(h.dialogs.comparisons.size(), 1u);
    const gui::ComparisonView& view = h.dialogs.comparisons[0];
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(view.rows[0].label, "Temperatur — Wert bei 4 mA");

    gui::TCompareDlg dlg(view);
    EXPECT_EQ(dlg.BtnWrite, nullptr);
    EXPECT_TRUE(dlg.BtnClose->isDefault());
    EXPECT_TRUE(dlg.CompareCount->text().endsWith(QStringLiteral(" 3")));
    using D = gui::TCompareDlg;
    EXPECT_EQ(dlg.CompareList->headerItem()->text(D::kLabelColumn).toStdString(), "Einstellung");
    ASSERT_EQ(dlg.CompareList->topLevelItemCount(), 2);
    QTreeWidgetItem* page = dlg.CompareList->topLevelItem(0);
    EXPECT_EQ(page->text(0).toStdString(), "Kreis 1");
    EXPECT_EQ(page->childCount(), 2);
    QTreeWidgetItem* row = page->child(1);
    EXPECT_EQ(row->text(D::kLabelColumn).toStdString(), "Temperatur — Wert bei 20 mA");
    EXPECT_EQ(row->toolTip(D::kLabelColumn), QStringLiteral("[T_User0] Max"));
    EXPECT_EQ(row->text(D::kSectionColumn), QStringLiteral("T_User0"));
    EXPECT_EQ(row->text(D::kKeyColumn), QStringLiteral("Max"));
    EXPECT_TRUE(row->text(D::kRightColumn).contains(QStringLiteral("333.5")));
    // A field no page line shows: named by its key.
    QTreeWidgetItem* trend = dlg.CompareList->topLevelItem(1)->child(0);
    EXPECT_EQ(trend->text(D::kLabelColumn), QStringLiteral("[Trend_User] Time"));
    EXPECT_GE(dlg.CompareList->columnWidth(D::kLabelColumn),
              dlg.CompareList->fontMetrics().horizontalAdvance(row->text(D::kLabelColumn)));

    gui::ComparisonView offered = view;
    offered.writeText = QStringLiteral("Write");
    gui::TCompareDlg write(offered);
    ASSERT_NE(write.BtnWrite, nullptr);
    EXPECT_TRUE(write.BtnClose->isDefault());
    write.BtnClose->click();
    EXPECT_EQ(write.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace parvion::test
