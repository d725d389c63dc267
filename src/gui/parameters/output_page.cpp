#include "gui/parameters/output_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "core/model/parameter_image.h"
#include "core/views/page_rules.h"
#include "gui/app/widgets.h"

namespace parvion::gui {

OutputPage::OutputPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabParAusgang"), parent) {
    auto* grid = new QGridLayout(this);
    for (int k = 0; k < 4; ++k) {
        const QString n = QString::number(k + 1);
        GroupAus_[k] = named(new QGroupBox(this), "GroupAus" + n);
        auto* gl = new QVBoxLayout(GroupAus_[k]);
        ComboAus_[k] = named(new QComboBox(GroupAus_[k]), "ComboAus" + n);
        ComboAus_[k]->setEnabled(false);
        gl->addWidget(ComboAus_[k]);
        gl->addStretch();
        grid->addWidget(GroupAus_[k], k / 2, k % 2);
    }
}

void OutputPage::updateTexts() {
    views::TextBlock head;
    views::TextBlock more;
    if (!ctx_.textBlock(8192, 1, head)) return;
    ctx_.textBlock(8208, 1, more);
    const QStringList items = choices(head) + choices(more, 0);
    for (int k = 0; k < 4; ++k) {
        GroupAus_[k]->setTitle(qs(head[0]) + " " + QString::number(k + 1));
        refill(ComboAus_[k], items);
    }
}

void OutputPage::applyPageRules() {
    const bool all = views::AllOutputsPresent(ctx_.image.System);
    for (int k = 1; k < 4; ++k) GroupAus_[k]->setVisible(all);
}

}  // namespace parvion::gui
