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
    // What the page calls the field first, the two values, then where the
    // file keeps it (also the tooltip of the name).
    const auto head = [&view](qsizetype i) {
        return i < view.headers.size() ? view.headers[i] : QString();
    };
    CompareList->setColumnCount(kColumns);
    CompareList->setHeaderLabels({view.labelHeader, head(2), head(3), head(0), head(1)});
    CompareList->setRootIsDecorated(false);
    CompareList->setUniformRowHeights(true);
    QTreeWidgetItem* page = nullptr;
    for (const edit::ComparisonRow& r : view.rows) {
        const QString pageName = QString::fromStdString(r.page);
        if (page == nullptr || page->text(kLabelColumn) != pageName) {
            page = new QTreeWidgetItem(CompareList, QStringList{pageName});
            page->setFirstColumnSpanned(true);
            QFont bold = page->font(kLabelColumn);
            bold.setBold(true);
            page->setFont(kLabelColumn, bold);
            page->setExpanded(true);
        }
        const QString key = QString::fromStdString(edit::ComparisonKey(r));
        auto* item = new QTreeWidgetItem(
            page, QStringList{r.label.empty() ? key : QString::fromStdString(r.label),
                              QString::fromStdString(r.left), QString::fromStdString(r.right),
                              QString::fromStdString(r.section), QString::fromStdString(r.key)});
        item->setToolTip(kLabelColumn, key);
    }
    CompareList->expandAll();
    for (int c = 0; c < kColumns; ++c) CompareList->resizeColumnToContents(c);
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
