#include "gui/app/compare_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace parvion::gui {

TCompareDlg::TCompareDlg(const ComparisonView& view, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CompareDlg"));
    setWindowTitle(view.title);
    // A long comparison is read best with the whole screen.
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);

    CompareCount =
        new QLabel(view.countLabel + QStringLiteral(" ") + QString::number(view.rows.size()), this);
    CompareCount->setObjectName(QStringLiteral("CompareCount"));
    layout->addWidget(CompareCount);

    CompareList = new QTreeWidget(this);
    CompareList->setObjectName(QStringLiteral("CompareList"));
    CompareList->setColumnCount(4);
    CompareList->setHeaderLabels(view.headers);
    CompareList->setRootIsDecorated(false);
    CompareList->setUniformRowHeights(true);
    QTreeWidgetItem* page = nullptr;
    for (const edit::ComparisonRow& r : view.rows) {
        const QString pageName = QString::fromStdString(r.page);
        if (page == nullptr || page->text(0) != pageName) {
            page = new QTreeWidgetItem(CompareList, QStringList{pageName});
            page->setFirstColumnSpanned(true);
            QFont bold = page->font(0);
            bold.setBold(true);
            page->setFont(0, bold);
            page->setExpanded(true);
        }
        new QTreeWidgetItem(
            page, QStringList{QString::fromStdString(r.section), QString::fromStdString(r.key),
                              QString::fromStdString(r.left), QString::fromStdString(r.right)});
    }
    CompareList->expandAll();
    for (int c = 0; c < 4; ++c) CompareList->resizeColumnToContents(c);
    CompareList->header()->setStretchLastSection(true);
    layout->addWidget(CompareList);

    auto* buttons = new QDialogButtonBox(this);
    if (!view.writeText.isEmpty()) {
        BtnWrite = buttons->addButton(view.writeText, QDialogButtonBox::AcceptRole);
        BtnWrite->setObjectName(QStringLiteral("BtnWrite"));
    }
    BtnClose = buttons->addButton(view.closeText, QDialogButtonBox::RejectRole);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    // Cancel is the safe choice, so it is the default.
    BtnClose->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 420);
}

bool QtDialogs::showComparison(QWidget* parent, const ComparisonView& view) {
    TCompareDlg dlg(view, parent);
    return dlg.exec() == QDialog::Accepted && dlg.BtnWrite != nullptr;
}

}  // namespace parvion::gui
